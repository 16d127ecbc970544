// The formula screen on a copy of the seed, driven by keys and clicks: the search from the
// keyboard alone, the link between a herb's record and its formulas both ways, the clinic's own
// formulas through the editor, export, print and the hand-over to the prescription pad.
#include "datastore/data_file.h"
#include "file_dialog_recorder.h"
#include "formulas/formula_page.h"
#include "formulas/formula_search.h"
#include "formulas/register_formula_screens.h"
#include "herbs/register_herb_screens.h"
#include "message_recorder.h"
#include "qstring_printer.h"
#include "startup/mdiflanx.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "temp_data.h"
#include "ui/print_preview.h"
#include "wait.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

class FormulaScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        formulas::registerFormulaScreens();
        herbs::registerHerbScreens();
        screen = startup::showScreen(QStringLiteral("Frmfjcx"));
        ASSERT_TRUE(screen);
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    }
    void TearDown() override { deleteLeftoverWindows(); }

    template <typename T> T *child(const char *name, QWidget *window = nullptr) const
    {
        return namedControl<T>(window ? window : screen.data(), QLatin1String(name));
    }
    QTableView *list() const { return child<QTableView>("Lstfj"); }
    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            names.append(list()->model()->index(row, 0).data().toString());
        return names;
    }
    QString page() const { return child<QTextBrowser>("Txtfjnr")->toPlainText(); }
    // Key by key into the focused control; a character beyond ASCII comes as a key carrying its text.
    static void type(const QString &text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, c == ' ' ? Qt::Key_Space : Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
        }
    }
    static void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    void search(const char *box, const QString &text)
    {
        child<QLineEdit>(box)->setText(text);
        QTest::keyClick(child<QLineEdit>(box), Qt::Key_Return);
    }
    void click(const char *name, QWidget *window = nullptr) { child<QPushButton>(name, window)->click(); }

    TempHome home;
    QString dataFile = home.installSeed();
    MessageRecorder messages;
    QPointer<QWidget> screen;
};

} // namespace

TEST_F(FormulaScreen, SearchesAndReadsFromTheKeyboardAlone)
{
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>("Txtfjmc"));
    EXPECT_EQ(list()->model()->rowCount(), 379) << "opens on every formula";
    type("xch");
    key(Qt::Key_Return);
    EXPECT_EQ(listed(), QStringList{"小柴胡汤"});
    EXPECT_TRUE(page().startsWith("小柴胡汤\n组成\n柴胡\n24g\n")) << page().toStdString();
    EXPECT_EQ(child<QLabel>("Labsl")->text(), "共 1 首");

    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Delete);
    key(Qt::Key_Tab);
    type("柴胡 黄芩");
    key(Qt::Key_Return);
    ASSERT_TRUE(listed().contains("大柴胡汤") && listed().contains("小柴胡汤")) << listed().join(' ').toStdString();
    EXPECT_FALSE(listed().contains("逍遥散"));
    for (int tab = 0; tab < 5; ++tab) // 功用主治, 分类, 查询, 清屏, the list
        key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list());
    key(Qt::Key_Down);
    EXPECT_TRUE(page().startsWith(listed()[1] + "\n")) << "the detail follows the chosen row";

    // The page's first herb link, reached by Tab and opened by Enter, shows that herb's record.
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), child<QTextBrowser>("Txtfjnr"));
    key(Qt::Key_Tab);
    key(Qt::Key_Return);
    QWidget *record = visibleWindow("Frmycda");
    ASSERT_TRUE(record);
    EXPECT_EQ(child<QLineEdit>("TxtYcmc", record)->text(), "柴胡。") << listed()[1].toStdString();
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.texts().join('|').toStdString();
}

// 当归's record counts its formulas, and the count opens exactly those; a herb's record opened
// from a formula counts them alike.
TEST_F(FormulaScreen, AHerbsRecordAndItsFormulasLinkBothWays)
{
    int count = 0;
    {
        ds::Database db = ds::openDataFile(dataFile);
        count = formulas::formulasHolding(db, QStringLiteral("当归"));
    }
    ASSERT_GT(count, 10);
    delete screen.data();
    QPointer<QWidget> entry = startup::showScreen(QStringLiteral("Frmzyyc"));
    ASSERT_TRUE(entry);
    auto *name = child<QLineEdit>("Txtycmc", entry);
    name->setText(QStringLiteral("当归"));
    QTest::keyClick(name, Qt::Key_Return);
    auto *link = child<QPushButton>("Cmdhyfj", entry);
    ASSERT_TRUE(link->isVisible());
    EXPECT_EQ(link->text(), QStringLiteral("含此药的方剂（%1）").arg(count));
    link->click();
    screen = visibleWindow("Frmfjcx");
    ASSERT_TRUE(screen);
    EXPECT_EQ(child<QLineEdit>("Txtfjyw")->text(), "当归");
    EXPECT_EQ(list()->model()->rowCount(), count);
    EXPECT_TRUE(listed().contains("逍遥散"));
    EXPECT_FALSE(startup::openedFromMenu(screen)) << "it must leave the menus to the entry screen";

    search("Txtfjyw", "杭芍");
    EXPECT_TRUE(listed().contains("逍遥散")) << "杭芍 is 白芍";
    emit child<QTextBrowser>("Txtfjnr")->anchorClicked(QUrl(formulas::herbLink("当归")));
    QWidget *record = visibleWindow("Frmycda");
    ASSERT_TRUE(record);
    EXPECT_EQ(child<QPushButton>("Cmdhyfj", record)->text(), link->text());
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.texts().join('|').toStdString();
}

