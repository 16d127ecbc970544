#include "maintenance/register_maintenance_screens.h"

#include "maintenance/frmcopy.h"
#include "startup/screens.h"

namespace maint {

void registerMaintenanceScreens()
{
    startup::registerScreen(QStringLiteral("Frmcopy"), [](QWidget *mainWindow) { return new Frmcopy(mainWindow); });
}

} // namespace maint
