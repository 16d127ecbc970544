// The background screen and the picture window, with the main window they paint.
#include "maintenance/backup_copy.h"
#include "maintenance/backup_restore.h"
#include "maintenance/frmcopy.h"
#include "maintenance/picture_store.h"
#include "screen_fixture.h"
#include "startup/mdiflanx.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "ui/error_box.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QLabel>

namespace {

class BackgroundScreen : public MaintenanceScreen {
protected:
    ~BackgroundScreen() override { Modulanxia::shutdown(); }

    // A picture file of one colour, in the format its name ends with.
    QString picture(const QString &name, const QSize &size, Qt::GlobalColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = home.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QByteArray stored()
    {
        ds::Database db = ds::openDataFile(dataFile);
        return maint::readStoredPicture(db);
    }
    void store(const QString &path)
    {
        ds::Database db = ds::openDataFile(dataFile);
        maint::storePictureFile(db, path);
    }
    const QPixmap preview() const { return control<QLabel>("ImageXt")->pixmap(); }
    void choose(const QString &path)
    {
        dialogs.answerNext(path);
        click("CmdLoad");
    }
    // Starts the program: the main window paints the stored picture as it loads.
    startup::MDIFlanx *start()
    {
        EXPECT_EQ(Modulanxia::Main(), Modulanxia::MainOutcome::Running);
        return programWindow();
    }
    static QColor centre(const QPixmap &pixmap) { return pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 2); }
};

TEST_F(BackgroundScreen, StartsWithTheStoredPictureOrNone)
{
    open("FrmJczl");
    EXPECT_EQ(screen->windowTitle(), "更换系统背景画面");
    EXPECT_EQ(control<QPushButton>("CmdLoad")->text(), "选择图片(&L)");
    EXPECT_EQ(control<QPushButton>("CmdOext")->text(), "确定退出(&O)");
    EXPECT_TRUE(preview().isNull());
    delete screen;

    store(picture("底图.png", {40, 30}, Qt::red));
    open("FrmJczl");
    EXPECT_EQ(preview().size(), QSize(40, 30));
}

TEST_F(BackgroundScreen, AChosenPictureIsStoredWholeAndPaintedOnTheMainWindowAtOnce)
{
    startup::MDIFlanx *main = start();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->backgroundPicture().isNull());
    main->lockMenus();

    const struct {
        const char *file;
        Qt::GlobalColor colour;
    } pictures[] = {{"蓝.bmp", Qt::blue}, {"绿.jpg", Qt::green}, {"红.png", Qt::red}};
    for (const auto &p : pictures) {
        const QString path = picture(p.file, {64, 48}, p.colour);
        open("FrmJczl");
        choose(path);
        EXPECT_EQ(dialogs.requests.last().filter, "图片文件(*.bmp *.jpg *.jpeg *.png)");
        EXPECT_EQ(dialogs.requests.last().folder, home.path());
        EXPECT_EQ(preview().size(), QSize(64, 48)) << p.file;
        click("CmdOext");
        EXPECT_EQ(stored(), readBytes(path)) << p.file;
        EXPECT_EQ(main->backgroundPicture().size(), QSize(64, 48));
        EXPECT_EQ(centre(main->backgroundPicture()).hue(), QColor(p.colour).hue()) << p.file;
        EXPECT_FALSE(screen && screen->isVisible());
    }
    EXPECT_TRUE(recorder.texts().filter("错误").isEmpty());
    EXPECT_TRUE(main->isMenuEnabled("xtwh"));
}

TEST_F(BackgroundScreen, TheStoredPictureIsOnTheMainWindowAtEveryStart)
{
    const QString path = picture("底图.jpg", {80, 60}, Qt::blue);
    store(path);
    startup::MDIFlanx *main = start();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->backgroundPicture().size(), QSize(80, 60));
}

