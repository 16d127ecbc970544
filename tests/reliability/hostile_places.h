#pragma once

#include "file_dialog_recorder.h"
#include "message_recorder.h"
#include "qstring_printer.h"
#include "startup/screens.h"
#include "temp_data.h"
#include "windows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QTest>
#include <QVariantList>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace hostile {

struct Input {
    enum Kind { Plain, AtLimit, PastLimit, Huge };
    QString label;
    QString text;
    Kind kind = Plain;
};

// The schema (names and SQL of every table, index and view but the scratch queries) and every
// row of every table.
struct FileState {
    QStringList schema;
    QMap<QString, QList<QVariantList>> rows; // table -> its rows (Null an invalid QVariant)
};

// What a press did to one table: the rows it took out and the rows it put in.
struct TableChange {
    QList<QVariantList> removed;
    QList<QVariantList> added;
    bool isEmpty() const { return removed.isEmpty() && added.isEmpty(); }
};

// A row as one text that tells Null, texts and bytes apart.
QString rowKey(const QVariantList &row);
// A row for a failure message: control characters and surrogates shown as escapes.
QString describeRow(const QVariantList &row);

class HostileFixture;

// One box (or several that get the same text) of one screen, the button that stores or searches
// with it, and how to tell that what the file holds afterwards is right.
struct Place {
    QString label;
    const char *screen;
    std::vector<const char *> boxes; // get the hostile text
    const char *press;               // a button, a menu action, or a box that gets Enter
    int limit = 0;                   // the boxes' typing limit
    bool limitInBytes = false;       // of code page 936; else in characters
    bool huge = false;               // gets the 1 MB text too
    const char *table = nullptr;     // the one table the press may change
    std::vector<const char *> fields; // read just before the press, for the read-back
    // Sets the screen's other boxes (or a source file) before the text goes in.
    std::function<void(HostileFixture &, QWidget *, const QString &input)> prepare;
    // What is wrong with the change the press made to `table`, given the fields as they were
    // before the press; empty when all is right.
    std::function<QString(HostileFixture &, const QStringList &fields, const TableChange &)> readBack;
    // What is wrong with the screen after the press (a login that let the text in); empty when
    // all is right.
    std::function<QString()> afterPress;
};

std::vector<Place> allPlaces();

// A box's text as its screen stores it: a text box's line breaks as CR LF.
QString boxText(QWidget *box);

struct Attempt {
    const Place &place;
    const Input &input;
    QStringList &failures;
    void fail(const QString &why) const;
};

class HostileFixture : public ::testing::Test {
public:
    TempHome home;
    QString dataFile = keepOnlyFirstHerbs(home.installSeed());
    QString baselineFile = home.file(QStringLiteral("baseline.mdb"));
    MessageRecorder recorder;
    FileDialogRecorder dialogs;
    QVariantList sourceRow; // the row of the import source file, as that file holds it

    HostileFixture();
    ~HostileFixture() override;

    void restoreDataFile() const;
    FileState stateOf(const QString &path) const;
    void checkLimit(const Attempt &run, const QStringList &held) const;
    // True when the press stored what it should.
    bool checkAfter(const Attempt &run, const FileState &baseline, const QStringList &fields);
    static void press(QWidget *screen, const char *name);
};

} // namespace hostile
