#include "browse/register_browse_screens.h"

#include "browse/frmzyll.h"
#include "startup/screens.h"

namespace browse {

void registerBrowseScreens()
{
    startup::registerScreen(QStringLiteral("Frmzyll"), [](QWidget *mainWindow) { return new Frmzyll(mainWindow); });
}

} // namespace browse
