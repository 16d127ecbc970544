#include "maintenance/frmhfbf.h"

#include "datastore/data_file.h"
#include "maintenance/backup_facts.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_restore.h"
#include "maintenance/off_thread.h"
#include "ui/error_box.h"
#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace maint {
namespace {

QString sizeText(qint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
}

} // namespace

FrmHfbf::FrmHfbf(QWidget *mainWindow)
    : MaintenanceWindow(mainWindow)
    , m_prompt(new QLabel(this))
    , m_list(new QTreeWidget(this))
    , m_restore(new QPushButton(QStringLiteral("恢复数据&R"), this))
    , m_other(new QPushButton(QStringLiteral("选择其他文件…"), this))
    , m_exit(new QPushButton(QStringLiteral("退出&T"), this))
{
    setObjectName(QStringLiteral("FrmHfbf"));
    setWindowTitle(QStringLiteral("从备份恢复数据"));
    ui::fixClientSizeTwips(this, 7110, 3630);
    const QFont songti = ui::chineseFont(QStringLiteral("宋体"), 10.5);
    setFont(songti);

    m_prompt->setObjectName(QStringLiteral("Labts"));
    m_prompt->setWordWrap(true);
    ui::placeTwips(m_prompt, 120, 120, 6870, 600);
    m_list->setObjectName(QStringLiteral("Lstbf"));
    m_list->setHeaderLabels({QStringLiteral("保存时间"), QStringLiteral("药材"), QStringLiteral("大小")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    ui::placeTwips(m_list, 120, 780, 6870, 2160);
    m_restore->setObjectName(QStringLiteral("Cmdhf"));
    ui::placeTwips(m_restore, 120, 3060, 2175, 450);
    m_other->setObjectName(QStringLiteral("CmdPath"));
    ui::placeTwips(m_other, 2460, 3060, 2175, 450);
    m_exit->setObjectName(QStringLiteral("Cmdexit"));
    ui::placeTwips(m_exit, 4800, 3060, 2190, 450);
    setTabOrder(m_list, m_restore);
    setTabOrder(m_restore, m_other);
    setTabOrder(m_other, m_exit);

    // Enter (or a double click) on a backup restores it, as the button does.
    connect(m_list, &QTreeWidget::itemActivated, this, &FrmHfbf::restoreChosen);
    connect(m_restore, &QPushButton::clicked, this, &FrmHfbf::restoreChosen);
    connect(m_other, &QPushButton::clicked, this, &FrmHfbf::chooseOther);
    connect(m_exit, &QPushButton::clicked, this, &FrmHfbf::leave);

    listBackups();
    ui::centreOnMain(this, mainWindow, 3.0);
    m_list->setFocus();
}

void FrmHfbf::listBackups()
{
    for (const KeptFile &backup : keptFiles(ds::dataPaths().dataFile, KeptKind::Automatic)) {
        const std::optional<int> herbs = herbCount(backup.path);
        auto *row = new QTreeWidgetItem(m_list, {backup.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                                 herbs ? QStringLiteral("%1 味").arg(*herbs) : QStringLiteral("不能读取"),
                                                 sizeText(QFileInfo(backup.path).size())});
        row->setData(0, Qt::UserRole, backup.path);
    }
    const bool any = m_list->topLevelItemCount() > 0;
    m_prompt->setText(any ? QStringLiteral("请选择用来恢复数据的备份（最新的在最上面），按“恢复数据”或回车键。损坏的数据文件会另存在备份文件夹里。")
                          : QStringLiteral("没有找到自动备份。请按“选择其他文件…”选择一个备份文件。损坏的数据文件会另存在备份文件夹里。"));
    m_restore->setEnabled(any);
    if (any)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void FrmHfbf::restoreChosen()
{
    if (QTreeWidgetItem *chosen = m_list->currentItem())
        restoreFrom(chosen->data(0, Qt::UserRole).toString());
}

void FrmHfbf::chooseOther()
{
    if (busy())
        return;
    ui::FileDialogRequest request;
    request.mode = ui::FileDialogMode::Open;
    request.folder = backupsFolder(ds::dataPaths().dataFile);
    request.filter = QStringLiteral("数据库文件(*.mdb *.bak)");
    const QString chosen = ui::chooseFile(request).trimmed();
    if (!chosen.isEmpty())
        restoreFrom(chosen);
}

// The window's events run while the restore does: a second restore started meanwhile would
// take the same name for the damaged file and race the first on the journal and the rename.
void FrmHfbf::setWorking(bool working)
{
    setBusy(working);
    m_list->setEnabled(!working);
    m_restore->setEnabled(!working && m_list->topLevelItemCount() > 0);
    m_other->setEnabled(!working);
    m_exit->setEnabled(!working);
}

void FrmHfbf::restoreFrom(const QString &backup)
{
    if (busy())
        return;
    const QString dataFile = ds::dataPaths().dataFile;
    const QString keptAs = newKeptPath(dataFile, KeptKind::Damaged, QDateTime::currentDateTime());
    setWorking(true);
    ui::setBusyPointer();
    std::optional<CopyFailure> failure;
    Restored done;
    runOffWindowThread([&] { failure = runCopy(CopyMode::Restore, dataFile, backup, keptAs, &done); });
    ui::setNormalPointer();
    setWorking(false);
    if (failure) {
        // The data file is as it was; the program ends as it would have without a restore.
        ui::showErrorBox(failure->number, failure->description, ui::ErrorBoxForm::SignedNumberLine);
        close();
        return;
    }
    m_restored = true;
    ui::msgBox(restoredMessage(backup, keptAs, done), done.unsynced.isEmpty() ? ui::Icon::Information : ui::Icon::Exclamation);
    close();
    emit restored();
}

void FrmHfbf::closeEvent(QCloseEvent *event)
{
    // Not the other screens' way out: no menu opens on a damaged file.
    if (busy()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_restored)
        ui::endProgram();
}

} // namespace maint