TEST_F(BackgroundScreen, ARestorePutsTheRestoredFilesPictureOnTheMainWindow)
{
    store(picture("备份里的.png", {40, 30}, Qt::blue));
    const QString backup = home.file("备份.mdb");
    maint::backUp(dataFile, backup);
    store(picture("现在的.png", {20, 20}, Qt::red));
    startup::MDIFlanx *main = start();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(main->backgroundPicture().size(), QSize(20, 20));

    maint::Frmcopy::setWaitForTests([](int) {});
    open("Frmcopy");
    QTest::mouseClick(control("Optcove"), Qt::LeftButton, {}, QPoint(5, 5));
    control<QLineEdit>("Txtpath")->setText(backup);
    click("Cmdcopy"); // 是, the default
    maint::Frmcopy::setWaitForTests({});
    EXPECT_EQ(readBytes(dataFile), readBytes(backup));
    EXPECT_EQ(main->backgroundPicture().size(), QSize(40, 30));
    EXPECT_EQ(centre(main->backgroundPicture()).hue(), QColor(Qt::blue).hue());
}

TEST_F(BackgroundScreen, UnreadableEmptyOrVanishedFilesAreRefusedAndTheStoredPictureStays)
{
    const QString kept = picture("原来.png", {20, 20}, Qt::red);
    store(kept);
    open("FrmJczl");

    writeBytes(home.file("不是图片.jpg"), "这只是一段文字，不是图片。");
    choose(home.file("不是图片.jpg"));
    EXPECT_TRUE(lastMessage().contains("不是可以显示的图片")) << lastMessage().toStdString();
    EXPECT_EQ(preview().size(), QSize(20, 20));

    writeBytes(home.file("空.bmp"), {});
    choose(home.file("空.bmp"));
    EXPECT_EQ(lastMessage(), home.file("空.bmp") + "无 内 容 或 不 存 在 !");
    EXPECT_EQ(recorder.last().title, std::nullopt);

    // Cancelling keeps the preview.
    click("CmdLoad");
    EXPECT_EQ(preview().size(), QSize(20, 20));

    // Chosen, then gone before the save: the error box, and the screen stays open.
    const QString gone = picture("会删掉.png", {30, 30}, Qt::green);
    choose(gone);
    QFile::remove(gone);
    click("CmdOext");
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("错误号码：%1\r\n错误内容：").arg(int(ds::ErrorCode::FileNotFound))))
        << lastMessage().toStdString();
    EXPECT_EQ(recorder.last().icon, ui::Icon::Information);
    EXPECT_TRUE(screen->isVisible());

    // Cancelling the dialog then takes the choice back and shows what is stored.
    click("CmdLoad");
    EXPECT_EQ(preview().size(), QSize(20, 20));

    // Chosen, then turned into text before the save: refused as well.
    choose(picture("会变.png", {30, 30}, Qt::green));
    writeBytes(home.file("会变.png"), "不再是图片");
    click("CmdOext");
    EXPECT_TRUE(lastMessage().contains("不是可以显示的图片"));
    EXPECT_TRUE(screen->isVisible());

    // Cancelling lets the user leave, and the stored picture stays.
    const qsizetype messages = recorder.messages.size();
    click("CmdLoad");
    click("CmdOext");
    EXPECT_EQ(recorder.messages.size(), messages);
    EXPECT_FALSE(screen && screen->isVisible());
    EXPECT_EQ(stored(), readBytes(kept));
}

TEST_F(BackgroundScreen, ALargePhotoIsShownAtScreenSizeAndStoredWhole)
{
    // 9000 × 8000: more than the toolkit decodes at its own size by default.
    QImage photo(9000, 8000, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    const QString path = home.file("手机照片.jpg");
    ASSERT_TRUE(photo.save(path, "JPG", 50));
    photo = QImage();
    open("FrmJczl");
    choose(path);
    EXPECT_TRUE(recorder.messages.isEmpty()) << lastMessage().toStdString();
    const QSize screenSize = QGuiApplication::primaryScreen()->size();
    EXPECT_LE(preview().width(), 9000 * screenSize.height() / 8000 + 1);
    EXPECT_GE(preview().height(), screenSize.height());
    click("CmdOext");
    EXPECT_EQ(stored(), readBytes(path));

    // A file whose header promises a picture too large to decode even so is named as such.
    QImage huge(40000, 30000, QImage::Format_Mono);
    huge.fill(0);
    ASSERT_TRUE(huge.save(home.file("太大.png"), "PNG"));
    open("FrmJczl");
    choose(home.file("太大.png"));
    EXPECT_EQ(lastMessage(), "所选图片太大（40000 × 30000 像素），不能显示，请选择小一些的图片。");
}

} // namespace
