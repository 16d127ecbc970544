#include "entry_screen_fixture.h"
#include "word_processor_on_path.h"
#include "herbs/print_text.h"
#include "herbs/print_to_word.h"
#include "herbs/register_herb_screens.h"
#include "startup/screens.h"
#include "ui/pointer.h"

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QGuiApplication>

#include <functional>

namespace {
const QStringList kNewHerb{"党参", "归脾、肺经", "甘,平", "补中益气", "脾肺气虚", "煎服,9～30克", "", ""};
} // namespace

TEST_F(EntryScreen, CaptionsOfLabelsAndButtons)
{
    const std::pair<const char *, const char *> labels[] = {
        {"Label5", "名称"}, {"Label6", "性味"}, {"Label7", "归经"}, {"Label1", "功效"},
        {"Label2", "主治"}, {"Label4", "用法"}, {"Label3", "宜忌"}, {"Label8", "临床心得"},
    };
    for (const auto &[objectName, caption] : labels)
        EXPECT_EQ(child<QLabel>(objectName)->text(), caption) << objectName;
    // 临床心得 stands on two lines in its narrow box.
    QLabel *notes = child<QLabel>("Label8");
    EXPECT_GT(notes->heightForWidth(notes->width()), notes->fontMetrics().height());
    const std::pair<const char *, const char *> buttons[] = {
        {"Cmdsave", "保存&B"}, {"Cmdedit", "修改&X"}, {"Cmddele", "删除&D"},    {"Cmdseek", "查询&S"},
        {"Cmdqcls", "清屏&Q"}, {"Cmdprnt", "编辑打印&P"}, {"Cmdexit", "退出&E"},
    };
    for (const auto &[objectName, caption] : buttons)
        EXPECT_EQ(button(objectName)->text(), caption) << objectName;
}

TEST_F(EntryScreen, OpensEmptyWithListsAndCount)
{
    EXPECT_EQ(screen->windowTitle(), "中医药材登录");
    EXPECT_EQ(child<QLabel>("Label9")->text(), "本系统收集药材达");
    EXPECT_EQ(countLine(), "12 味");
    EXPECT_EQ(listed().size(), 12);
    EXPECT_EQ(listed().first(), "人参。");
    EXPECT_EQ(combo("Cboycxw")->count(), 11);
    EXPECT_EQ(combo("Cboycxw")->itemText(0), "甘，寒。"); // pinyin order
    EXPECT_EQ(combo("Cboycgj")->count(), 11);
    EXPECT_EQ(shown(), QStringList(8, QString()));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_FALSE(ui::isPointerBusy());
    EXPECT_EQ(name()->geometry(), QRect(40, 8, 113, 22));
    EXPECT_EQ(button("Cmdexit")->text(), "退出&E");
}

TEST_F(EntryScreen, SaveStoresTheStoredFormThenASecondSaveGoesToChange)
{
    fill(kNewHerb);
    click("Cmdsave");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(countLine(), "13 味");
    EXPECT_TRUE(listed().contains("党参。"));
    EXPECT_EQ(shown(), QStringList(8, QString()));
    EXPECT_TRUE(focused(name()));
    {
        ds::Database db = ds::openDataFile();
        ds::Dynaset row = db.openDynaset("SELECT * FROM 中医药材 WHERE 名称 = '党参。'");
        ASSERT_EQ(row.recordCount(), 1);
        EXPECT_EQ(row.text(2), "甘，平。");
        EXPECT_EQ(row.text(5), "煎服，9～30克。");
        EXPECT_EQ(row.text(6), " ");
    }

    // Loaded from the list, the name carries its full stop, so save finds it.
    clickListEntry("党参。");
    click("Cmdsave");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(focused(button("Cmdedit")));
    EXPECT_EQ(status(), "这味药材已经存在，保存修改请按“修改”");
    EXPECT_EQ(storedCount(), 13);
    // The check filled the empty optional boxes with a space, visibly.
    EXPECT_EQ(box("Txtycyj")->toPlainText(), " ");
}

