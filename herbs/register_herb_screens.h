#pragma once

namespace herbs {
// Registers the herb entry screen with the shell.
void registerHerbScreens();
} // namespace herbs
