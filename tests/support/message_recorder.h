#pragma once

#include "ui/message_box.h"
#include "ui/program.h"

#include <QList>
#include <QQueue>

// Records every message box instead of showing it, answering from a queue (Yes when the queue
// is empty), and records the program's end. Restores the real boxes when it goes away.
class MessageRecorder {
public:
    MessageRecorder()
    {
        ui::setMessageHandler([this](const ui::Message &message) {
            messages.append(message);
            if (message.buttons == ui::Buttons::Ok)
                return ui::Answer::Ok;
            return answers.isEmpty() ? ui::Answer::Yes : answers.dequeue();
        });
        ui::setEndProgramHandler([this] { ++programEnds; });
    }
    ~MessageRecorder()
    {
        ui::setMessageHandler({});
        ui::setEndProgramHandler({});
    }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    void answerNext(ui::Answer answer) { answers.enqueue(answer); }
    QStringList texts() const
    {
        QStringList all;
        for (const ui::Message &message : messages)
            all.append(message.text);
        return all;
    }
    const ui::Message &last() const { return messages.last(); }

    QList<ui::Message> messages;
    QQueue<ui::Answer> answers;
    int programEnds = 0;
};