TEST_F(EntryScreen, SavingANameWithoutItsFullStopAgainIsRefusedNamingTheHerb)
{
    fill(kNewHerb);
    click("Cmdsave");
    fill(kNewHerb);
    click("Cmdsave");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.contains("党参。")) << messages.last().text.toStdString();
    EXPECT_FALSE(messages.last().text.contains("错误号码")); // the description alone
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(storedCount(), 13);
    EXPECT_EQ(name()->text(), "党参"); // what was typed stays
    EXPECT_FALSE(ui::isPointerBusy());
}

TEST_F(EntryScreen, SavingUnderAnAliasOfAStoredHerbAsksFirst)
{
    fill({"云苓", "归心经", "甘", "利水", "水肿", "煎服", "", ""});
    messages.answerNext(ui::Answer::No);
    click("Cmdsave");
    ASSERT_EQ(messages.texts(), QStringList{"“云苓”是“茯苓”的别名，仍然作为新药材保存吗？"});
    EXPECT_EQ(messages.last().defaultAnswer, ui::Answer::No);
    EXPECT_EQ(storedCount(), 12);
    click("Cmdsave");
    EXPECT_EQ(storedCount(), 13);
}

// Each road out of a changed herb asks first: 否, the default, keeps the screen as it is; 是 goes on.
TEST_F(EntryScreen, EveryRoadOutOfAChangedHerbAsksFirst)
{
    const std::pair<const char *, std::function<void()>> roads[] = {
        {"清屏", [this] { click("Cmdqcls"); }},
        {"退出", [this] { click("Cmdexit"); }},
        {"close box", [this] { screen->close(); }},
        {"Esc", [this] { QTest::keyClick(box("Txtycgb"), Qt::Key_Escape); }},
        {"list click", [this] { clickListEntry("人参。"); }},
        {"Enter on a name", [this] { name()->setText("人参"); enter(name()); }},
        {"查询", [this] { click("Cmdseek"); }},
    };
    for (const auto &[road, take] : roads) {
        SCOPED_TRACE(road);
        if (!screen->isVisible()) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            open();
        }
        clickListEntry("当归。");
        box("Txtycgb")->setPlainText("经期慎用");
        messages.messages.clear();
        messages.answerNext(ui::Answer::No);
        take();
        ASSERT_EQ(messages.texts(), QStringList{"药材“当归”的修改还没有保存，放弃这些修改吗？"});
        EXPECT_EQ(messages.last().defaultAnswer, ui::Answer::No);
        ASSERT_TRUE(screen->isVisible());
        EXPECT_EQ(box("Txtycgb")->toPlainText(), "经期慎用");

        take(); // 是
        EXPECT_EQ(messages.messages[1].text, messages.messages[0].text);
        EXPECT_TRUE(!screen->isVisible() || box("Txtycgb")->toPlainText() != "经期慎用"
                    || messages.last().text == "未找到相关药材。");
    }
}

TEST_F(EntryScreen, InputCheckNamesTheFirstMissingField)
{
    fill({"党参", "", "", "", "", "", "", ""});
    click("Cmdsave");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.last().text, "输入药材功用");
    EXPECT_TRUE(focused(box("Txtycgy")));
    EXPECT_EQ(screen->jybl(), 1);
    EXPECT_EQ(box("Txtycyj")->toPlainText(), ""); // a failed check fills nothing
    EXPECT_EQ(storedCount(), 12);

    fill({" 党参 ", "", "", "补气", "气虚", "煎服", "", ""});
    click("Cmdedit");
    EXPECT_EQ(screen->jybl(), 0);
    EXPECT_EQ(name()->text(), "党参");
}

TEST_F(EntryScreen, ChangeOfAnUnknownNameGoesToSave)
{
    fill(kNewHerb);
    click("Cmdedit");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(focused(button("Cmdsave")));
    EXPECT_EQ(storedCount(), 12);
    EXPECT_EQ(name()->text(), "党参");
}

