#pragma once

namespace formulas {

// The formula screen, with its inbox: a herb's name shows the formulas that hold it.
void registerFormulaScreens();

} // namespace formulas
