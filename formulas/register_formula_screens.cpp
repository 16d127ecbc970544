#include "formulas/register_formula_screens.h"

#include "formulas/frmfjcx.h"
#include "startup/screens.h"

namespace formulas {

void registerFormulaScreens()
{
    startup::registerScreen(QStringLiteral("Frmfjcx"), [](QWidget *mainWindow) { return new Frmfjcx(mainWindow); });
    startup::registerInbox(QStringLiteral("Frmfjcx"), [](QWidget *screen, const QString &herb) {
        if (auto *formulaScreen = qobject_cast<Frmfjcx *>(screen))
            formulaScreen->showFormulasHolding(herb);
    });
}

} // namespace formulas
