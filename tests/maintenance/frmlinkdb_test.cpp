// The import screen and the main window's maintenance commands.
#include "screen_fixture.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "ui/pointer.h"

#include <QAction>
#include <QMenu>

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

TEST_F(ImportScreen, ImportsTheChosenSourceAndSaysHowManyRows)
{
    const QString source = makeFamilySource(home.file("源.mdb"), {herb("新药甲"), herb("新药乙")},
                                            {{"麻黄汤", "麻黄", "发汗", "风寒", "水煎", "伤寒论", "心得"}});
    // An empty path does nothing at all.
    pick("IeAdress");
    EXPECT_TRUE(recorder.messages.isEmpty());

    chooseSource(source);
    EXPECT_EQ(dialogs.requests.last().title, "查找 mdb 数据库");
    EXPECT_EQ(control<QLineEdit>("TxtFile")->text(), source);
    pick("IeAdress");
    EXPECT_EQ(lastMessage(), "已经导入 2 条中医药材数据。");
    EXPECT_TRUE(herbNames(dataFile).contains("新药甲"));
    pick("IeMail");
    EXPECT_EQ(lastMessage(), "已经导入 1 条中医方剂数据。");
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
    EXPECT_TRUE(lastMessage().contains("第 2 行（“新药乙”）")) << lastMessage().toStdString();
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
    for (const char *item : {"BwThing", "TeleDate", "CatchXy", "LinkHzzl", "LinkZdhz"}) {
        recorder.messages.clear();
        pick(item);
        ASSERT_EQ(recorder.messages.size(), 1) << item;
        EXPECT_TRUE(lastMessage().contains(control<QAction>(item)->text())) << item;
        EXPECT_TRUE(lastMessage().contains("不能导入")) << item;
        EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    }
    EXPECT_EQ(readBytes(dataFile), before);
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
    startup::MDIFlanx *main = Modulanxia::mainWindow();
    Modulanxia::UnlockMenus(); // as the first-use screen does when it closes
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
