#include "ui/file_dialog.h"

#include <QApplication>
#include <QFileDialog>

namespace ui {
namespace {

FileDialogHandler &handler()
{
    static FileDialogHandler instance;
    return instance;
}

QString showReal(const FileDialogRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, request.filter);
    dialog.setAcceptMode(request.mode == FileDialogMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == FileDialogMode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString chooseFile(const FileDialogRequest &request)
{
    if (handler())
        return handler()(request);
    return showReal(request);
}

void setFileDialogHandler(FileDialogHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace ui
