#include "access/clinic_record.h"
#include "access/password_record.h"
#include "app/screen_registration.h"
#include "datastore/data_file.h"
#include "message_recorder.h"
#include "qstring_printer.h"
#include "startup/frmhelp.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/screens.h"
#include "temp_data.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/window_rules.h"
#include "wait.h"
#include "windows.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <functional>

#include <gtest/gtest.h>

namespace {

// The control that holds tab index 0 on each screen; a screen missing here (one that lands
// later) is held to the first control of its own tab order.
const QHash<QString, QString> kFirstTabStop{
    {QStringLiteral("Frmzyyc"), QStringLiteral("Txtycmc")}, {QStringLiteral("FrmYhzl"), QStringLiteral("TxtMzmc")},
    {QStringLiteral("Frmmmwh"), QStringLiteral("CboYhmc")}, {QStringLiteral("frmLogin"), QStringLiteral("Cboyhmc")},
    {QStringLiteral("frmAbout"), QStringLiteral("cmdOK")},  {QStringLiteral("frmSplash"), QStringLiteral("frmSplash")},
    {QStringLiteral("Frmfjcx"), QStringLiteral("Txtfjmc")},
};

QStringList allScreens()
{
    registerScreens();
    QStringList screens = startup::registeredScreens();
    // The picture window only paints the main window's background and closes at once: no one
    // works in it.
    screens.removeAll(QStringLiteral("FrmPict"));
    return screens;
}

// The first control Tab reaches from the window's start, or the window itself when it has none.
QWidget *firstTabStop(QWidget *window)
{
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && !w->focusProxy())
            return w;
    }
    return window;
}

// A combo box's line edit stands for its combo box.
QWidget *control(QWidget *widget)
{
    if (widget && qobject_cast<QComboBox *>(widget->parentWidget()))
        return widget->parentWidget();
    return widget;
}

// Runs the check once on each page of every tab widget of the window (once when it has none).
void onEveryPage(QWidget *window, const std::function<void()> &check)
{
    const QList<QTabWidget *> tabs = window->findChildren<QTabWidget *>();
    if (tabs.isEmpty())
        return check();
    for (QTabWidget *tab : tabs) {
        for (int page = 0; page < tab->count(); ++page) {
            tab->setCurrentIndex(page);
            check();
        }
    }
}

// Whether the image holds a pixel of that colour.
bool shows(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

} // namespace

// The program started on a data file past its first use; the splash that start-up shows is
// removed, so each test opens its screen on the bare main window.
class EveryScreen : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        const QString dataFile = home.installSeed();
        {
            ds::Database db = ds::openDataFile(dataFile);
            users::savePassword(db, QStringLiteral("王医生"), QStringLiteral("abcd1234"));
            users::saveClinic(db, users::ClinicInfo{{QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"),
                                                      QStringLiteral("5550123"), QStringLiteral("王医生")}});
        }
        ASSERT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
        main = programWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        removeScreens();
        // Screens open from a menu of the active main window.
        main->activateWindow();
        ASSERT_TRUE(waitUntil([this] { return QApplication::activeWindow() == main; }));
    }
    void TearDown() override
    {
        removeScreens();
        Modulanxia::shutdown();
    }
    void removeScreens()
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window != main && window->isVisible())
                windows.append(window);
        }
        for (const QPointer<QWidget> &window : windows)
            delete window.data();
    }

    TempHome home;
    MessageRecorder recorder;
    QPointer<startup::MDIFlanx> main;
};

TEST_P(EveryScreen, OpensActiveOnItsFirstTabStopBelowTheMenus)
{
    const QString name = GetParam();
    QPointer<QWidget> screen = startup::showScreen(name);
    ASSERT_TRUE(screen) << name.toStdString();
    // The window itself, not only its owner, holds the keyboard.
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == screen; })) << name.toStdString();
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.texts().join('|').toStdString();

    QWidget *focused = control(QApplication::focusWidget());
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused, control(firstTabStop(screen))) << focused->objectName().toStdString();
    EXPECT_EQ(focused->objectName(), kFirstTabStop.value(name, control(firstTabStop(screen))->objectName()));

    // A window of its own, owned by the main window, placed in the area below the menu bar.
    EXPECT_TRUE(screen->isWindow());
    EXPECT_EQ(screen->parentWidget(), main.data());
    ASSERT_TRUE(screen->windowHandle());
    EXPECT_EQ(screen->windowHandle()->transientParent(), main->windowHandle());
    // Only an owned window of dialog type is transient for the main window on X11: above it,
    // with no task-bar entry of its own.
    EXPECT_EQ(screen->windowType(), Qt::Dialog) << name.toStdString();
    const QWidget *area = main->centralWidget();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_GE(screen->frameGeometry().top(), client.top()) << name.toStdString();
    EXPECT_GE(screen->frameGeometry().left(), client.left()) << name.toStdString();
}

