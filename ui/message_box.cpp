#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {
namespace {

MessageHandler &handler()
{
    static MessageHandler instance;
    return instance;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer showReal(const Message &message)
{
    QMessageBox box(QApplication::activeWindow());
    // A box of fixed size that waits for an answer: no minimize or maximize button.
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint);
    box.setIcon(toQt(message.icon));
    box.setWindowTitle(message.title.value_or(QApplication::applicationDisplayName()));
    QString text = message.text;
    box.setText(text.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (message.buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(message.defaultAnswer == Answer::No ? no : yes);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return Answer::Ok;
}

} // namespace

Answer msgBox(const Message &message)
{
    if (handler())
        return handler()(message);
    return showReal(message);
}

Answer msgBox(const QString &text, Icon icon, Buttons buttons, std::optional<QString> title)
{
    return msgBox(Message{text, icon, buttons, std::move(title)});
}

void setMessageHandler(MessageHandler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace ui
