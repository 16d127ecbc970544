#pragma once

#include <QString>

namespace maint {

// Copies source into a new temporary file in the folder of target and flushes it to the
// disk; the temporary file's path. On any failure nothing is left behind and a RunError
// names the file that could not be read or written.
QString copyToTempBeside(const QString &source, const QString &target);

// Puts a finished temporary file in target's place in one step (rename) and flushes the
// folder, so target is either the old file or the new one, never half of each. On failure
// the temporary file is removed and target stays as it was.
void replaceWithTemp(const QString &temp, const QString &target);

// Removes a temporary file that is no longer wanted.
void discardTemp(const QString &temp);

} // namespace maint
