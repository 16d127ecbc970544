#include "app/screen_registration.h"

#include "access/register_access_screens.h"
#include "herbs/register_herb_screens.h"

void registerScreens()
{
    access::registerAccessScreens();
    herbs::registerHerbScreens();
}
