#include "app/screen_registration.h"

#include "access/screen_factories.h"
#include "herbs/register_herb_screens.h"
#include "maintenance/register_maintenance_screens.h"

void registerScreens()
{
    users::registerScreens();
    herbs::registerHerbScreens();
    maint::registerMaintenanceScreens();
}
