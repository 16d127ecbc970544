#pragma once

namespace browse {
// Registers the browse screen with the shell, with its menu command's dictionary rebuild.
void registerBrowseScreens();
} // namespace browse
