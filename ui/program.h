#pragma once

#include <functional>

namespace ui {

// Ends the program (after the exit question, the login's cancel or refusal). Tests replace it
// to see that the program would have ended.
void endProgram();
void setEndProgramHandler(std::function<void()> handler);
bool isEnding();

} // namespace ui
