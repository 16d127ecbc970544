#pragma once

#include <QString>

#include <functional>

namespace ui {

enum class FileDialogMode { Open, Save };

// What a file dialog is asked to show. The filter is in the toolkit's form
// ("数据库文件(*.mdb)"); a save dialog adds defaultSuffix to a name typed without one.
struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString title;
    QString folder;
    QString filter;
    QString defaultSuffix;
};

// Every file dialog of the program goes through here: the chosen path, or the empty text
// when the user cancelled.
QString chooseFile(const FileDialogRequest &request);

// Replaces the real dialog (tests answer with a path without a modal loop); an empty handler
// brings the real dialog back.
using FileDialogHandler = std::function<QString(const FileDialogRequest &)>;
void setFileDialogHandler(FileDialogHandler handler);

} // namespace ui
