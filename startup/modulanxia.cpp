#include "startup/modulanxia.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/instance_lock.h"
#include "startup/mdiflanx.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/start_notice.h"
#include "startup/startup_logic.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"

#include <QDir>
#include <QPointer>

#include <memory>

namespace Modulanxia {
namespace {

QPointer<startup::MDIFlanx> &window()
{
    static QPointer<startup::MDIFlanx> instance;
    return instance;
}

std::unique_ptr<startup::InstanceLock> &lock()
{
    static std::unique_ptr<startup::InstanceLock> instance;
    return instance;
}

std::function<void()> &sessionEnd()
{
    static std::function<void()> task;
    return task;
}

void yieldTwice()
{
    ui::yield();
    ui::yield();
}

MainOutcome runChecks(const ds::DataPaths &paths)
{
    ui::setBusyPointer();
    ui::yield();
    startup::requireCipher(ds::cipherVersion());
    if (startup::ensureDataFile(paths) == startup::DataFileState::DataLost) {
        ui::msgBox(QStringLiteral("系统数据丢失，请将原系统卸载，重新安装。"), ui::Icon::Question);
        ui::setNormalPointer();
        return MainOutcome::DataLost;
    }
    yieldTwice();

    if (!window())
        window() = new startup::MDIFlanx;
    startup::setShell(window());
    window()->showMaximized();
    window()->lockMenus();
    startup::setRunMode(startup::kFirstUseMode);
    // What could not be told when the program last ended (a failed automatic backup).
    const QString notice = startup::takeNotice(paths.dataFolder);
    if (!notice.isEmpty())
        ui::msgBox(notice, ui::Icon::Information);

    ui::yield();
    startup::openCheck(paths.dataFile);
    ui::yield();
    // The stored picture is read only once the whole file has been checked.
    window()->loadBackground();

    switch (startup::checkFirstUse(paths.dataFile)) {
    case startup::FirstUseRoad::PasswordSetup:
        ui::msgBox(startup::firstUseNotice(startup::FirstUseRoad::PasswordSetup), ui::Icon::Exclamation);
        startup::showScreen(QStringLiteral("Frmmmwh"));
        break;
    case startup::FirstUseRoad::ClinicSetup:
        ui::msgBox(startup::firstUseNotice(startup::FirstUseRoad::ClinicSetup), ui::Icon::Exclamation);
        startup::showScreen(QStringLiteral("FrmYhzl"));
        break;
    case startup::FirstUseRoad::Normal:
        startup::setRunMode(QString());
        yieldTwice();
        startup::showScreen(QStringLiteral("frmSplash"));
        break;
    }
    ui::setNormalPointer();
    return MainOutcome::Running;
}

} // namespace

MainOutcome Main()
{
    if (!lock())
        lock() = std::make_unique<startup::InstanceLock>(startup::instanceLockPath(QDir::homePath()));
    try {
        if (!lock()->tryAcquire()) {
            ui::msgBox(QStringLiteral("程序已经开始运行"), ui::Icon::Information);
            return MainOutcome::SecondCopy;
        }
        return runChecks(ds::dataPaths());
    } catch (const ds::RunError &error) {
        ui::setNormalPointer();
        if (startup::mendedByRestore(error) && startup::hasScreen(kRecoveryScreen)) {
            const QString question = startup::restoreQuestion(error, ds::dataPaths().dataFile);
            if (ui::msgBox(question, ui::Icon::Question, ui::Buttons::YesNo) != ui::Answer::Yes) {
                ui::msgBox(startup::restoreLaterNotice(), ui::Icon::Information);
                return MainOutcome::Failed;
            }
            return startup::showScreen(kRecoveryScreen) ? MainOutcome::Running : MainOutcome::Failed;
        }
        ui::showErrorBox(error, ui::ErrorBoxForm::SignedNumberLine);
        return MainOutcome::Failed;
    }
}

void restart()
{
    if (Main() != MainOutcome::Running)
        ui::endProgram();
}

void setSessionEnd(std::function<void()> task)
{
    sessionEnd() = std::move(task);
}

void endSession()
{
    if (!sessionEnd())
        return;
    ui::setBusyPointer();
    sessionEnd()();
    ui::setNormalPointer();
}

void shutdown()
{
    if (window()) {
        window()->allowClose();
        window()->close();
        delete window();
    }
    lock().reset();
}

} // namespace Modulanxia
