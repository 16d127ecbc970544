// The import screen and the main window's maintenance commands.
#include "maintenance/backup_files.h"
#include "maintenance/frmdrxz.h"
#include "screen_fixture.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "ui/pointer.h"
#include "wait.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include <functional>

namespace {

class ImportScreen : public MaintenanceScreen {
protected:
    ImportScreen() { open("FrmLinkDb"); }

    void chooseSource(const QString &path)
    {
        dialogs.answerNext(path);
        click("CmdFileName");
    }
    void pick(const char *item) { control<QAction>(item)->trigger(); }
    bool buttonsEnabled() const
    {
        return control("CmdLook")->isEnabled() && control("CmdQcls")->isEnabled() && control("CmdQuit")->isEnabled();
    }
    static QVariantList herb(const QString &name, const QVariant &meridian = "肺经")
    {
        return {name, meridian, "辛，温", "解表", "风寒", "煎服", "无", "常用"};
    }
    // Answers the next modal window (the merge choice) once it shows; the import waits in it.
    void answerModal(const std::function<void(QWidget *)> &answer)
    {
        whenShown(screen, [] { return QApplication::activeModalWidget(); }, answer);
    }
};

TEST_F(ImportScreen, ShowsItsControlsAndTheSevenItemMenu)
{
    EXPECT_EQ(screen->windowTitle(), "导入数据库");
    const std::pair<const char *, const char *> buttons[] = {
        {"CmdFileName", "文件名称&F"}, {"CmdLook", "导入数据&L"}, {"CmdQcls", "清屏&Q"}, {"CmdQuit", "退出&T"}};
    for (const auto &[name, caption] : buttons)
        EXPECT_EQ(control<QPushButton>(name)->text(), caption) << name;
    QStringList items;
    for (QAction *action : control<QMenu>("pupmenu1")->actions())
        items.append(action->objectName() + "=" + action->text());
    EXPECT_EQ(items, QStringList({"IeAdress=导入中医药材数据", "IeMail=导入中医方剂数据", "BwThing=导入中医成药数据",
                                  "TeleDate=导入中医诊断数据", "CatchXy=导入西药数据", "LinkHzzl=导入门诊患者资料",
                                  "LinkZdhz=导入患者诊断资料"}));
}

TEST_F(ImportScreen, OpensOnImportAndItsMenuOpensAtTheButtonFromTheKeyboard)
{
    auto *look = control<QPushButton>("CmdLook");
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == screen; }));
    EXPECT_EQ(QApplication::focusWidget(), look);
    QStringList round;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        round.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(round, QStringList({"TxtFile", "CmdFileName", "CmdQuit", "CmdQcls", "CmdLook"}));
    QTest::keyClick(look, Qt::Key_Return);
    EXPECT_TRUE(screen && screen->isVisible());

    QCursor::setPos(0, 0);
    QTest::keyClick(look, Qt::Key_Space);
    auto *menu = control<QMenu>("pupmenu1");
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }));
    EXPECT_EQ(menu->geometry().topLeft(), look->mapToGlobal(QPoint(0, look->height())));
    menu->close();
}

TEST_F(ImportScreen, ImportsTheChosenSourceAndSaysHowManyRows)
{
    const QString source = makeFamilySource(home.file("源.mdb"), {herb("新药甲"), herb("新药乙")},
                                            {{"本院感冒方", "麻黄", "发汗", "风寒", "水煎", "伤寒论", "心得"}});
    // An empty path does nothing at all.
    pick("IeAdress");
    EXPECT_TRUE(recorder.messages.isEmpty());

    chooseSource(source);
    EXPECT_EQ(dialogs.requests.last().title, "查找 mdb 数据库");
    EXPECT_EQ(control<QLineEdit>("TxtFile")->text(), source);
    pick("IeAdress");
    EXPECT_EQ(lastMessage(), "已经导入 2 条新药材，0 条相同的已跳过，0 条同名的保留本机内容。");
    EXPECT_TRUE(herbNames(dataFile).contains("新药甲。"));
    pick("IeMail");
    EXPECT_EQ(lastMessage(), "已经导入 1 条新方剂，0 条相同的已跳过，0 条同名的保留本机内容。");
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_FALSE(ui::isPointerBusy());

    click("CmdQcls");
    EXPECT_TRUE(control<QLineEdit>("TxtFile")->text().isEmpty());
}

