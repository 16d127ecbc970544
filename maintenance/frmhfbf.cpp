#include "maintenance/frmhfbf.h"

#include "datastore/data_file.h"
#include "maintenance/backup_facts.h"
#include "maintenance/backup_files.h"
#include "maintenance/backup_restore.h"
#include "maintenance/off_thread.h"
#include "maintenance/recovery_copies.h"
#include "startup/startup_logic.h"
#include "ui/error_box.h"
#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace maint {
namespace {

// The clinic and users the data file held: read from it while that still can be done, else from
// the newest copy listed; nullopt when neither can be read.
std::optional<DataOwner> ownOwner(const QStringList &listed)
{
    if (std::optional<DataOwner> owner = dataOwner(ds::dataPaths().dataFile))
        return owner;
    for (const QString &path : listed) {
        if (std::optional<DataOwner> owner = dataOwner(path))
            return owner;
    }
    return std::nullopt;
}

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
    , m_seed(new QPushButton(QStringLiteral("重新开始…"), this))
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
    m_list->setHeaderLabels({QStringLiteral("种类"), QStringLiteral("保存时间"), QStringLiteral("药材"), QStringLiteral("大小")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    // Each column as wide as its texts, never cut short; the size takes what is left.
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    ui::placeTwips(m_list, 120, 780, 6870, 2160);
    m_restore->setObjectName(QStringLiteral("Cmdhf"));
    ui::placeTwips(m_restore, 120, 3060, 2175, 450);
    // In the restore button's place when there is nothing to restore.
    m_seed->setObjectName(QStringLiteral("CmdSeed"));
    ui::placeTwips(m_seed, 120, 3060, 2175, 450);
    m_other->setObjectName(QStringLiteral("CmdPath"));
    ui::placeTwips(m_other, 2460, 3060, 2175, 450);
    m_exit->setObjectName(QStringLiteral("Cmdexit"));
    ui::placeTwips(m_exit, 4800, 3060, 2190, 450);
    setTabOrder(m_list, m_restore);
    setTabOrder(m_restore, m_seed);
    setTabOrder(m_seed, m_other);
    setTabOrder(m_other, m_exit);

    // Enter (or a double click) on a backup restores it, as the button does.
    connect(m_list, &QTreeWidget::itemActivated, this, &FrmHfbf::restoreChosen);
    connect(m_restore, &QPushButton::clicked, this, &FrmHfbf::restoreChosen);
    connect(m_seed, &QPushButton::clicked, this, &FrmHfbf::startFromSeed);
    connect(m_other, &QPushButton::clicked, this, &FrmHfbf::chooseOther);
    connect(m_exit, &QPushButton::clicked, this, &FrmHfbf::leave);

    listBackups();
    ui::centreOnMain(this, mainWindow, 3.0);
    m_list->setFocus();
}

void FrmHfbf::listBackups()
{
    for (const RecoveryCopy &copy : recoveryCopies(ds::dataPaths().dataFile)) {
        auto *row = new QTreeWidgetItem(m_list, {keptKindCaption(copy.kind), copy.file.savedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                                 copy.herbs ? QStringLiteral("%1 味").arg(*copy.herbs) : QStringLiteral("不能读取"),
                                                 sizeText(QFileInfo(copy.file.path).size())});
        row->setData(0, Qt::UserRole, copy.file.path);
    }
    const bool any = m_list->topLevelItemCount() > 0;
    const bool seed = QFileInfo(ds::dataPaths().seedFile).isFile();
    if (any)
        m_prompt->setText(QStringLiteral("请选择用来恢复数据的备份（最新的在最上面），按“恢复数据”或回车键。损坏的数据文件会另存在备份文件夹里。"));
    else if (seed)
        m_prompt->setText(QStringLiteral("没有找到可以恢复的备份。请按“选择其他文件…”选择一个备份文件，"
                                         "或按“重新开始…”用系统自带的药材表重新开始。"));
    else
        m_prompt->setText(QStringLiteral("没有找到可以恢复的备份。请按“选择其他文件…”选择一个备份文件。损坏的数据文件会另存在备份文件夹里。"));
    m_restore->setVisible(any);
    m_seed->setVisible(!any);
    m_seed->setEnabled(seed);
    if (any)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void FrmHfbf::restoreChosen()
{
    if (QTreeWidgetItem *chosen = m_list->currentItem())
        askThenRestore(chosen->data(0, Qt::UserRole).toString());
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
        askThenRestore(chosen);
}

QStringList FrmHfbf::listedPaths() const
{
    QStringList paths;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        paths.append(m_list->topLevelItem(i)->data(0, Qt::UserRole).toString());
    return paths;
}

// The question 数据备份/恢复 asks; a file that is no whole data file of this system is refused
// before it, and the window stays for another choice.
void FrmHfbf::askThenRestore(const QString &backup)
{
    if (busy())
        return;
    BackupFacts facts;
    std::optional<DataOwner> ours;
    std::optional<ds::RunError> refused;
    const QStringList listed = listedPaths();
    setWorking(true);
    ui::setBusyPointer();
    runOffWindowThread([&] {
        try {
            facts = inspectBackup(backup);
            ours = ownOwner(listed);
        } catch (const ds::RunError &error) {
            refused = error;
        }
    });
    ui::setNormalPointer();
    setWorking(false);
    if (refused) {
        ui::showErrorBox(refused->number(), refused->description(), ui::ErrorBoxForm::SignedNumberLine);
        return;
    }
    const QString keptAs = newKeptPath(ds::dataPaths().dataFile, KeptKind::Damaged, QDateTime::currentDateTime());
    const QString question = beforeRestoreQuestion(backup, facts, keptAs, Replaced::Damaged, ours);
    if (ui::msgBox(question, ui::Icon::Question, ui::Buttons::YesNo) == ui::Answer::Yes)
        restoreFrom(backup, keptAs);
}

void FrmHfbf::startFromSeed()
{
    if (busy())
        return;
    const QString keptAs = newKeptPath(ds::dataPaths().dataFile, KeptKind::Damaged, QDateTime::currentDateTime());
    ui::Message question;
    question.text = QStringLiteral("没有找到可以恢复的备份。要用系统自带的药材表重新开始吗？\r\n"
                                   "损坏的数据文件会另存为 %1，不会删除；以前登录的药材、用户名和门诊资料都不在新的数据里，"
                                   "要重新设置密码和门诊资料。")
                        .arg(QDir::toNativeSeparators(keptAs));
    question.icon = ui::Icon::Question;
    question.buttons = ui::Buttons::YesNo;
    question.defaultAnswer = ui::Answer::No;
    if (ui::msgBox(question) == ui::Answer::Yes)
        restoreFrom(ds::dataPaths().seedFile, keptAs, true);
}

// The window's events run while the restore does: a second restore started meanwhile would
// take the same name for the damaged file and race the first on the journal and the rename.
void FrmHfbf::setWorking(bool working)
{
    setBusy(working);
    m_list->setEnabled(!working);
    m_restore->setEnabled(!working);
    m_seed->setEnabled(!working && QFileInfo(ds::dataPaths().seedFile).isFile());
    m_other->setEnabled(!working);
    m_exit->setEnabled(!working);
}

void FrmHfbf::restoreFrom(const QString &backup, const QString &keptAs, bool fromSeed)
{
    if (busy())
        return;
    const QString dataFile = ds::dataPaths().dataFile;
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
    ui::msgBox(fromSeed ? QStringLiteral("已经用系统自带的药材表重新开始，损坏的数据文件另存为 %1。").arg(QDir::toNativeSeparators(keptAs))
                        : restoredMessage(backup, keptAs, done),
               fromSeed || done.unsynced.isEmpty() ? ui::Icon::Information : ui::Icon::Exclamation);
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
    if (m_restored)
        return;
    ui::msgBox(startup::restoreLaterNotice(), ui::Icon::Information);
    ui::endProgram();
}

} // namespace maint