TEST_F(EntryScreen, ChangeRewritesTheLoadedHerb)
{
    clickListEntry("黄芪。");
    box("Txtycgb")->setPlainText("重用可至120克");
    click("Cmdedit");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shown(), QStringList(8, QString()));
    EXPECT_TRUE(focused(name()));
    clickListEntry("黄芪。");
    EXPECT_EQ(box("Txtycgb")->toPlainText(), "重用可至120克。");
    EXPECT_EQ(storedCount(), 12);
}

TEST_F(EntryScreen, DeleteAsksAndRemovesOneHerbOnYes)
{
    clickListEntry("人参。");
    messages.answerNext(ui::Answer::No);
    click("Cmddele");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.last().text, "确实要删除 人参。 药材吗？");
    EXPECT_EQ(messages.last().icon, ui::Icon::Question);
    EXPECT_EQ(messages.last().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(messages.last().title, QString());
    EXPECT_EQ(storedCount(), 12);
    EXPECT_EQ(countLine(), "12 味");

    messages.answerNext(ui::Answer::Yes);
    click("Cmddele");
    EXPECT_EQ(storedCount(), 11);
    EXPECT_EQ(countLine(), "11 味");
    EXPECT_FALSE(listed().contains("人参。"));
    EXPECT_EQ(shown(), QStringList(8, QString()));
    EXPECT_TRUE(focused(name()));

    // An empty name is asked about too, and nothing goes.
    click("Cmddele");
    EXPECT_EQ(messages.messages.value(messages.messages.size() - 2).text, "确实要删除  药材吗？");
    EXPECT_EQ(storedCount(), 11);
}

// Delete seeks what the question named, in its stored form; a Yes that finds nothing says so.
TEST_F(EntryScreen, DeleteFindsTheNameAsAskedAndSaysWhenNothingWent)
{
    const struct {
        QString inBox;   // typed, loaded or pasted
        QString asked;   // as the question shows it
        bool deleted;
    } cases[] = {
        {" 人参。", "人参。", true}, // pasted with a space: the question trims it, and so does the seek
        {"黄芪", "黄芪", true},      // the plain name
        {"党参", "党参", false},
    };
    int count = storedCount();
    for (const auto &c : cases) {
        messages.messages.clear();
        name()->setText(c.inBox);
        click("Cmddele");
        ASSERT_FALSE(messages.messages.isEmpty());
        EXPECT_EQ(messages.messages.first().text, "确实要删除 " + c.asked + " 药材吗？");
        if (c.deleted) {
            EXPECT_EQ(messages.messages.size(), 1);
            EXPECT_EQ(storedCount(), --count);
            EXPECT_EQ(name()->text(), "");
        } else {
            ASSERT_EQ(messages.messages.size(), 2);
            EXPECT_EQ(messages.last().text, "未找到药材 " + c.asked + "，没有删除。");
            EXPECT_EQ(messages.last().icon, ui::Icon::Information);
            EXPECT_EQ(storedCount(), count);
            EXPECT_EQ(name()->text(), c.inBox); // nothing cleared
        }
    }
    EXPECT_FALSE(ui::isPointerBusy());
}