// A clinic formula is refused by the name of the herb no table knows, keeps what was typed, and
// is saved with 云苓 as written; then changed and deleted.
TEST_F(FormulaScreen, TheClinicsOwnFormulasThroughTheEditor)
{
    click("Cmdadd");
    QPointer<QWidget> editor = visibleWindow("Frmfjbj");
    ASSERT_TRUE(editor);
    child<QLineEdit>("Txtfjmc", editor)->setText("健脾方");
    auto *composition = child<QPlainTextEdit>("Txtfjzc", editor);
    composition->setPlainText("云苓15g、仙丹草9g");
    click("Cmdsave", editor);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.contains("仙丹草")) << messages.last().text.toStdString();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(composition->toPlainText(), "云苓15g、仙丹草9g");
    messages.answerNext(ui::Answer::No);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible()) << "Esc asks before it drops what was typed";

    composition->setPlainText("云苓 15g\n白术10g");
    click("Cmdsave", editor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor);
    EXPECT_EQ(listed().value(list()->currentIndex().row()), "健脾方");
    EXPECT_TRUE(page().contains("云苓\n15g")) << page().toStdString();
    search("Txtfjyw", "茯苓");
    EXPECT_TRUE(listed().contains("健脾方"));
    search("Txtfjyw", QString());

    search("Txtfjmc", "健脾方");
    click("Cmdedit");
    editor = visibleWindow("Frmfjbj");
    ASSERT_TRUE(editor);
    EXPECT_EQ(child<QLineEdit>("Txtfjbz", editor)->text(), "本院协定方。");
    child<QPlainTextEdit>("Txtfjxd", editor)->setPlainText("脾虚常用");
    click("Cmdsave", editor);
    EXPECT_TRUE(page().contains("心得 脾虚常用。")) << page().toStdString();

    messages.answerNext(ui::Answer::Yes);
    click("Cmddele");
    EXPECT_TRUE(messages.texts().contains("确实要删除方剂 健脾方 吗？")) << messages.texts().join('|').toStdString();
    ds::Database db = ds::openDataFile(dataFile);
    EXPECT_FALSE(formulas::findFormula(db, "健脾方"));
}

// The listed formulas go to a workbook, one row each; the chosen one to the print preview and,
// as its stored composition, to the prescription pad.
TEST_F(FormulaScreen, ExportPrintAndTheHandOverToThePad)
{
    search("Txtfjyw", "柴胡");
    const QStringList shown = listed();
    ASSERT_GT(shown.size(), 10);
    FileDialogRecorder files;
    const QString workbook = home.file("方剂.xlsx");
    files.answerNext(workbook);
    click("Cmdexpt");
    EXPECT_EQ(messages.last().text, QStringLiteral("已经把 %1 首方剂导出到“%2”。").arg(shown.size()).arg(workbook));
    QProcess unzip;
    unzip.start("unzip", {"-p", workbook, "xl/sharedStrings.xml"});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString strings = QString::fromUtf8(unzip.readAllStandardOutput());
    for (const QString &name : shown)
        EXPECT_TRUE(strings.contains("<t>" + name + "</t>")) << name.toStdString();
    ASSERT_TRUE(QDir().mkdir(home.file("目录.xlsx")));
    files.answerNext(home.file("目录.xlsx"));
    click("Cmdexpt");
    EXPECT_TRUE(messages.last().text.contains("没有导出")) << messages.last().text.toStdString();

    search("Txtfjmc", "小柴胡汤");
    std::optional<ui::PrintRequest> printed;
    ui::setPrintPreviewHandler([&printed](const ui::PrintRequest &request) { printed = request; });
    click("Cmdprnt");
    ui::setPrintPreviewHandler({});
    ASSERT_TRUE(printed);
    EXPECT_TRUE(printed->html.contains("小柴胡汤") && !printed->html.contains("href")) << "no links on paper";

    QString handed;
    startup::registerScreen("Frmkcf", [](QWidget *main) { return new QWidget(main, Qt::Window); });
    startup::registerInbox("Frmkcf", [&handed](QWidget *, const QString &text) { handed = text; });
    click("Cmdkcf");
    startup::unregisterScreen("Frmkcf");
    EXPECT_EQ(handed, "柴胡24g、黄芩9g、人参9g、炙甘草9g、半夏9g、生姜9g、大枣4枚。");
}

// 中医方剂 → 方剂查询 opens the screen with the menus locked until it is left; 开处方 without its
// screen gives them back at once.
TEST_F(FormulaScreen, TheMenuOpensItAndFollowsTheLock)
{
    delete screen.data();
    startup::MDIFlanx main;
    startup::setShell(&main);
    main.show();
    main.findChild<QAction *>("zyfj0")->trigger();
    screen = visibleWindow("Frmfjcx");
    ASSERT_TRUE(screen);
    EXPECT_TRUE(startup::openedFromMenu(screen));
    EXPECT_FALSE(main.isMenuEnabled("zyfj"));
    QTest::keyClick(screen, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen);
    EXPECT_TRUE(main.isMenuEnabled("zyfj"));
    main.findChild<QAction *>("zyfj1")->trigger();
    EXPECT_TRUE(main.isMenuEnabled("zyfj"));
    main.allowClose();
}
