#include "herbs/typing_limit.h"

#include "herbs/gbk_bytes.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace herbs {
namespace {

// How many characters at the start of the inserted text fit into `room` bytes: whole
// characters, and a line break whole (CR LF, two bytes, in a text box; CR LF typed into a
// one-line box stays together).
qsizetype fittingLength(const QString &inserted, int room, bool lineBreakIsCrLf)
{
    if (!lineBreakIsCrLf) {
        QString kept = clipToGbkBytes(inserted, room);
        if (kept.endsWith(QLatin1Char('\r')) && inserted.mid(kept.size(), 1) == QLatin1String("\n"))
            kept.chop(1);
        return kept.size();
    }
    QString kept = clipToGbkBytes(QString(inserted).replace(QLatin1Char('\n'), QLatin1String("\r\n")), room);
    if (kept.endsWith(QLatin1Char('\r')))
        kept.chop(1); // half a line break
    return kept.size() - kept.count(QLatin1Char('\r'));
}

} // namespace

int boxTextBytes(const QString &text, bool lineBreakIsCrLf)
{
    if (!lineBreakIsCrLf)
        return gbkByteCount(text);
    return gbkByteCount(text) + int(text.count(QLatin1Char('\n')));
}

ExcessCut excessCut(const QString &before, const QString &text, qsizetype cursor, int limit, bool lineBreakIsCrLf)
{
    ExcessCut none{0, 0, cursor, 0};
    const int excess = boxTextBytes(text, lineBreakIsCrLf) - std::max(limit, boxTextBytes(before, lineBreakIsCrLf));
    if (excess <= 0)
        return none;
    // What the change inserted lies between what it left alone at the start and at the end.
    const qsizetype shorter = std::min(text.size(), before.size());
    qsizetype head = 0;
    while (head < shorter && text[head] == before[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && text[text.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    const qsizetype inserted = text.size() - head - tail;
    qsizetype start = head;
    // Among repeated characters the insertion could sit in several places: the one that ends
    // at the cursor is where the user put it.
    if (cursor - inserted >= 0 && cursor <= text.size() && cursor - inserted < head
        && QStringView(text).left(cursor - inserted) == QStringView(before).left(cursor - inserted)
        && QStringView(text).mid(cursor) == QStringView(before).mid(cursor - inserted))
        start = cursor - inserted;
    const qsizetype end = start + inserted;
    const QString outside = text.left(start) + text.mid(end);
    const int room = std::max(limit, boxTextBytes(before, lineBreakIsCrLf)) - boxTextBytes(outside, lineBreakIsCrLf);
    const qsizetype kept = fittingLength(text.mid(start, inserted), room, lineBreakIsCrLf);
    ExcessCut cut{start + kept, end, cursor, kept};
    if (cursor >= cut.end)
        cut.cursor -= cut.end - cut.start;
    else if (cursor > cut.start)
        cut.cursor = cut.start;
    return cut;
}

void TypingLimit::apply(QLineEdit *box, int bytes, CutReport report)
{
    auto *limit = new TypingLimit(box, bytes, std::move(report));
    limit->m_current = box->text();
    connect(box, &QLineEdit::textChanged, limit, &TypingLimit::lineTextChanged);
    connect(box, &QLineEdit::textEdited, limit, &TypingLimit::lineTextEdited);
}

void TypingLimit::apply(QPlainTextEdit *box, int bytes, CutReport report)
{
    auto *limit = new TypingLimit(box, bytes, std::move(report));
    QTextDocument *document = box->document();
    limit->m_current = box->toPlainText();
    connect(document, &QTextDocument::contentsChange, limit, &TypingLimit::documentChange);
    connect(document, &QTextDocument::contentsChanged, limit, &TypingLimit::documentChanged);
}

TypingLimit::TypingLimit(QWidget *box, int bytes, CutReport report)
    : QObject(box)
    , m_box(box)
    , m_bytes(bytes)
    , m_report(std::move(report))
{
}

void TypingLimit::reportCut(const ExcessCut &cut) const
{
    if (m_report)
        m_report(cut.kept);
}

void TypingLimit::lineTextChanged()
{
    const QString text = static_cast<QLineEdit *>(m_box)->text();
    if (text != m_current) {
        m_previous = m_current;
        m_current = text;
    }
}

void TypingLimit::lineTextEdited()
{
    if (m_cutting)
        return;
    auto *line = static_cast<QLineEdit *>(m_box);
    const QString text = line->text();
    const QString before = text == m_current ? m_previous : m_current;
    const ExcessCut cut = excessCut(before, text, line->cursorPosition(), m_bytes, false);
    if (cut.start == cut.end)
        return;
    m_cutting = true;
    line->setText(QString(text).remove(cut.start, cut.end - cut.start));
    line->setCursorPosition(int(cut.cursor));
    m_cutting = false;
    reportCut(cut);
}

void TypingLimit::documentChange()
{
    // The program puts a text in with setPlainText, which loads the document with its undo
    // history off; every change a user makes is recorded for undo.
    if (!m_cutting)
        m_userChange = static_cast<QPlainTextEdit *>(m_box)->document()->isUndoRedoEnabled();
}

void TypingLimit::documentChanged()
{
    if (m_cutting)
        return;
    auto *box = static_cast<QPlainTextEdit *>(m_box);
    const QString before = std::exchange(m_current, box->toPlainText());
    if (!std::exchange(m_userChange, false))
        return;
    const ExcessCut cut = excessCut(before, m_current, box->textCursor().position(), m_bytes, true);
    if (cut.start == cut.end)
        return;
    m_cutting = true;
    // Part of the same step as the insertion: one undo takes back both.
    QTextCursor remove(box->document());
    remove.joinPreviousEditBlock();
    remove.setPosition(int(cut.start));
    remove.setPosition(int(cut.end), QTextCursor::KeepAnchor);
    remove.removeSelectedText();
    remove.endEditBlock();
    m_cutting = false;
    m_current = box->toPlainText();
    reportCut(cut);
}

} // namespace herbs
