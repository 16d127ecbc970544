// Hostile texts pasted and typed into every box of every screen that stores or searches, the box's button
// pressed, and the data file read back: one input table, one place table, one loop.
#include "hostile_places.h"

#include "access/screen_factories.h"
#include "browse/register_browse_screens.h"
#include "herbs/register_herb_screens.h"
#include "maintenance/register_maintenance_screens.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QGuiApplication>

#include <cstdio>

namespace {

using namespace hostile;

// The texts every box gets. Limits and the 1 MB text are added per place (inputsFor).
QList<Input> fixedInputs()
{
    const auto u = [](std::initializer_list<char16_t> units) {
        return QString(reinterpret_cast<const QChar *>(units.begin()), qsizetype(units.size()));
    };
    return {
        {"quote", "'"},
        {"two quotes", "''"},
        {"quote comment", "'--"},
        {"always true", "' or '1'='1"},
        {"drop table", "; DROP TABLE 中医药材; --"},
        {"closing drop", "'); DROP TABLE 密码表; --"},
        {"double quote", "\"人参\""},
        {"percent", "%"},
        {"underscore", "_"},
        {"star", "*"},
        {"question mark", "?"},
        {"hash", "#"},
        {"open bracket", "["},
        {"close bracket", "]"},
        {"negated class", "[!a]"},
        {"backslash", "\\"},
        {"backslash quote", "甘\\'草\\\\"},
        {"nul", u({u'甘', 0, u'草'})},
        {"control characters", u({u'\t', 1, 0x1b, 0x7f, u'\b', u'甘'})},
        {"lone cr", "甘\r草\r\r"},
        {"line breaks", "\r\n\r\n甘\n\r\n"},
        {"lone high surrogate", u({u'甘', 0xD800, u'草'})},
        {"lone low surrogate", u({0xDC00, u'甘'})},
        {"byte order mark", u({0xFEFF, u'人', u'参'})},
        {"right to left", u({0x200F, u'人', u'参', 0x202E, u'甘'})},
        {"only spaces", "   "},
        {"full-width punctuation", "＇；－－　％"},
        {"placeholders", "%1%2'%3"},
        {"dots", "..\\."},
    };
}

// A text of exactly `units` units of the limit: Chinese characters (two bytes each) for a
// byte limit, with an ASCII one first where the count is odd.
QString fill(int units, bool bytes)
{
    if (!bytes)
        return QString(units, QChar(u'药'));
    return QString(units % 2, QLatin1Char('a')) + QString(units / 2, QChar(u'药'));
}

QList<Input> inputsFor(const Place &place)
{
    QList<Input> inputs = fixedInputs();
    if (place.limit > 0) {
        inputs.append({"at the limit", fill(place.limit, place.limitInBytes), Input::AtLimit});
        inputs.append({"one past the limit", fill(place.limit, place.limitInBytes) + "a", Input::PastLimit});
        // One byte short, then a Chinese character: half of it would pass the limit.
        inputs.append({"straddling the limit", fill(place.limit - 1, place.limitInBytes) + "药", Input::PastLimit});
        // A pasted CR is stored as CR LF: it must count two bytes, not one.
        if (place.limitInBytes)
            inputs.append({"lone CRs past the limit", QString(place.limit, QLatin1Char('\r')), Input::PastLimit});
    }
    if (place.huge)
        inputs.append({"1 MB", QString(512 * 1024, QChar(u'药')), Input::Huge});
    return inputs;
}

// The two ways a text comes into a box: pasted over its whole content (Ctrl+A, Ctrl+V), or typed
// key by key into the emptied box, characters beyond ASCII as keys carrying their text, as a
// keyboard layout for them sends them. Only short printable texts can be typed.
enum class Entry { Pasted, Typed };

bool typeable(const QString &text)
{
    if (text.size() > 1100)
        return false;
    for (QChar c : text) {
        if (!c.isPrint() || c.isSurrogate())
            return false;
    }
    return true;
}

void enter(QWidget *box, const QString &text, Entry entry)
{
    if (auto *combo = qobject_cast<QComboBox *>(box))
        box = combo->lineEdit();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (entry == Entry::Pasted) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    QTest::keyClick(box, Qt::Key_Delete);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    }
}

// Every input pasted, and typed as well where it can be.
QList<std::pair<Input, Entry>> entries(const QList<Input> &inputs)
{
    QList<std::pair<Input, Entry>> all;
    for (const Input &input : inputs) {
        all.append({input, Entry::Pasted});
        if (typeable(input.text))
            all.append({Input{input.label + QStringLiteral(", typed"), input.text, input.kind}, Entry::Typed});
    }
    return all;
}

class HostileInput : public HostileFixture {};

TEST_F(HostileInput, NoTextTypedAnywhereChangesAStatementOrLosesARow)
{
    users::registerScreens();
    herbs::registerHerbScreens();
    browse::registerBrowseScreens();
    maint::registerMaintenanceScreens();

    QGuiApplication::clipboard()->setText(QStringLiteral("甘'草"));
    ASSERT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("甘'草")) << "the harness needs a clipboard";

    const FileState baseline = stateOf(dataFile);
    const std::vector<Place> places = allPlaces();
    QStringList failures;
    int runs = 0;
    int stored = 0;
    int inputKinds = 0;
    for (const Place &place : places) {
        const QList<Input> inputs = inputsFor(place);
        inputKinds = std::max(inputKinds, int(inputs.size()));
        for (const auto &[input, entry] : entries(inputs)) {
            ++runs;
            Attempt run{place, input, failures};
            restoreDataFile();
            recorder.messages.clear();
            QWidget *screen = startup::showScreen(QString::fromLatin1(place.screen));
            if (!screen) {
                run.fail("screen did not open");
                continue;
            }
            screen->activateWindow();
            if (place.prepare)
                place.prepare(*this, screen, input.text);
            QStringList held;
            for (const char *name : place.boxes) {
                QWidget *box = screen->findChild<QWidget *>(QLatin1String(name));
                if (!box) {
                    run.fail(QStringLiteral("no box %1").arg(QLatin1String(name)));
                    continue;
                }
                enter(box, input.text, entry);
                held.append(boxText(box));
            }
            checkLimit(run, held);
            QStringList fields;
            for (const char *name : place.fields)
                fields.append(boxText(screen->findChild<QWidget *>(QLatin1String(name))));
            press(screen, place.press);
            stored += checkAfter(run, baseline, fields) ? 1 : 0;
            deleteLeftoverWindows();
        }
    }
    for (const QString &failure : failures.mid(0, 40))
        ADD_FAILURE() << failure.toStdString();
    std::printf("hostile input: %d places, %d inputs, %d runs (%d stored and read back), %d failures found\n",
                int(places.size()), inputKinds, runs, stored, int(failures.size()));
    EXPECT_TRUE(failures.isEmpty());
}

} // namespace