TEST_P(EveryScreen, EnterOnAFocusedPushButtonPressesItOnce)
{
    const QString name = GetParam();
    QPointer<QWidget> screen = startup::showScreen(name);
    ASSERT_TRUE(screen) << name.toStdString();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == screen; })) << name.toStdString();
    onEveryPage(screen, [&] {
        for (QPushButton *button : screen->findChildren<QPushButton *>()) {
            if (!button->isVisible() || !button->isEnabled())
                continue;
            // Only the press is looked at: what the button does is its screen's own test.
            QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
            QSignalSpy presses(button, &QAbstractButton::clicked);
            button->setFocus();
            ASSERT_TRUE(button->hasFocus()) << button->objectName().toStdString();
            QTest::keyClick(button, Qt::Key_Return);
            QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
            EXPECT_EQ(presses.count(), 2) << name.toStdString() << " " << button->objectName().toStdString();
        }
    });
}

TEST_P(EveryScreen, CarriesTheProgramIconAndOffersMaximizeOnlyWhenItCanGrow)
{
    const QString name = GetParam();
    QPointer<QWidget> screen = startup::showScreen(name);
    ASSERT_TRUE(screen && screen->windowHandle()) << name.toStdString();
    const QImage herb = ui::programIcon().pixmap(32).toImage();
    ASSERT_FALSE(herb.isNull());
    EXPECT_EQ(screen->windowHandle()->icon().pixmap(32).toImage(), herb) << name.toStdString();
    EXPECT_EQ(main->windowHandle()->icon().pixmap(32).toImage(), herb);

    const Qt::WindowFlags flags = screen->windowFlags();
    if (flags.testFlag(Qt::FramelessWindowHint))
        return;
    const bool fixed = screen->minimumSize() == screen->maximumSize();
    EXPECT_EQ(flags.testFlag(Qt::WindowMaximizeButtonHint), !fixed) << name.toStdString();
    EXPECT_EQ(name == QStringLiteral("Frmzyll") || name == QStringLiteral("Frmfjcx"), !fixed) << name.toStdString();
}

