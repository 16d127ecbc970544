#include "browse/register_browse_screens.h"

#include "browse/frmzyll.h"
#include "datastore/data_file.h"
#include "dictionaries/build_dictionaries.h"
#include "startup/frmjdys.h"
#include "startup/screens.h"
#include "ui/pointer.h"

namespace browse {

void registerBrowseScreens()
{
    // The query screen's pick-lists come from the dictionaries: its menu command rebuilds them
    // from the herb texts as they stand now, with the progress window up meanwhile (it unloads
    // itself at the end), and then opens the screen.
    startup::registerScreen(
        QStringLiteral("Frmzyll"), [](QWidget *mainWindow) { return new Frmzyll(mainWindow); },
        [](QWidget *mainWindow) {
            dict::BuildDictionaries(ds::dataPaths().dataFile, *new startup::Frmjdys(mainWindow), ui::yield);
        });
}

} // namespace browse
