#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace ui {

enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// What a message box shows. A title of nullopt shows the application's own title; the boxes of
// the system mostly pass an empty title.
struct Message {
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    std::optional<QString> title = QString();
    // The button Enter presses; 否 where the question would drop or add something on a Yes.
    Answer defaultAnswer = Answer::Yes;
};

// Every message box of the program goes through here.
Answer msgBox(const Message &message);
Answer msgBox(const QString &text, Icon icon = Icon::None, Buttons buttons = Buttons::Ok,
              std::optional<QString> title = QString());

// Replaces the real box (tests record the message and answer without a modal loop);
// an empty handler brings the real box back.
using MessageHandler = std::function<Answer(const Message &)>;
void setMessageHandler(MessageHandler handler);

} // namespace ui
