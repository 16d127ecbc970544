#include "ui/input_box.h"

#include <QApplication>
#include <QInputDialog>

namespace ui {
namespace {

TextRequestHandler &handler()
{
    static TextRequestHandler instance;
    return instance;
}

std::optional<QString> showReal(const TextRequest &request)
{
    QInputDialog box(QApplication::activeWindow());
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setWindowTitle(request.title);
    box.setLabelText(request.label);
    box.setTextValue(request.text);
    box.setOkButtonText(QStringLiteral("确定"));
    box.setCancelButtonText(QStringLiteral("取消"));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

} // namespace

std::optional<QString> askText(const TextRequest &request)
{
    if (handler())
        return handler()(request);
    return showReal(request);
}

void setTextRequestHandler(TextRequestHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace ui
