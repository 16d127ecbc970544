#pragma once

#include <QString>

// Something that went wrong where no one could be told (at the program's end), kept in the data
// folder until the next start shows it once.
namespace startup {

// Adds a line to the notice for the next start.
void leaveNotice(const QString &dataFolder, const QString &line);

// The notice left since the last start, removed as it is read; the empty text when none.
QString takeNotice(const QString &dataFolder);

} // namespace startup
