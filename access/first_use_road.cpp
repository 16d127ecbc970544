#include "access/first_use_road.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "startup/startup_logic.h"
#include "ui/error_box.h"
#include "ui/message_box.h"

namespace users {

void afterSetUpScreen()
{
    if (startup::runMode() == startup::kFirstUseMode && startup::showScreen(QStringLiteral("frmLogin")))
        return;
    startup::unlockMenus();
}

bool openClinicAtFirstLogin()
{
    if (startup::runMode() != startup::kFirstUseMode)
        return false;
    startup::setRunMode(QString());
    try {
        if (startup::checkFirstUse(ds::dataPaths().dataFile) != startup::FirstUseRoad::ClinicSetup)
            return false;
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        return false;
    }
    ui::msgBox(startup::firstUseNotice(startup::FirstUseRoad::ClinicSetup), ui::Icon::Exclamation);
    return startup::showScreen(QStringLiteral("FrmYhzl")) != nullptr;
}

} // namespace users