TEST_F(ImportScreen, AFailedImportShowsTheErrorBoxNamingTheRowAndImportsNothing)
{
    const QString source = makeFamilySource(home.file("源.mdb"), {herb("新药甲"), herb("新药乙", QVariant())});
    const QStringList before = herbNames(dataFile);
    chooseSource(source);
    pick("IeAdress");
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("错误号码： %1\r\n错误内容：").arg(int(ds::ErrorCode::InvalidUseOfNull))));
    EXPECT_TRUE(lastMessage().contains("第 2 行（“新药乙”）的“归经”是空值")) << lastMessage().toStdString();
    EXPECT_EQ(recorder.last().icon, ui::Icon::None);
    EXPECT_EQ(herbNames(dataFile), before);
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_FALSE(ui::isPointerBusy());
}

TEST_F(ImportScreen, ItemsWithoutAnImportSaySoAndChangeNothing)
{
    const QString source = makeFamilySource(home.file("源.mdb"), {herb("新药甲")});
    chooseSource(source);
    const QByteArray before = readBytes(dataFile);
    QStringList said;
    for (const char *item : {"BwThing", "TeleDate", "CatchXy", "LinkHzzl", "LinkZdhz"}) {
        recorder.messages.clear();
        pick(item);
        ASSERT_EQ(recorder.messages.size(), 1) << item;
        EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
        said.append(lastMessage());
    }
    EXPECT_EQ(said.constFirst(), "这一版本没有“中医成药”数据，不能导入。");
    EXPECT_EQ(said.constLast(), "这一版本没有“患者诊断资料”，不能导入。");
    EXPECT_EQ(readBytes(dataFile), before);
}

// Names already stored with other contents: the window asks before anything is written.
TEST_F(ImportScreen, DifferentRowsAskFirstAndEachAnswerIsKept)
{
    keepOnlyFirstHerbs(dataFile);
    const QString source = makeFamilySource(home.file("源.mdb"), {herb("新药甲"), herb("甘草"), herb("人参")});
    chooseSource(source);
    const QByteArray dataBefore = readBytes(dataFile);
    const QByteArray sourceBefore = readBytes(source);

    QString counts;
    answerModal([&](QWidget *window) {
        counts = window->findChild<QLabel *>("LabCounts")->text();
        QTest::mouseClick(window->findChild<QPushButton *>("CmdCancel"), Qt::LeftButton);
    });
    pick("IeAdress");
    EXPECT_EQ(counts, "新增 1 味、相同 0 味、同名而内容不同 2 味");
    EXPECT_TRUE(recorder.messages.isEmpty());
    EXPECT_EQ(readBytes(dataFile), dataBefore);
    EXPECT_EQ(readBytes(source), sourceBefore);
    EXPECT_TRUE(buttonsEnabled());

    // Enter takes the default: the stored contents stay, the new herb comes.
    answerModal([](QWidget *window) { QTest::keyClick(window, Qt::Key_Return); });
    pick("IeAdress");
    EXPECT_EQ(lastMessage(), "已经导入 1 条新药材，0 条相同的已跳过，2 条同名的保留本机内容。");
    EXPECT_TRUE(herbNames(dataFile).contains("新药甲。"));

    // Taking theirs keeps the data as it stood first, and says where.
    const QByteArray beforeTaking = readBytes(dataFile);
    answerModal([](QWidget *window) { QTest::mouseClick(window->findChild<QPushButton *>("CmdTake"), Qt::LeftButton); });
    pick("IeAdress");
    const QList<maint::KeptFile> kept = maint::keptFiles(dataFile, maint::KeptKind::BeforeImport);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(lastMessage(), "已经导入 0 条新药材，1 条相同的已跳过，2 条同名的已改用导入内容。\r\n导入以前的数据已另存为 "
                                 + kept[0].path + "。");
    EXPECT_EQ(readBytes(kept[0].path), beforeTaking);
    ds::Database db = ds::openDataFile(dataFile);
    EXPECT_EQ(db.openDynaset("SELECT 归经 FROM 中医药材 WHERE 名称 = '甘草。'").text(0), "肺经。");
}

