#pragma once

#include "datastore/data_file.h"
#include "herbs/frmzyyc.h"
#include "herbs/register_herb_screens.h"
#include "startup/screens.h"
#include "message_recorder.h"
#include "windows.h"
#include "qstring_printer.h"
#include "temp_data.h"
#include "typing.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// The entry screen on a fresh copy of the seed holding the first twelve herbs, shown and
// active, with every message recorded.
class EntryScreen : public ::testing::Test {
protected:
    TempHome home;
    QString dataFile = keepOnlyFirstHerbs(home.installSeed());
    MessageRecorder messages;
    QPointer<herbs::Frmzyyc> screen;

    void SetUp() override { open(); }
    void TearDown() override { delete screen.data(); }

    // As the menu opens it, with the keys every screen answers (Esc, F1).
    void open()
    {
        herbs::registerHerbScreens();
        screen = qobject_cast<herbs::Frmzyyc *>(startup::showScreen(QStringLiteral("Frmzyyc")));
        ASSERT_TRUE(screen);
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    }

    template <typename T> T *child(const char *name) const { return namedControl<T>(screen, QLatin1String(name)); }
    QLineEdit *name() const { return child<QLineEdit>("Txtycmc"); }
    QComboBox *combo(const char *objectName) const { return child<QComboBox>(objectName); }
    QPlainTextEdit *box(const char *objectName) const { return child<QPlainTextEdit>(objectName); }
    QPushButton *button(const char *objectName) const { return child<QPushButton>(objectName); }
    QListView *list() const { return child<QListView>("Listycmc"); }
    QString countLine() const { return child<QLabel>("Labycsl")->text(); }
    QString status() const { return child<QLabel>("Labzt")->text(); }

    static void type(QWidget *widget, const QString &text) { typeText(widget, text); }
    void click(const char *objectName) { QTest::mouseClick(button(objectName), Qt::LeftButton); }
    void enter(QWidget *widget) { QTest::keyClick(widget, Qt::Key_Return); }
    static bool focused(QWidget *widget)
    {
        auto *combo = qobject_cast<QComboBox *>(widget);
        return widget->hasFocus() || (combo && combo->lineEdit()->hasFocus());
    }

    // Fills the eight field controls in column order.
    void fill(const QStringList &texts)
    {
        name()->setText(texts.value(0));
        combo("Cboycgj")->setEditText(texts.value(1));
        combo("Cboycxw")->setEditText(texts.value(2));
        box("Txtycgy")->setPlainText(texts.value(3));
        box("Txtyczz")->setPlainText(texts.value(4));
        box("Txtycyf")->setPlainText(texts.value(5));
        box("Txtycyj")->setPlainText(texts.value(6));
        box("Txtycgb")->setPlainText(texts.value(7));
    }
    QStringList shown() const
    {
        return {name()->text(),
                combo("Cboycgj")->currentText(),
                combo("Cboycxw")->currentText(),
                box("Txtycgy")->toPlainText(),
                box("Txtyczz")->toPlainText(),
                box("Txtycyf")->toPlainText(),
                box("Txtycyj")->toPlainText(),
                box("Txtycgb")->toPlainText()};
    }
    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            names.append(list()->model()->index(row, 0).data().toString());
        return names;
    }
    void clickListEntry(const QString &text)
    {
        const QModelIndexList items = list()->model()->match(list()->model()->index(0, 0), Qt::DisplayRole, text, 1,
                                                             Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << text.toStdString();
        list()->scrollTo(items.first());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(items.first()).center());
    }
    int storedCount() const
    {
        ds::Database db = ds::openDataFile();
        return db.openDynaset("select count(*) FROM 中医药材").field(0).toInt();
    }
};
