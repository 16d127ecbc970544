#pragma once

class QWidget;

namespace startup {
class MDIFlanx;
}

// The program's entry procedure and the menu lock that every screen uses.
namespace Modulanxia {

enum class MainOutcome {
    Running,    // the main window is up; the program runs on window events
    SecondCopy, // another copy is running: refused
    DataLost,   // data file and seed file both missing
    Failed      // a run-time error during start-up; the error box was shown
};

// The whole start-up sequence. The caller ends the program unless the outcome is Running.
MainOutcome Main();

void LockMenus();
void UnlockMenus();

// The main window once Main has shown it; nullptr before.
startup::MDIFlanx *mainWindow();

// Closes the main window and gives up the instance lock (tests start Main several times).
void shutdown();

} // namespace Modulanxia
