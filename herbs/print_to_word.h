#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace herbs {

// Puts the text on the clipboard and hands it to the word processor in a new document set in
// 宋体 11 pt, not bold. When the document cannot be handed over (no word processor, one without
// windows, a file that cannot be written) the message says why and offers the program's own
// print preview of the same text, the clinic's name at the top. Always returns.
void PrintToWord(const QString &text, const QString &clinic = {});

// Removes the documents handed to the word processor so far; runs by itself when the program
// ends (the word processor has read them by then).
void removeHandedDocuments();

// Writes the document PrintToWord hands over (one paragraph per line of the text) to path.
// Throws ds::RunError when the file cannot be written.
void writePrintDocument(const QString &text, const QString &path);

// The word processor's program found on PATH (soffice, libreoffice or lowriter), or empty.
QString findWordProcessor();

// True when the installed word processor can open a window: its program folder holds one of
// its window-system plug-ins. The build without them (the one for converting files on
// servers) would run invisibly and never end, so no document is handed to it.
bool wordProcessorCanShowWindows(const QString &program);

// Starts a program detached from this one; false when it cannot be started. Tests put a
// recorder here so that no word processor window opens.
using ProgramLauncher = std::function<bool(const QString &program, const QStringList &arguments)>;
void setProgramLauncher(ProgramLauncher launcher); // an empty launcher brings the real start back

} // namespace herbs
