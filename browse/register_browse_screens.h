#pragma once

namespace browse {
// Registers the browse screen with the shell.
void registerBrowseScreens();
} // namespace browse
