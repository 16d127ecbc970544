#pragma once

#include "access/clinic_record.h"
#include "access/password_record.h"
#include "access/screen_factories.h"
#include "datastore/data_file.h"
#include "message_recorder.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "temp_data.h"
#include "windows.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// A data file of its own in a temporary home, every message box recorded, and the screens of
// this subsystem registered. Windows left open by a test are removed after it.
class AccessTest : public ::testing::Test {
protected:
    AccessTest()
    {
        users::registerScreens();
        startup::setRunMode(QString());
    }

    ~AccessTest() override
    {
        Modulanxia::shutdown();
        deleteLeftoverWindows();
    }

    // The one visible window of that name, or nullptr.
    static QWidget *openWindow(const QString &name)
    {
        QWidget *found = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == name && window->isVisible()) {
                EXPECT_EQ(found, nullptr) << "two windows named " << name.toStdString();
                found = window;
            }
        }
        return found;
    }

    template <typename T>
    static T *control(QWidget *window, const QString &name)
    {
        return namedControl<T>(window, name);
    }

    // Types into a box of an active window, as a user at the keyboard does (completion and
    // the like only act on a box that has the focus).
    static void typeInto(QWidget *window, QWidget *box, const QString &text)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        box->setFocus();
        QTest::keyClicks(box, text);
    }

    static void click(QWidget *window, const QString &button)
    {
        QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
    }

    void addUser(const QString &name, const QString &password)
    {
        ds::Database db = ds::openDataFile(dataFile);
        users::savePassword(db, name, password);
    }

    void addClinic(const QString &unit, const QString &address, const QString &telephone, const QString &user)
    {
        ds::Database db = ds::openDataFile(dataFile);
        users::saveClinic(db, users::ClinicInfo{{unit, address, telephone, user}});
    }

    // A data file past its first use: the user 王医生 and the clinic's details.
    void addUserAndClinic()
    {
        addUser(QStringLiteral("王医生"), QStringLiteral("abcd1234"));
        addClinic(QStringLiteral("澄川中医门诊部"), QStringLiteral("澄川市杏林路8号"), QStringLiteral("5550123"),
                  QStringLiteral("王医生"));
    }

    // Every row of a table, each as its texts in column order (Null as "<null>").
    QList<QStringList> rows(const QString &table) const
    {
        ds::Database db = ds::openDataFile(dataFile);
        ds::Dynaset result = db.openDynaset(QStringLiteral("SELECT * FROM ") + table);
        QList<QStringList> all;
        for (result.moveFirst(); !result.eof(); result.moveNext()) {
            QStringList row;
            for (int i = 0; i < result.fieldCount(); ++i)
                row.append(result.isNull(i) ? QStringLiteral("<null>") : result.text(i));
            all.append(row);
        }
        return all;
    }

    QStringList storedQueries() const
    {
        ds::Database db = ds::openDataFile(dataFile);
        return db.queryNames();
    }

    // Makes every insert into the table fail, as a full disk or a damaged file would.
    void refuseInsertsInto(const QString &table)
    {
        ds::Database db = ds::openDataFile(dataFile);
        db.execute(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, '磁盘已满'); END")
                       .arg(table));
    }

    TempHome home;
    QString dataFile = home.installSeed();
    MessageRecorder recorder;
};
