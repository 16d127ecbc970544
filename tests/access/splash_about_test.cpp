// The splash screen's label and routing, its dismissal, and the about box.
#include "access_fixture.h"
#include "startup/frmabout.h"
#include "startup/frmsplash.h"
#include "startup/screens.h"
#include "startup/splash_logic.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>

namespace {

class Splash : public AccessTest {
protected:
    QWidget *showSplash()
    {
        startup::showScreen(QStringLiteral("frmSplash"));
        return openWindow(QStringLiteral("frmSplash"));
    }

    int visibleLogins() const
    {
        int count = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            count += window->objectName() == QStringLiteral("frmLogin") && window->isVisible();
        return count;
    }
};

TEST(SplashTexts, VersionsComeFromTheProgramVersion)
{
    EXPECT_EQ(startup::splashVersionText(5, 2, 0), QStringLiteral("标准版 5.20"));
    EXPECT_EQ(startup::splashVersionText(12, 3, 45), QStringLiteral("标准版 12.345"));
    EXPECT_EQ(startup::splashVersionText(), startup::splashVersionText(CC_VERSION_MAJOR, CC_VERSION_MINOR, CC_VERSION_PATCH));
    EXPECT_EQ(startup::aboutVersionText(5, 2), QStringLiteral("5.2"));
    EXPECT_EQ(startup::aboutVersionText(), startup::aboutVersionText(CC_VERSION_MAJOR, CC_VERSION_MINOR));
}

TEST_F(Splash, ShowsProductVersionAndTheClinicInThreeLines)
{
    addUser(QStringLiteral("王医生"), QStringLiteral("abcd1234"));
    addClinic(QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"), QStringLiteral("0571-5550123"),
              QStringLiteral("王医生"));
    QWidget *splash = showSplash();
    ASSERT_NE(splash, nullptr);
    // Three lines, the middle one empty and as high as a line with its spacing.
    const QLabel *clinic = control<QLabel>(splash, "LblYhmc");
    QTextDocument shown;
    shown.setHtml(clinic->text());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("使用单位：澄川中医门诊部\n\n联系电话：0571-5550123    使用人：王医生"));
    EXPECT_GE(clinic->heightForWidth(clinic->width()), 3 * clinic->fontMetrics().lineSpacing() * 6 / 5);
    EXPECT_EQ(control<QLabel>(splash, "lblProductName")->text(), QStringLiteral("澄川本草"));
    EXPECT_EQ(control<QLabel>(splash, "lblVersion")->text(), QStringLiteral("标准版 5.20"));
    EXPECT_TRUE(recorder.messages.isEmpty());

    QTimer *timer = control<QTimer>(splash, "Timer1");
    EXPECT_EQ(timer->interval(), 9000);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(Splash, LongestClinicTextsShowWhole)
{
    addUser(QStringLiteral("王医生"), QStringLiteral("abcd1234"));
    addClinic(QString(35, QChar(u'澄')), QString(35, QChar(u'路')), QString(35, QLatin1Char('5')),
              QString(10, QChar(u'王')));
    QWidget *splash = showSplash();
    ASSERT_NE(splash, nullptr);
    const QLabel *label = control<QLabel>(splash, "LblYhmc");
    EXPECT_TRUE(label->wordWrap() || label->sizeHint().width() <= label->width());
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
}

TEST_F(Splash, EmptyClinicTableLeadsToTheClinicScreenAndNeverToTheLogin)
{
    addUser(QStringLiteral("王医生"), QStringLiteral("abcd1234"));
    EXPECT_EQ(startup::showScreen(QStringLiteral("frmSplash")), nullptr);
    ASSERT_EQ(recorder.texts(), QStringList{QStringLiteral("请先登录用户资料")});
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_EQ(recorder.last().title, QString());
    EXPECT_EQ(openWindow(QStringLiteral("frmSplash")), nullptr);
    EXPECT_NE(openWindow(QStringLiteral("FrmYhzl")), nullptr);
    EXPECT_EQ(visibleLogins(), 0);
}

TEST_F(Splash, TimerRoutesToTheLoginWhenThereIsAUser)
{
    addUserAndClinic();
    QPointer<QWidget> splash = showSplash();
    ASSERT_TRUE(splash);
    QMetaObject::invokeMethod(control<QTimer>(splash, "Timer1"), "timeout");
    EXPECT_TRUE(!splash || !splash->isVisible());
    EXPECT_EQ(visibleLogins(), 1);
    EXPECT_EQ(startup::runMode(), QString());
    EXPECT_TRUE(storedQueries().contains(QStringLiteral("yhmc")));
}

TEST_F(Splash, NoUserRoutesToThePasswordScreenInRunMode5831)
{
    // A row whose name is Null counts as no user.
    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("INSERT INTO 密码表 VALUES(NULL, 'x', '1')"));
    }
    addClinic(QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"), QStringLiteral("5550123"),
              QStringLiteral("王医生"));
    QWidget *splash = showSplash();
    ASSERT_NE(splash, nullptr);
    QTest::keyClick(splash, Qt::Key_Space);
    EXPECT_NE(openWindow(QStringLiteral("Frmmmwh")), nullptr);
    EXPECT_EQ(visibleLogins(), 0);
    EXPECT_EQ(startup::runMode(), startup::kNoUserMode);
}

