#pragma once

#include <QString>

#include <functional>

// The program's entry procedure; screens ask the main window through startup/shell.h.
namespace Modulanxia {

enum class MainOutcome {
    Running,    // the main window is up; the program runs on window events
    SecondCopy, // another copy is running: refused
    DataLost,   // data file and seed file both missing
    Failed      // a run-time error during start-up; the error box was shown
};

// The whole start-up sequence. The caller ends the program unless the outcome is Running.
// When the data file is refused as damaged and the user chooses to restore, the recovery
// screen is shown and the outcome is Running; that screen starts the sequence again.
MainOutcome Main();

// The form name under which the recovery screen registers.
inline const QString kRecoveryScreen = QStringLiteral("FrmHfbf");

// The start-up sequence again from the top, once the data file was restored; ends the program
// unless it runs.
void restart();

// Runs once the user has chosen to end the program from the menu, before it ends (the
// automatic backup); what it does must not keep the program from ending.
void setSessionEnd(std::function<void()> task);
void endSession();

// Closes the main window and gives up the instance lock (tests start Main several times).
void shutdown();

} // namespace Modulanxia