TEST(MergeChoiceWindow, ShowsTheDifferingTextsWholeSideBySideAndDefaultsToKeepingOurs)
{
    maint::MergePlan plan;
    plan.fresh = {{"新药。"}};
    plan.identical = 3;
    plan.different = {{7, {"甘草。", "归心经。", "甘。", " ", " ", " ", " ", "旧\r\n心得。"},
                       {"甘草。", "归肺经。", "甘。", " ", " ", " ", "忌生冷。", "新心得。"}, {1, 6, 7}},
                      {9, {"人参。", "归脾经。"}, {"人参。", "归肺经。"}, {1}}};
    maint::FrmDrxz window(nullptr, maint::ImportKind::Herbs, plan);
    EXPECT_EQ(window.findChild<QLabel *>("LabCounts")->text(), "新增 1 味、相同 3 味、同名而内容不同 2 味");
    QAbstractItemModel *model = window.findChild<QTableView *>("MsfgridDiff")->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.append(model->index(row, column).data().toString());
        lines.append(cells.join(" | "));
    }
    EXPECT_EQ(lines, QStringList({"甘草。 | 归经 | 归心经。 | 归肺经。", "甘草。 | 宜忌 | （空） | 忌生冷。",
                                  "甘草。 | 心得 | 旧\n心得。 | 新心得。", "人参。 | 归经 | 归脾经。 | 归肺经。"}));
    EXPECT_EQ(model->index(2, 2).data(Qt::ToolTipRole).toString(), "旧\r\n心得。");
    auto *grid = window.findChild<QTableView *>("MsfgridDiff");
    EXPECT_TRUE(grid->wordWrap());
    EXPECT_EQ(grid->textElideMode(), Qt::ElideNone);
    EXPECT_EQ(grid->rowSpan(0, 0), 3); // one name cell, and one tick, for a herb's lines
    EXPECT_TRUE(window.findChild<QPushButton *>("CmdKeep")->isDefault());
    EXPECT_EQ(window.findChild<QPushButton *>("CmdKeep")->text(), "保留本机内容（只导入新增）");
    EXPECT_EQ(window.findChild<QPushButton *>("CmdTake")->text(), "全部采用导入的内容");

    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(window.choice(), std::nullopt);
    window.show();
    QTest::mouseClick(window.findChild<QPushButton *>("CmdTake"), Qt::LeftButton);
    EXPECT_EQ(window.choice(), maint::TakenTexts({{1, 6, 7}, {1}}));

    // Ticks, herb by herb or text by text: the herb's own tick shows how much of it is taken.
    auto *ticked = window.findChild<QPushButton *>("CmdTicked");
    EXPECT_FALSE(ticked->isEnabled());
    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    model->setData(model->index(1, 1), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(model->index(2, 0).data(Qt::CheckStateRole), Qt::PartiallyChecked);
    EXPECT_EQ(model->index(3, 0).data(Qt::CheckStateRole), Qt::Unchecked);
    window.show();
    QTest::mouseClick(ticked, Qt::LeftButton);
    EXPECT_EQ(window.choice(), maint::TakenTexts({{1, 7}, {}}));
}

// The main window's maintenance commands open their screens with the menus locked; each
// screen's own way out gives the menus back.
class MaintenanceCommands : public MaintenanceScreen {
protected:
    ~MaintenanceCommands() override { Modulanxia::shutdown(); }
};

TEST_F(MaintenanceCommands, OpenWithTheMenusLockedAndGiveThemBackOnLeaving)
{
    ASSERT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
    startup::MDIFlanx *main = programWindow();
    startup::unlockMenus(); // as the first-use screen does when it closes
    const struct {
        const char *command;
        const char *screen;
        const char *leave;
    } commands[] = {{"cc", "Frmcopy", "Cmdexit"}, {"DateSj", "FrmLinkDb", "CmdQuit"}, {"Xpict", "FrmJczl", "CmdOext"}};
    for (const auto &c : commands) {
        ASSERT_TRUE(main->isMenuEnabled("xtwh"));
        main->findChild<QAction *>(c.command)->trigger();
        QPointer<QWidget> opened = visibleWindow(c.screen);
        ASSERT_NE(opened, nullptr) << c.screen;
        EXPECT_FALSE(main->isMenuEnabled("xtwh")) << c.screen;
        EXPECT_FALSE(main->isMenuEnabled("zyexit")) << c.screen;
        EXPECT_FALSE(ui::isPointerBusy()) << c.screen;
        QTest::mouseClick(opened->findChild<QPushButton *>(c.leave), Qt::LeftButton);
        EXPECT_TRUE(!opened || !opened->isVisible()) << c.screen;
        EXPECT_TRUE(main->isMenuEnabled("xtwh")) << c.screen;
    }
}

} // namespace
