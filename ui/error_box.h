#pragma once

#include "ui/message_box.h"

#include <QString>

namespace ds {
class RunError;
}

namespace ui {

// The forms of the error box; each error trap keeps its own.
enum class ErrorBoxForm {
    SignedNumberLine, // " 3024" (a space where a minus would stand), one line break, no icon
    RunOnInformation, // number and description in one line, information icon
    LineInformation,  // one line break, information icon
    LineExclamation,  // one line break, exclamation icon
    TwoLines,         // two line breaks, no icon
    TwoLinesInformation,
};

QString errorBoxText(int number, const QString &description, ErrorBoxForm form);
Icon errorBoxIcon(ErrorBoxForm form);

// Shows the error box: OK button, empty title.
void showErrorBox(int number, const QString &description, ErrorBoxForm form);
void showErrorBox(const ds::RunError &error, ErrorBoxForm form);

// The traps that show the description alone: information icon, empty title.
void showErrorDescription(const ds::RunError &error);

} // namespace ui
