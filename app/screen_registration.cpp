#include "app/screen_registration.h"

#include "access/screen_factories.h"
#include "browse/register_browse_screens.h"
#include "herbs/register_herb_screens.h"
#include "maintenance/register_maintenance_screens.h"

void registerScreens()
{
    users::registerScreens();
    herbs::registerHerbScreens();
    browse::registerBrowseScreens();
    maint::registerMaintenanceScreens();
}
