#include "herbs/register_herb_screens.h"

namespace herbs {

void registerHerbScreens()
{
}

} // namespace herbs