TEST_F(Splash, FirstDismissalWinsWhicheverComesFirst)
{
    addUserAndClinic();
    for (const char *first : {"Frame1", "lblProductName", "LblYhmc", "key"}) {
        SCOPED_TRACE(first);
        QPointer<QWidget> splash = showSplash();
        ASSERT_TRUE(splash);
        QPointer<QTimer> timer = control<QTimer>(splash, "Timer1");
        if (QLatin1String(first) == QLatin1String("key"))
            QTest::keyClick(splash, Qt::Key_A);
        else
            QTest::mouseClick(control<QWidget>(splash, first), Qt::LeftButton);
        EXPECT_EQ(visibleLogins(), 1);

        EXPECT_TRUE(!timer || !timer->isActive());
        delete openWindow(QStringLiteral("frmLogin"));
    }

    // A dismissal that comes while the splash still exists changes nothing. (Kept alive here
    // so the later events certainly reach it.)
    auto *splash = static_cast<startup::FrmSplash *>(showSplash());
    ASSERT_NE(splash, nullptr);
    splash->setAttribute(Qt::WA_DeleteOnClose, false);
    QTimer *timer = control<QTimer>(splash, "Timer1");
    splash->dismiss();
    ASSERT_EQ(visibleLogins(), 1);
    QMetaObject::invokeMethod(timer, "timeout");
    splash->dismiss();
    EXPECT_EQ(visibleLogins(), 1);
    delete splash;
    delete openWindow(QStringLiteral("frmLogin"));

    // A click on a decoration line lands on the frame beneath it.
    QPointer<QWidget> lined = showSplash();
    ASSERT_TRUE(lined);
    QWidget *line = control<QWidget>(lined, "Line1");
    QWidget *underneath = lined->childAt(line->geometry().center());
    ASSERT_NE(underneath, nullptr);
    EXPECT_EQ(underneath->objectName(), QStringLiteral("Frame1"));
    QTest::mouseClick(underneath, Qt::LeftButton, {}, underneath->mapFrom(lined, line->geometry().center()));
    EXPECT_EQ(visibleLogins(), 1);
    delete openWindow(QStringLiteral("frmLogin"));

    // A click on the version label is not a dismissal.
    QWidget *shown = showSplash();
    QTest::mouseClick(control<QWidget>(shown, "lblVersion"), Qt::LeftButton);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(visibleLogins(), 0);
}

TEST_F(Splash, ClosedByTheWindowSystemItStillRoutesOnOnce)
{
    addUserAndClinic();
    QPointer<QWidget> splash = showSplash();
    ASSERT_TRUE(splash);
    QPointer<QTimer> timer = control<QTimer>(splash, "Timer1");
    splash->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(visibleLogins(), 1);
    EXPECT_TRUE(!timer || !timer->isActive());
    if (timer)
        QMetaObject::invokeMethod(timer, "timeout");
    QCoreApplication::processEvents();
    EXPECT_EQ(visibleLogins(), 1);
}

TEST_F(Splash, AboutBoxShowsTitleVersionAndContactsAndClosesWithEnterOrEscape)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        startup::showScreen(QStringLiteral("frmAbout"));
        QWidget *about = openWindow(QStringLiteral("frmAbout"));
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 澄川本草"));
        EXPECT_EQ(control<QLabel>(about, "lblTitle")->text(), QStringLiteral("澄川本草(标准版)"));
        EXPECT_EQ(control<QLabel>(about, "lblVersion")->text(), QStringLiteral("5.2"));
        const QList<QLabel *> contacts = about->findChildren<QLabel *>(QStringLiteral("Label1"));
        ASSERT_EQ(contacts.size(), 6);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(contacts[i]->property("index").toInt(), i);
            EXPECT_FALSE(contacts[i]->text().isEmpty());
        }
        EXPECT_TRUE(contacts[4]->text().contains(QLatin1Char('@')));
        QTest::keyClick(about->focusWidget() ? about->focusWidget() : about, key);
        EXPECT_EQ(openWindow(QStringLiteral("frmAbout")), nullptr) << key;
    }
}

} // namespace

// The help page the build makes lists the about box's contact lines, has a section for every
// screen a clinic works with (the browse screen opens it at #browse).
TEST(HelpPage, ListsTheAboutBoxContactsAndASectionPerScreen)
{
    QFile file(QStringLiteral(CC_HELP_PAGE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << CC_HELP_PAGE;
    const QString page = QString::fromUtf8(file.readAll());
    const QStringList contacts = startup::FrmAbout::contactLines();
    ASSERT_EQ(contacts.size(), 6);
    for (const QString &line : contacts)
        EXPECT_TRUE(page.contains("<li>" + line + "</li>")) << line.toStdString();
    for (const char *anchor : {"start", "entry", "browse", "password", "clinic", "backup", "import", "background"})
        EXPECT_TRUE(page.contains(QStringLiteral("id=\"%1\"").arg(anchor))) << anchor;
    EXPECT_FALSE(page.contains(QRegularExpression("@[A-Z_]+@"))) << "unfilled placeholder";
    EXPECT_TRUE(page.contains(QStringLiteral("标准版 ") + startup::aboutVersionText()));
}