// Run once as it is and once at a scale factor of 2 on a 2560×1600 display (CMake runs both).
TEST_P(EveryScreen, FitsTheDisplayWithEveryControlInsideIt)
{
    const QString name = GetParam();
    QPointer<QWidget> screen = startup::showScreen(name);
    ASSERT_TRUE(screen) << name.toStdString();
    const QScreen *display = screen->screen();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2")) {
        ASSERT_EQ(screen->devicePixelRatio(), 2.0);
        ASSERT_EQ(display->geometry().size(), QSize(1280, 800)); // 2560×1600 device pixels
    }
    EXPECT_TRUE(display->availableGeometry().contains(screen->frameGeometry()))
        << name.toStdString() << " at " << screen->frameGeometry().x() << "," << screen->frameGeometry().y() << " "
        << screen->frameGeometry().width() << "x" << screen->frameGeometry().height();
    onEveryPage(screen, [&] {
        for (QWidget *control : screen->findChildren<QWidget *>()) {
            const QWidget *parent = control->parentWidget();
            const auto *scrolling = parent ? qobject_cast<const QAbstractScrollArea *>(parent->parentWidget()) : nullptr;
            if (control->isWindow() || !control->isVisible() || (scrolling && scrolling->viewport() == parent))
                continue; // what a scrolled area holds may reach past it
            const QRect inWindow(control->mapTo(screen, QPoint(0, 0)), control->size());
            EXPECT_TRUE(screen->rect().contains(inWindow))
                << name.toStdString() << " " << control->objectName().toStdString() << " "
                << control->metaObject()->className();
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Registered, EveryScreen, ::testing::ValuesIn(allScreens()),
                         [](const ::testing::TestParamInfo<QString> &param) { return param.param.toStdString(); });

TEST_F(EveryScreen, ScreenPlacedAtTopZeroSitsJustBelowTheMenus)
{
    QPointer<QWidget> screen = startup::showScreen(QStringLiteral("Frmzyyc"));
    ASSERT_TRUE(screen);
    const QWidget *area = main->centralWidget();
    const QRect client(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_EQ(screen->frameGeometry().top(), client.top());
    EXPECT_NEAR(screen->geometry().center().x(), client.center().x(), 10); // the frame's edge aside
}

TEST_F(EveryScreen, HelpWindowOpensBelowTheMenusInsideTheDisplayAndMayGrow)
{
    startup::setHelpPageUrl(QUrl::fromLocalFile(QStringLiteral(CC_HELP_PAGE)));
    main->findChild<QAction *>(QStringLiteral("linkie"))->trigger();
    startup::setHelpPageUrl({});
    QWidget *help = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("FrmHelp") && window->isVisible())
            help = window;
    }
    ASSERT_TRUE(help && help->windowHandle());
    EXPECT_EQ(help->windowHandle()->transientParent(), main->windowHandle());
    const QWidget *area = main->centralWidget();
    EXPECT_GE(help->frameGeometry().top(), area->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_TRUE(help->screen()->availableGeometry().contains(help->frameGeometry()));
    EXPECT_TRUE(help->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(recorder.messages.isEmpty());
}

TEST(MessageBoxes, AreFixedWithoutMinimizeOrMaximizeAndAnswerWhatWasPressed)
{
    Qt::WindowFlags flags;
    QTimer::singleShot(0, [&flags] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        flags = box->windowFlags();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == QStringLiteral("否(&N)"))
                button->click();
        }
    });
    EXPECT_EQ(ui::msgBox(QStringLiteral("退出澄川中医门诊系统吗?"), ui::Icon::Question, ui::Buttons::YesNo), ui::Answer::No);
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
}

TEST(TextBoxes, ShowTheirSelectionOnlyWhileFocusedAndKeepLinesApart)
{
    QWidget window;
    auto *first = new QPlainTextEdit(&window);
    auto *second = new QPlainTextEdit(&window);
    second->move(0, 200);
    for (QPlainTextEdit *box : {first, second}) {
        box->setFont(ui::chineseFont(QStringLiteral("宋体"), 10.5));
        box->setPlainText(QStringLiteral("大补元气，复脉固脱，补脾益肺，生津养血，安神益智。").repeated(4));
        box->selectAll();
    }
    window.show();
    first->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(waitUntil([&] { return first->hasFocus(); }));
    const QColor highlight = first->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_TRUE(shows(first->viewport()->grab().toImage(), highlight));
    EXPECT_FALSE(shows(second->viewport()->grab().toImage(), highlight));

    // Lines of ideographs a fifth of a character apart at least, so they do not touch.
    QTextLayout *lines = second->document()->firstBlock().layout();
    ASSERT_GE(lines->lineCount(), 2);
    const qreal pitch = lines->lineAt(1).y() - lines->lineAt(0).y();
    EXPECT_GE(pitch, 1.2 * QFontInfo(second->font()).pixelSize());
}

TEST_F(EveryScreen, EndingTheSessionMakesTheDaysAutomaticBackupOnce)
{
    QAction *exit = main->findChild<QAction *>(QStringLiteral("zyexit"));
    ASSERT_TRUE(exit);
    startup::unlockMenus();
    recorder.answerNext(ui::Answer::No);
    exit->trigger();
    EXPECT_FALSE(QDir(home.file(QStringLiteral("ccdata/backups"))).exists());
    exit->trigger();
    EXPECT_EQ(recorder.programEnds, 1);
    const QDir backups(home.file(QStringLiteral("ccdata/backups")));
    const QStringList made = backups.entryList({QStringLiteral("ccyc-*.mdb")}, QDir::Files);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith(QDate::currentDate().toString(QStringLiteral("'ccyc-'yyyy-MM-dd-")))) << made[0].toStdString();
    exit->trigger();
    EXPECT_EQ(backups.entryList({QStringLiteral("ccyc-*.mdb")}, QDir::Files), made);
}
