#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace herbs {

struct ExcessCut;

// Limits what the user puts into a box to a number of bytes of code page 936, whichever way
// the text comes in (keys, input-method commits, Ctrl+V, Shift+Ins, the context menu, the
// primary selection, drops): after every change by the user the box's text is checked and
// what went past the limit is cut off the end of the inserted text, at whole characters.
// Text the program sets is never cut, and a user's change never makes a box longer than
// the limit or than it already was. A text box line break counts as CR LF, two bytes.
class TypingLimit : public QObject {
public:
    // Told how many characters of the text that came in were kept, whenever some were cut.
    using CutReport = std::function<void(qsizetype kept)>;

    static void apply(QLineEdit *box, int bytes, CutReport report = {});
    static void apply(QPlainTextEdit *box, int bytes, CutReport report = {});

private:
    TypingLimit(QWidget *box, int bytes, CutReport report);
    void reportCut(const ExcessCut &cut) const;

    void lineTextChanged();
    void lineTextEdited();
    void documentChange();
    void documentChanged();

    QWidget *m_box;
    int m_bytes;
    CutReport m_report;
    bool m_cutting = false;
    // The box's text before the change being checked; the one-line box also keeps the one
    // before that, should Qt ever report the edit after the change.
    QString m_current;
    QString m_previous;
    bool m_userChange = false;
};

// What to take out of a box's text after a user's change so that it keeps to the limit.
struct ExcessCut {
    qsizetype start = 0;
    qsizetype end = 0; // start == end: nothing
    qsizetype cursor = 0;
    qsizetype kept = 0; // characters of the inserted text that stay
};

// The change from `before` to `text` (the cursor after it at `cursor`) inserted some text; the
// excess over max(limit, size before) comes off the end of what was inserted, at whole
// characters, a line break (CR LF, two bytes, where `lineBreakIsCrLf`) whole. The cursor
// keeps its place in the text that stays.
ExcessCut excessCut(const QString &before, const QString &text, qsizetype cursor, int limit, bool lineBreakIsCrLf);

// The box text's size as the data file stores it: each line break of a text box is CR LF.
int boxTextBytes(const QString &text, bool lineBreakIsCrLf);

} // namespace herbs