TEST_F(EntryScreen, ListClickLoadsTheStoredTextsTrimmed)
{
    {
        ds::Database db = ds::openDataFile();
        db.execute("INSERT INTO 中医药材 VALUES ('导入参', ' 归肝经 ', ' ', '补气。', '气虚。', '煎服。', ' ', '甲\r\n乙 ')");
    }
    click("Cmdqcls");
    clickListEntry("人参。");
    EXPECT_EQ(shown()[0], "人参。");
    EXPECT_EQ(shown()[1], "归脾、肺、心、肾经。");
    EXPECT_EQ(shown()[7], ""); // a stored blank shows as an empty box
    EXPECT_EQ(countLine(), "13 味");

    clickListEntry("导入参");
    EXPECT_EQ(shown(), (QStringList{"导入参", "归肝经", "", "补气。", "气虚。", "煎服。", "", "甲\n乙"}));
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(EntryScreen, ConditionSearchShowsWhatItFound)
{
    combo("Cboycxw")->setEditText("微温");
    click("Cmdseek");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(countLine(), " 3种");
    EXPECT_EQ(listed(), (QStringList{"人参。", "黄芪。", "熟地黄。"}));
    EXPECT_EQ(combo("Cboycxw")->currentText(), "微温"); // the conditions stay
    EXPECT_FALSE(ui::isPointerBusy());

    clickListEntry("黄芪。");
    EXPECT_EQ(shown()[0], "黄芪。");

    // Nothing found: the message, and the list and count line stay. The loaded herb's texts were
    // emptied, which is asked about first.
    fill({"没有这味药"});
    click("Cmdseek");
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_TRUE(messages.messages[0].text.contains("黄芪"));
    EXPECT_EQ(messages.last().text, "未找到相关药材。");
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(countLine(), " 3种");
    EXPECT_EQ(listed().size(), 3);
    EXPECT_EQ(name()->text(), "没有这味药");

    click("Cmdqcls");
    EXPECT_EQ(countLine(), "12 味");
    EXPECT_EQ(listed().size(), 12);
}

TEST_F(EntryScreen, ConditionSearchNeedsACondition)
{
    box("Txtycyj")->setPlainText("孕妇慎用"); // 宜忌 is not a condition
    name()->setText("   ");
    click("Cmdseek");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.last().text, "输入查询条件。");
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_TRUE(focused(name()));
    EXPECT_EQ(name()->text(), "   "); // the controls are not trimmed by the search
}

TEST_F(EntryScreen, ConditionWithAQuoteIsSearchedNotRun)
{
    fill({"参'"});
    click("Cmdseek");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.last().text, "未找到相关药材。");
    EXPECT_EQ(storedCount(), 12);
}

TEST_F(EntryScreen, IncompletePrintIsRefused)
{
    clickListEntry("人参。");
    box("Txtycyf")->clear();
    click("Cmdprnt");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.last().text, "打印内容输入不完全，不能打印");
    EXPECT_EQ(messages.last().icon, ui::Icon::None);
    EXPECT_EQ(messages.last().buttons, ui::Buttons::Ok);
    EXPECT_EQ(messages.last().title, std::nullopt); // the application's own title
    EXPECT_TRUE(focused(button("Cmdqcls")));
    EXPECT_FALSE(ui::isPointerBusy());
    EXPECT_EQ(shown()[0], "人参。");
}

