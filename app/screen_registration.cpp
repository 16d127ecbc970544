#include "app/screen_registration.h"

#include "access/screen_factories.h"
#include "browse/register_browse_screens.h"
#include "datastore/data_file.h"
#include "formulas/register_formula_screens.h"
#include "herbs/register_herb_screens.h"
#include "maintenance/auto_backup.h"
#include "maintenance/frmhfbf.h"
#include "maintenance/register_maintenance_screens.h"
#include "prescription/register_prescription_screens.h"
#include "startup/modulanxia.h"
#include "startup/screens.h"

#include <QDateTime>

void registerScreens()
{
    users::registerScreens();
    herbs::registerHerbScreens();
    browse::registerBrowseScreens();
    formulas::registerFormulaScreens();
    maint::registerMaintenanceScreens();
    rx::registerPrescriptionScreens();
    // Start-up opens the recovery window by name when it refused a damaged data file and begins
    // again once a backup is restored; the end of a session makes the day's automatic backup.
    startup::registerScreen(Modulanxia::kRecoveryScreen, [](QWidget *mainWindow) {
        auto *recovery = new maint::FrmHfbf(mainWindow);
        QObject::connect(recovery, &maint::FrmHfbf::restored, &Modulanxia::restart);
        return recovery;
    });
    Modulanxia::setSessionEnd([] { maint::autoBackUpAtExit(ds::dataPaths().dataFile, QDateTime::currentDateTime()); });
}
