#include "access/register_access_screens.h"

namespace access {

void registerAccessScreens()
{
}

} // namespace access
