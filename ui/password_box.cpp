#include "ui/password_box.h"

#include <QLineEdit>

namespace ui {

void makePasswordBox(QLineEdit *box, int maxLength)
{
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(maxLength);
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

} // namespace ui
