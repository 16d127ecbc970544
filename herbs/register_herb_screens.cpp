#include "herbs/register_herb_screens.h"

#include "herbs/frmzyyc.h"
#include "startup/screens.h"

namespace herbs {

void registerHerbScreens()
{
    startup::registerScreen(QStringLiteral("Frmzyyc"), [](QWidget *mainWindow) { return new Frmzyyc(mainWindow); });
}

} // namespace herbs
