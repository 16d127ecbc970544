#include "maintenance/register_maintenance_screens.h"

#include "maintenance/frmcopy.h"
#include "maintenance/frmjczl.h"
#include "maintenance/frmlinkdb.h"
#include "maintenance/frmpict.h"
#include "startup/screens.h"

namespace maint {

void registerMaintenanceScreens()
{
    startup::registerScreen(QStringLiteral("Frmcopy"), [](QWidget *mainWindow) { return new Frmcopy(mainWindow); });
    startup::registerScreen(QStringLiteral("FrmJczl"), [](QWidget *mainWindow) { return new FrmJczl(mainWindow); });
    startup::registerScreen(QStringLiteral("FrmLinkDb"), [](QWidget *mainWindow) { return new FrmLinkDb(mainWindow); });
    startup::registerScreen(QStringLiteral("FrmPict"), [](QWidget *mainWindow) { return new FrmPict(mainWindow); });
}

} // namespace maint
