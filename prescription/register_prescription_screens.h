#pragma once

namespace rx {

// Registers the prescription pad "Frmkcf" with the shell, and its inbox: the text another
// screen hands it (a formula's composition, a herb's name).
void registerPrescriptionScreens();

} // namespace rx
