#include "maintenance/frmjczl.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/picture_image.h"
#include "maintenance/picture_store.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace maint {
namespace {

const QString kUnreadable = QStringLiteral("所选文件不是可以显示的图片（请选择 BMP、JPEG 或 PNG 图片），没有选用。");

// A picture the toolkit knows but cannot decode even at the screen's size.
QString tooLargeToShow(const QSize &size)
{
    return QStringLiteral("所选图片太大（%1 × %2 像素），不能显示，请选择小一些的图片。").arg(size.width()).arg(size.height());
}

void showEmptyFile(const QString &path)
{
    ui::msgBox(emptyPictureMessage(path), ui::Icon::None, ui::Buttons::Ok, std::nullopt);
}

} // namespace

FrmJczl::FrmJczl(QWidget *mainWindow)
    : MaintenanceWindow(mainWindow)
    , m_image(new QLabel(this))
    , m_load(new QPushButton(QStringLiteral("选择图片(&L)"), this))
    , m_oext(new QPushButton(QStringLiteral("确定退出(&O)"), this))
{
    setObjectName(QStringLiteral("FrmJczl"));
    setWindowTitle(QStringLiteral("更换系统背景画面"));
    ui::fixClientSizeTwips(this, 9705, 6630);
    m_image->setObjectName(QStringLiteral("ImageXt"));
    m_image->setScaledContents(true);
    m_image->setFrameShape(QFrame::Box);
    ui::placeTwips(m_image, 120, 120, 9495, 5775);
    m_load->setObjectName(QStringLiteral("CmdLoad"));
    ui::placeTwips(m_load, 1200, 6120, 3000, 375);
    m_oext->setObjectName(QStringLiteral("CmdOext"));
    ui::placeTwips(m_oext, 5880, 6120, 3000, 375);
    setTabOrder(m_load, m_oext);
    connect(m_load, &QPushButton::clicked, this, &FrmJczl::choosePicture);
    connect(m_oext, &QPushButton::clicked, this, &FrmJczl::saveAndLeave);

    ui::centreOnMain(this, mainWindow, 0, 0);
    showPreview(storedBackground());
    ui::setNormalPointer();
}

void FrmJczl::showPreview(const QPixmap &picture)
{
    m_preview = picture;
    m_image->setPixmap(picture);
}

void FrmJczl::choosePicture()
{
    ui::FileDialogRequest request;
    request.mode = ui::FileDialogMode::Open;
    request.folder = QDir::homePath();
    request.filter = QStringLiteral("图片文件(*.bmp *.jpg *.jpeg *.png)");
    const QString chosen = ui::chooseFile(request);
    // Cancelling takes back the choice (also one whose file has gone since, so the screen
    // can be left) and shows again what is stored: the background never goes blank by it.
    if (chosen.isEmpty()) {
        m_chosen.clear();
        try {
            showPreview(storedBackground());
        } catch (const ds::RunError &error) {
            ui::showErrorBox(error, ui::ErrorBoxForm::LineInformation);
        }
        return;
    }
    if (QFileInfo(chosen).size() == 0) {
        showEmptyFile(chosen);
        return;
    }
    QSize dimensions;
    const QPixmap picture = pictureFromFile(chosen, &dimensions);
    if (picture.isNull()) {
        ui::msgBox(dimensions.isValid() ? tooLargeToShow(dimensions) : kUnreadable, ui::Icon::Information);
        return;
    }
    m_chosen = chosen;
    showPreview(picture);
}

// Stores the chosen file; false when the screen must stay open.
bool FrmJczl::storeChosen()
{
    if (m_chosen.isEmpty())
        return true;
    // The file may have changed since it was chosen: what is stored must still be a picture.
    if (QFileInfo(m_chosen).isFile() && QFileInfo(m_chosen).size() > 0 && pictureFromFile(m_chosen).isNull()) {
        ui::msgBox(kUnreadable, ui::Icon::Information);
        return false;
    }
    try {
        ds::Database db = ds::openDataFile();
        if (storePictureFile(db, m_chosen) == StoreResult::EmptyFile) {
            showEmptyFile(m_chosen);
            // Nothing was stored, so the main window keeps showing what is stored.
            db.close();
            showPreview(storedBackground());
        }
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::LineInformation);
        return false;
    }
    return true;
}

void FrmJczl::saveAndLeave()
{
    if (!storeChosen())
        return;
    startup::setBackgroundPicture(m_preview);
    ui::yield();
    leave();
}

} // namespace maint
