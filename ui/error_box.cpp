#include "ui/error_box.h"

#include "datastore/errors.h"

namespace ui {

QString errorBoxText(int number, const QString &description, ErrorBoxForm form)
{
    const QString crlf = QStringLiteral("\r\n");
    QString numberText = QString::number(number);
    QString gap;
    switch (form) {
    case ErrorBoxForm::SignedNumberLine:
        if (number >= 0)
            numberText.prepend(QLatin1Char(' '));
        gap = crlf;
        break;
    case ErrorBoxForm::RunOnInformation:
        break;
    case ErrorBoxForm::LineInformation:
    case ErrorBoxForm::LineExclamation:
        gap = crlf;
        break;
    case ErrorBoxForm::TwoLines:
    case ErrorBoxForm::TwoLinesInformation:
        gap = crlf + crlf;
        break;
    }
    return QStringLiteral("错误号码：") + numberText + gap + QStringLiteral("错误内容：") + description;
}

Icon errorBoxIcon(ErrorBoxForm form)
{
    switch (form) {
    case ErrorBoxForm::RunOnInformation:
    case ErrorBoxForm::LineInformation:
    case ErrorBoxForm::TwoLinesInformation:
        return Icon::Information;
    case ErrorBoxForm::LineExclamation:
        return Icon::Exclamation;
    case ErrorBoxForm::SignedNumberLine:
    case ErrorBoxForm::TwoLines:
        break;
    }
    return Icon::None;
}

void showErrorBox(int number, const QString &description, ErrorBoxForm form)
{
    msgBox(errorBoxText(number, description, form), errorBoxIcon(form));
}

void showErrorBox(const ds::RunError &error, ErrorBoxForm form)
{
    showErrorBox(error.number(), error.description(), form);
}

void showErrorDescription(const ds::RunError &error)
{
    msgBox(error.description(), Icon::Information);
}

} // namespace ui
