#include "prescription/register_prescription_screens.h"

#include "prescription/frmkcf.h"
#include "startup/screens.h"

namespace rx {

void registerPrescriptionScreens()
{
    const QString name = QStringLiteral("Frmkcf");
    startup::registerScreen(name, [](QWidget *mainWindow) { return new Frmkcf(mainWindow); });
    startup::registerInbox(name, [](QWidget *screen, const QString &text) {
        if (auto *pad = qobject_cast<Frmkcf *>(screen))
            pad->receive(text);
    });
}

} // namespace rx
