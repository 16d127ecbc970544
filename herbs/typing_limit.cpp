#include "herbs/typing_limit.h"

#include "herbs/gbk_bytes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <memory>

namespace herbs {
namespace {

// The box's text as the data file sees it: line breaks are CR LF.
QString withCrLf(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

// The text a key press would type, or the empty text for editing and moving keys.
QString typedText(const QKeyEvent *key)
{
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return {};
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return QStringLiteral("\n");
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    return text;
}

} // namespace

void TypingLimit::apply(QLineEdit *box, int bytes)
{
    box->setAcceptDrops(false);
    box->installEventFilter(new TypingLimit(box, bytes));
}

void TypingLimit::apply(QPlainTextEdit *box, int bytes)
{
    box->setAcceptDrops(false);
    box->viewport()->setAcceptDrops(false);
    auto *limit = new TypingLimit(box, bytes);
    box->installEventFilter(limit);
    box->viewport()->installEventFilter(limit); // the context menu is asked for on the viewport
}

TypingLimit::TypingLimit(QWidget *box, int bytes)
    : QObject(box)
    , m_box(box)
    , m_bytes(bytes)
{
}

int TypingLimit::room() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_box))
        return m_bytes - gbkByteCount(line->text()) + gbkByteCount(line->selectedText());
    auto *text = static_cast<QPlainTextEdit *>(m_box);
    return m_bytes - gbkByteCount(withCrLf(text->toPlainText()))
           + gbkByteCount(withCrLf(text->textCursor().selectedText()));
}

bool TypingLimit::insertClipped(const QString &text)
{
    const bool lineBox = qobject_cast<QLineEdit *>(m_box) != nullptr;
    const QString whole = lineBox ? text : withCrLf(text);
    QString clipped = clipToGbkBytes(whole, room());
    if (clipped.endsWith(QLatin1Char('\r')) && whole.mid(clipped.size(), 1) == QLatin1String("\n"))
        clipped.chop(1); // a line break goes in whole or not at all
    if (clipped.isEmpty())
        return false;
    if (auto *line = qobject_cast<QLineEdit *>(m_box))
        line->insert(clipped);
    else
        static_cast<QPlainTextEdit *>(m_box)->insertPlainText(QString(clipped).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    return true;
}

void TypingLimit::pasteClipped()
{
    insertClipped(QApplication::clipboard()->text());
}

bool TypingLimit::showMenu(const QPoint &globalPos)
{
    std::unique_ptr<QMenu> menu;
    if (auto *line = qobject_cast<QLineEdit *>(m_box))
        menu.reset(line->createStandardContextMenu());
    else
        menu.reset(static_cast<QPlainTextEdit *>(m_box)->createStandardContextMenu());
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, &TypingLimit::pasteClipped);
        }
    }
    menu->exec(globalPos);
    return true;
}

bool TypingLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (m_forwarding)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteClipped();
            return true;
        }
        const QString typed = typedText(key);
        if (typed == QLatin1String("\n") && qobject_cast<QLineEdit *>(m_box))
            return false; // Enter types nothing into a one-line box
        if (typed.isEmpty() || gbkByteCount(withCrLf(typed)) <= room())
            return false;
        insertClipped(typed); // several characters in one key: what fits of them
        return true;
    }
    case QEvent::InputMethod: {
        auto *input = static_cast<QInputMethodEvent *>(event);
        const QString commit = input->commitString();
        if (commit.isEmpty())
            return false;
        const QString clipped = clipToGbkBytes(commit, room());
        if (clipped == commit)
            return false;
        QInputMethodEvent cut(input->preeditString(), input->attributes());
        cut.setCommitString(clipped, input->replacementStart(), input->replacementLength());
        m_forwarding = true;
        QCoreApplication::sendEvent(m_box, &cut);
        m_forwarding = false;
        return true;
    }
    case QEvent::ContextMenu:
        return showMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
    default:
        break;
    }
    (void)watched;
    return false;
}

} // namespace herbs
