#pragma once

namespace access {
// Registers the login, password and clinic screens (and the splash and about box) with the shell.
void registerAccessScreens();
} // namespace access
