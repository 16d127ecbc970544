#pragma once

#include "ui/file_dialog.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Answers every file dialog from a queue of paths (cancel when the queue is empty) and
// records what each dialog was asked to show. Restores the real dialog when it goes away.
class FileDialogRecorder {
public:
    FileDialogRecorder()
    {
        ui::setFileDialogHandler([this](const ui::FileDialogRequest &request) {
            requests.append(request);
            return answers.isEmpty() ? QString() : answers.dequeue();
        });
    }
    ~FileDialogRecorder() { ui::setFileDialogHandler({}); }
    FileDialogRecorder(const FileDialogRecorder &) = delete;
    FileDialogRecorder &operator=(const FileDialogRecorder &) = delete;

    void answerNext(const QString &path) { answers.enqueue(path); }

    QList<ui::FileDialogRequest> requests;
    QQueue<QString> answers;
};
