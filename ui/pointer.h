#pragma once

namespace ui {

// The screen's mouse pointer: busy (arrow with hourglass) while a command runs. A command may
// set it busy and a screen opened by it set it back, so both halves are offered apart.
void setBusyPointer();
void setNormalPointer();
bool isPointerBusy();

// Busy for as long as the guard lives; every way out of a handler restores the arrow.
class BusyPointer {
public:
    BusyPointer() { setBusyPointer(); }
    ~BusyPointer() { setNormalPointer(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

// Lets the windows process pending events (painting) before the next slow step.
void yield();

} // namespace ui