TEST_F(EntryScreen, CompletePrintHandsTheShownHerbToTheWordProcessor)
{
    QStringList launched;
    herbs::setProgramLauncher([&launched](const QString &program, const QStringList &arguments) {
        launched = QStringList{program} + arguments;
        return true;
    });
    clickListEntry("人参。");
    {
        WordProcessorOnPath office;
        click("Cmdprnt");
    }
    herbs::setProgramLauncher({});
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.texts().join("\n").toStdString();
    ASSERT_GE(launched.size(), 2);
    EXPECT_TRUE(launched.last().endsWith(".odt"));
    const QString expected = herbs::buildPrintText(shown(), QDate::currentDate());
    EXPECT_TRUE(expected.startsWith("药材名称：人参。\r\n药材性味：甘、微苦，微温。\r\n"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    EXPECT_FALSE(ui::isPointerBusy());
    QFile::remove(launched.last());
}

TEST(EntryScreenWithoutDataFile, OpensReportsAndStaysUsable)
{
    TempHome home;
    MessageRecorder messages;
    QPointer<herbs::Frmzyyc> screen = new herbs::Frmzyyc(nullptr);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith("找不到数据文件。")) << messages.last().text.toStdString();
    EXPECT_FALSE(ui::isPointerBusy());
    EXPECT_EQ(screen->findChild<QLabel *>("Labycsl")->text(), "味");

    // Once the file is back, clearing loads everything, the whole shipped table.
    const int shipped = ds::openDataFile(home.installSeed()).openTable("中医药材").recordCount();
    QTest::mouseClick(screen->findChild<QPushButton *>("Cmdqcls"), Qt::LeftButton);
    EXPECT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(screen->findChild<QLabel *>("Labycsl")->text(), QString::number(shipped) + " 味");
    EXPECT_EQ(screen->findChild<QListView *>("Listycmc")->model()->rowCount(), shipped);
    delete screen.data();
}

TEST(EntryScreenWithoutDataFile, SaveReportsTheDescription)
{
    TempHome home;
    home.installSeed();
    MessageRecorder messages;
    QPointer<herbs::Frmzyyc> screen = new herbs::Frmzyyc(nullptr);
    QFile::remove(home.paths().dataFile);
    screen->findChild<QLineEdit *>("Txtycmc")->setText("党参");
    for (const char *box : {"Txtycgy", "Txtyczz", "Txtycyf"})
        screen->findChild<QPlainTextEdit *>(box)->setPlainText("补气");
    QTest::mouseClick(screen->findChild<QPushButton *>("Cmdsave"), Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith("找不到数据文件。")) << messages.last().text.toStdString();
    EXPECT_FALSE(ui::isPointerBusy());
    delete screen.data();
}

TEST(EntryScreenWithoutDataFile, EachTrapShowsItsOwnForm)
{
    TempHome home;
    home.installSeed();
    MessageRecorder messages;
    QPointer<herbs::Frmzyyc> screen = new herbs::Frmzyyc(nullptr);
    auto *list = screen->findChild<QListView *>("Listycmc");
    ASSERT_GT(list->model()->rowCount(), 0);
    QFile::remove(home.paths().dataFile);
    const QString missing = QStringLiteral("找不到数据文件。");

    // The condition search: number and description in one line, information icon.
    screen->findChild<QLineEdit *>("Txtycmc")->setText("人参");
    QTest::mouseClick(screen->findChild<QPushButton *>("Cmdseek"), Qt::LeftButton);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith("错误号码：3024错误内容：" + missing)) << messages.last().text.toStdString();
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_EQ(messages.last().title, QString());
    EXPECT_FALSE(ui::isPointerBusy());

    // The count: two line breaks between the halves, information icon.
    screen->ZyycSl();
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_TRUE(messages.last().text.startsWith("错误号码：3024\r\n\r\n错误内容：" + missing)) << messages.last().text.toStdString();
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);
    EXPECT_FALSE(ui::isPointerBusy());

    // A click in the name list: the description alone.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    ASSERT_EQ(messages.messages.size(), 3);
    EXPECT_TRUE(messages.last().text.startsWith(missing)) << messages.last().text.toStdString();
    EXPECT_EQ(messages.last().icon, ui::Icon::Information);

    // Change and delete: the description alone, and the arrow comes back.
    screen->findChild<QLineEdit *>("Txtycmc")->setText("人参。");
    for (const char *box : {"Txtycgy", "Txtyczz", "Txtycyf"})
        screen->findChild<QPlainTextEdit *>(box)->setPlainText("补气");
    for (const char *command : {"Cmdedit", "Cmddele"}) {
        const qsizetype before = messages.messages.size();
        QTest::mouseClick(screen->findChild<QPushButton *>(command), Qt::LeftButton);
        ASSERT_GT(messages.messages.size(), before) << command;
        EXPECT_TRUE(messages.last().text.startsWith(missing)) << command << messages.last().text.toStdString();
        EXPECT_EQ(messages.last().icon, ui::Icon::Information) << command;
        EXPECT_FALSE(ui::isPointerBusy()) << command;
    }
    delete screen.data();
}

TEST(EntryScreenRegistration, TheShellOpensItByName)
{
    TempHome home;
    home.installSeed();
    MessageRecorder messages;
    herbs::registerHerbScreens();
    QPointer<QWidget> screen = startup::showScreen("Frmzyyc");
    ASSERT_NE(qobject_cast<herbs::Frmzyyc *>(screen.data()), nullptr);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_TRUE(screen->isWindow());
    QTest::mouseClick(screen->findChild<QPushButton *>("Cmdexit"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
    EXPECT_TRUE(messages.messages.isEmpty());
    startup::unregisterScreen("Frmzyyc");
}
