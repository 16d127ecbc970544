#include "maintenance/frmlinkdb.h"

#include "maintenance/frmdrxz.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "ui/error_box.h"
#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace maint {
namespace {

struct MenuItem {
    const char16_t *name;
    const char16_t *caption;
    const char16_t *missing; // what this version has nothing of, for the items without an import
};

constexpr MenuItem kMenuItems[] = {
    {u"IeAdress", u"导入中医药材数据", nullptr},
    {u"IeMail", u"导入中医方剂数据", nullptr},
    {u"BwThing", u"导入中医成药数据", u"“中医成药”数据"},
    {u"TeleDate", u"导入中医诊断数据", u"“中医诊断”数据"},
    {u"CatchXy", u"导入西药数据", u"“西药”数据"},
    {u"LinkHzzl", u"导入门诊患者资料", u"“门诊患者资料”"},
    {u"LinkZdhz", u"导入患者诊断资料", u"“患者诊断资料”"},
};

// Rows between two repaints of the windows while an import runs.
constexpr int kRowsPerYield = 50;

} // namespace

FrmLinkDb::FrmLinkDb(QWidget *mainWindow)
    : MaintenanceWindow(mainWindow)
    , m_fileName(new QPushButton(QStringLiteral("文件名称&F"), this))
    , m_file(new QLineEdit(this))
    , m_look(new QPushButton(QStringLiteral("导入数据&L"), this))
    , m_qcls(new QPushButton(QStringLiteral("清屏&Q"), this))
    , m_quit(new QPushButton(QStringLiteral("退出&T"), this))
    , m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("FrmLinkDb"));
    setWindowTitle(QStringLiteral("导入数据库"));
    ui::fixClientSizeTwips(this, 8235, 1320);
    m_fileName->setObjectName(QStringLiteral("CmdFileName"));
    ui::placeTwips(m_fileName, 120, 120, 1215, 375);
    m_file->setObjectName(QStringLiteral("TxtFile"));
    m_file->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(192, 192, 255); }"));
    m_file->setFont(ui::chineseFont(QStringLiteral("宋体"), 10.5));
    ui::placeTwips(m_file, 1440, 120, 6615, 375);
    m_look->setObjectName(QStringLiteral("CmdLook"));
    ui::placeTwips(m_look, 240, 720, 2595, 375);
    m_qcls->setObjectName(QStringLiteral("CmdQcls"));
    ui::placeTwips(m_qcls, 2880, 720, 2595, 375);
    m_quit->setObjectName(QStringLiteral("CmdQuit"));
    ui::placeTwips(m_quit, 5640, 720, 2475, 375);
    // Tab goes round as the screen's tab indexes say: quit, clear, import, file box, file
    // button. The round starts at import, the screen's purpose, so Enter at once never leaves.
    setTabOrder(m_look, m_file);
    setTabOrder(m_file, m_fileName);
    setTabOrder(m_fileName, m_quit);
    setTabOrder(m_quit, m_qcls);

    m_menu->setObjectName(QStringLiteral("pupmenu1"));
    for (const MenuItem &item : kMenuItems) {
        QAction *action = m_menu->addAction(QString::fromUtf16(item.caption));
        action->setObjectName(QString::fromUtf16(item.name));
        if (item.missing) {
            const QString missing = QString::fromUtf16(item.missing);
            connect(action, &QAction::triggered, this, [missing] { notAvailable(missing); });
        }
    }
    const QList<QAction *> items = m_menu->actions();
    connect(items[0], &QAction::triggered, this, [this] { import(ImportKind::Herbs); });
    connect(items[1], &QAction::triggered, this, [this] { import(ImportKind::Prescriptions); });

    connect(m_fileName, &QPushButton::clicked, this, &FrmLinkDb::chooseFile);
    // At the button, however it was pressed: from the keyboard the pointer may be anywhere.
    connect(m_look, &QPushButton::clicked, this, [this] { m_menu->popup(m_look->mapToGlobal(QPoint(0, m_look->height()))); });
    connect(m_qcls, &QPushButton::clicked, this, [this] {
        Qpcls();
        m_fileName->setFocus();
    });
    connect(m_quit, &QPushButton::clicked, this, &FrmLinkDb::leave);

    ui::centreOnMain(this, mainWindow, 3.0);
    ui::yield();
    Qpcls();
    m_look->setFocus();
}

void FrmLinkDb::Qpcls()
{
    m_file->clear();
    ui::setNormalPointer();
}

void FrmLinkDb::chooseFile()
{
    ui::FileDialogRequest request;
    request.mode = ui::FileDialogMode::Open;
    request.title = QStringLiteral("查找 mdb 数据库");
    request.folder = QDir::homePath();
    request.filter = QStringLiteral("*.mdb");
    const QString chosen = ui::chooseFile(request);
    ui::yield();
    ui::yield();
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void FrmLinkDb::setButtonsEnabled(bool enabled)
{
    m_look->setEnabled(enabled);
    m_qcls->setEnabled(enabled);
    m_quit->setEnabled(enabled);
}

std::optional<MergePlan> FrmLinkDb::readPlan(ImportKind kind)
{
    ui::BusyPointer busy;
    try {
        return planImport(ds::dataPaths().dataFile, m_file->text(), kind, [](int read) {
            if (read % kRowsPerYield == 0)
                ui::yield();
        });
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::SignedNumberLine);
    }
    return std::nullopt;
}

bool FrmLinkDb::write(ImportKind kind, const MergePlan &plan, const TakenTexts &taken, QString *keptBefore)
{
    ui::BusyPointer busy;
    try {
        *keptBefore = applyImport(ds::dataPaths().dataFile, kind, plan, taken, [](int done) {
            if (done % kRowsPerYield == 0)
                ui::yield();
        });
        return true;
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::SignedNumberLine);
    }
    return false;
}

// Reads the source whole, asks when names meet other contents, then writes in one go.
QString FrmLinkDb::runImport(ImportKind kind)
{
    const std::optional<MergePlan> plan = readPlan(kind);
    if (!plan)
        return {};
    if (plan->sourceRows == 0)
        return QStringLiteral("源文件中没有%1数据，没有导入任何记录。").arg(kindName(kind));
    std::optional<TakenTexts> taken = TakenTexts();
    if (!plan->different.isEmpty())
        taken = askMergeChoice(this, kind, *plan);
    QString keptBefore;
    if (!taken || !write(kind, *plan, *taken, &keptBefore))
        return {};
    return importMessage(kind, *plan, *taken, keptBefore);
}

void FrmLinkDb::import(ImportKind kind)
{
    if (m_file->text().trimmed().isEmpty())
        return;
    setButtonsEnabled(false);
    setBusy(true);
    const QString done = runImport(kind);
    setBusy(false);
    setButtonsEnabled(true);
    if (!done.isEmpty())
        ui::msgBox(done, ui::Icon::Information);
}

void FrmLinkDb::notAvailable(const QString &missing)
{
    ui::msgBox(QStringLiteral("这一版本没有%1，不能导入。").arg(missing), ui::Icon::Information);
}

} // namespace maint
