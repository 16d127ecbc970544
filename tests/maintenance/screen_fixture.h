#pragma once

#include "file_dialog_recorder.h"
#include "maintenance/register_maintenance_screens.h"
#include "maintenance_fixture.h"
#include "message_recorder.h"
#include "startup/screens.h"
#include "windows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Runs answer on the window find gives, once there is one. A modal window or a menu waits in a
// loop of its own, so it is looked for from a timer started before it opens.
template <typename Find, typename Answer>
void whenShown(QObject *owner, Find find, Answer answer)
{
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, find, answer] {
        if (auto *window = find()) {
            poll->stop();
            poll->deleteLater();
            answer(window);
        }
    });
    poll->start(10);
}

// A data file of its own in a temporary home, every message box and file dialog scripted,
// and the maintenance screens registered. Windows left open by a test are removed after it.
class MaintenanceScreen : public ::testing::Test {
protected:
    MaintenanceScreen() { maint::registerMaintenanceScreens(); }

    ~MaintenanceScreen() override { deleteLeftoverWindows(); }

    QWidget *open(const QString &name)
    {
        screen = startup::showScreen(name);
        EXPECT_NE(screen, nullptr) << name.toStdString();
        return screen;
    }

    template <typename T = QWidget>
    T *control(const QString &name) const
    {
        return namedControl<T>(screen, name);
    }

    void click(const QString &button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }

    QString lastMessage() const { return recorder.messages.isEmpty() ? QString() : recorder.last().text; }

    TempHome home;
    QString dataFile = home.installSeed();
    MessageRecorder recorder;
    FileDialogRecorder dialogs;
    QPointer<QWidget> screen;
};
