#include "app/screen_registration.h"

void registerScreens()
{
}
