#pragma once

// Registers every screen of the system with the shell, so menu commands and start-up can
// open them by their form names, and the task that runs when a session ends.
void registerScreens();
