#include "access/register_access_screens.h"

// Only include-free headers here: see access/screen_factories.h.
#include "access/screen_factories.h"

namespace access {

void registerAccessScreens()
{
    users::registerScreens();
}

} // namespace access
