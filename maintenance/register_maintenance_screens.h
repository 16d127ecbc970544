#pragma once

namespace maint {
// Registers the backup, import and background screens and the picture window with the shell.
void registerMaintenanceScreens();
} // namespace maint
