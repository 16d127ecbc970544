#include "maintenance/frmcopy.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "maintenance/backup_facts.h"
#include "maintenance/backup_files.h"
#include "maintenance/animation_player.h"
#include "maintenance/off_thread.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/file_dialog.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace maint {
namespace {

constexpr int kWaitMilliseconds = 5000;

Frmcopy::Wait &waitOverride()
{
    static Frmcopy::Wait wait;
    return wait;
}

// Elapsed time on a steady clock, so a wait across midnight ends after its time as well.
void waitLettingEventsRun(int milliseconds)
{
    if (waitOverride()) {
        waitOverride()(milliseconds);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

Frmcopy::Frmcopy(QWidget *mainWindow)
    : MaintenanceWindow(mainWindow)
    , m_path(new QLineEdit(this))
    , m_choose(new QPushButton(QStringLiteral("选择名称及路径"), this))
    , m_save(new QRadioButton(QStringLiteral("备份数据"), this))
    , m_cove(new QRadioButton(QStringLiteral("恢复数据"), this))
    , m_ani(new AnimationPlayer(this))
    , m_copy(new QPushButton(QStringLiteral("保存数据&B"), this))
    , m_exit(new QPushButton(QStringLiteral("退出&T"), this))
{
    setObjectName(QStringLiteral("Frmcopy"));
    setWindowTitle(QStringLiteral("数据备份及数据恢复"));
    ui::fixClientSizeTwips(this, 7110, 1800);

    const QFont songti = ui::chineseFont(QStringLiteral("宋体"), 10.5);
    m_path->setObjectName(QStringLiteral("Txtpath"));
    m_path->setToolTip(QStringLiteral("\"回车选择要保存或要恢复的路径及名称\""));
    m_path->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(192, 192, 255); }"));
    m_path->setFont(songti);
    ui::placeTwips(m_path, 1680, 120, 5055, 375);
    m_choose->setObjectName(QStringLiteral("CmdPath"));
    ui::placeTwips(m_choose, 120, 120, 1455, 375);
    m_save->setObjectName(QStringLiteral("Optsave"));
    m_save->setFont(songti);
    m_save->setChecked(true);
    ui::placeTwips(m_save, 2160, 600, 1335, 375);
    m_cove->setObjectName(QStringLiteral("Optcove"));
    m_cove->setFont(songti);
    ui::placeTwips(m_cove, 4320, 600, 1335, 375);
    m_ani->setObjectName(QStringLiteral("Aniplay"));
    ui::placeTwips(m_ani, 360, 960, 6495, 735);
    m_copy->setObjectName(QStringLiteral("Cmdcopy"));
    m_copy->setFont(songti);
    ui::placeTwips(m_copy, 720, 1200, 2535, 350);
    m_exit->setObjectName(QStringLiteral("Cmdexit"));
    m_exit->setFont(songti);
    ui::placeTwips(m_exit, 3960, 1200, 2535, 350);

    // Tab order by the screen's tab indexes: path, copy, exit, the two modes, path button.
    setTabOrder(m_path, m_copy);
    setTabOrder(m_copy, m_exit);
    setTabOrder(m_exit, m_save);
    setTabOrder(m_save, m_cove);
    setTabOrder(m_cove, m_choose);

    connect(m_save, &QRadioButton::clicked, this, [this] { chooseMode(CopyMode::Backup); });
    connect(m_cove, &QRadioButton::clicked, this, [this] { chooseMode(CopyMode::Restore); });
    connect(m_choose, &QPushButton::clicked, this, &Frmcopy::choosePath);
    // The box's tooltip tells the user that Enter chooses the path.
    connect(m_path, &QLineEdit::returnPressed, this, &Frmcopy::choosePath);
    connect(m_copy, &QPushButton::clicked, this, &Frmcopy::copy);
    connect(m_exit, &QPushButton::clicked, this, &Frmcopy::leave);

    ui::centreOnMain(this, mainWindow, 3.0);
    m_ani->hide();
    ui::setNormalPointer();
    m_path->clear();
}

void Frmcopy::setWaitForTests(Wait wait)
{
    waitOverride() = std::move(wait);
}

CopyMode Frmcopy::mode() const
{
    return m_cove->isChecked() ? CopyMode::Restore : CopyMode::Backup;
}

void Frmcopy::chooseMode(CopyMode mode)
{
    m_path->clear();
    m_choose->setText(QStringLiteral("选择名称及路径"));
    m_copy->setText(mode == CopyMode::Backup ? QStringLiteral("数据备份") : QStringLiteral("数据恢复"));
    m_path->setFocus();
    m_path->selectAll();
}

void Frmcopy::choosePath()
{
    ui::FileDialogRequest request;
    request.mode = mode() == CopyMode::Backup ? ui::FileDialogMode::Save : ui::FileDialogMode::Open;
    // A restore starts where the program keeps its own backups and the files it replaced.
    const QString kept = backupsFolder(ds::dataPaths().dataFile);
    request.folder = mode() == CopyMode::Restore && QFileInfo(kept).isDir() ? kept : QDir::homePath();
    request.filter = QStringLiteral("数据库文件(*.mdb *.bak)");
    request.defaultSuffix = QStringLiteral("mdb");
    ui::yield();
    // Cancelling keeps the path that was there: it is not an error, and it must not bring
    // back a name chosen earlier for the other mode.
    const QString chosen = ui::chooseFile(request).trimmed();
    if (!chosen.isEmpty())
        m_path->setText(chosen);
    ui::yield();
    m_copy->setFocus();
}

void Frmcopy::showButtons()
{
    m_copy->show();
    ui::yield();
    m_exit->show();
    ui::yield();
}

void Frmcopy::copy()
{
    const QString chosen = m_path->text().trimmed();
    if (chosen.isEmpty()) {
        ui::msgBox(QStringLiteral("选择要备份或恢复的文件"));
        m_choose->setFocus();
        return;
    }
    ui::yield();
    m_copy->hide();
    ui::yield();
    m_exit->hide();

    const CopyMode copyMode = mode();
    const QString dataFile = ds::dataPaths().dataFile;
    if (copyMode == CopyMode::Backup && !QFileInfo::exists(dataFile)) {
        ui::msgBox(QStringLiteral("系统数据丢失，不能备份。"), ui::Icon::Information);
        ui::yield();
        showButtons();
        return;
    }

    ui::yield();
    m_ani->show();
    m_ani->setAutoPlay(true);
    m_ani->open(busyClipPath());
    m_ani->play();
    ui::yield();

    // The window stays open until the copy has ended, whatever the user presses meanwhile.
    setBusy(true);
    QString keptAs;
    if (copyMode == CopyMode::Restore && !askBeforeRestore(chosen, dataFile, &keptAs)) {
        endCopy();
        return;
    }
    Restored done;
    const std::optional<CopyFailure> failure = offWindowThread([&] { return runCopy(copyMode, dataFile, chosen, keptAs, &done); });
    if (failure) {
        showFailure(*failure);
        return;
    }
    // The background picture travels with the data file: a restored file brings its own.
    if (copyMode == CopyMode::Restore)
        startup::loadBackground();
    waitment(m_copy, m_exit, m_ani);
    if (copyMode == CopyMode::Backup)
        ui::msgBox(QStringLiteral("数据已经备份到 %1").arg(QDir::toNativeSeparators(chosen)), ui::Icon::Information);
    else
        ui::msgBox(restoredMessage(chosen, keptAs, done), done.unsynced.isEmpty() ? ui::Icon::Information : ui::Icon::Exclamation);
    ui::yield();
    m_path->clear();
    endCopy();
}

std::optional<CopyFailure> Frmcopy::offWindowThread(const std::function<std::optional<CopyFailure>()> &work)
{
    std::optional<CopyFailure> failure;
    runOffWindowThread([&] { failure = work(); });
    ui::yield();
    return failure;
}

bool Frmcopy::askBeforeRestore(const QString &backup, const QString &dataFile, QString *keptAs)
{
    BackupFacts facts;
    std::optional<DataOwner> ours;
    const std::optional<CopyFailure> refused = offWindowThread([&]() -> std::optional<CopyFailure> {
        try {
            facts = inspectBackup(backup);
            ours = dataOwner(dataFile);
        } catch (const ds::RunError &error) {
            return CopyFailure{error.number(), error.description()};
        }
        return std::nullopt;
    });
    if (refused) {
        showFailure(*refused);
        return false;
    }
    *keptAs = newKeptPath(dataFile, KeptKind::BeforeRestore, QDateTime::currentDateTime());
    const QString question = beforeRestoreQuestion(backup, facts, *keptAs, Replaced::DataFile, ours);
    return ui::msgBox(question, ui::Icon::Question, ui::Buttons::YesNo) == ui::Answer::Yes;
}

// A copy that failed: the error box, then the buttons again; the path stays for another try.
void Frmcopy::showFailure(const CopyFailure &failure)
{
    ui::showErrorBox(failure.number, failure.description, ui::ErrorBoxForm::SignedNumberLine);
    ui::yield();
    endCopy();
}

void Frmcopy::endCopy()
{
    setBusy(false);
    m_ani->closeClip();
    ui::yield();
    m_ani->hide();
    ui::yield();
    showButtons();
}

void Frmcopy::waitment(QPushButton *cmd1, QPushButton *cmd2, AnimationPlayer *ani)
{
    cmd1->hide();
    cmd2->hide();
    waitLettingEventsRun(kWaitMilliseconds);
    ani->closeClip();
    ui::yield();
    cmd1->show();
    cmd2->show();
}

} // namespace maint
