#include "ui/window_rules.h"

#include "ui/fonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace ui {
namespace {

// Enter presses the focused push button: the toolkit leaves Enter to auto-default buttons
// only, so on most screens a focused button ignored it. A multi-line text box keeps its lines
// apart whatever font its screen gives it.
class WindowRules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::Polish)
            keepLinesApart(watched);
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled())
            return false;
        if (!key->isAutoRepeat()) // a held key presses once
            button->click();
        return true;
    }

private:
    static void keepLinesApart(QObject *watched)
    {
        if (!qobject_cast<QPlainTextEdit *>(watched) && !qobject_cast<QTextEdit *>(watched))
            return;
        auto *box = static_cast<QWidget *>(watched);
        const QFont apart = withLinesApart(box->font());
        if (apart != box->font())
            box->setFont(apart);
    }
};

// An unfocused text box draws its selection in the inactive colours: make those the box's own.
void hideSelectionWithoutFocus(const char *className)
{
    QPalette palette = QApplication::palette(className);
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, palette.brush(QPalette::Inactive, QPalette::Base));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Inactive, QPalette::Text));
    QApplication::setPalette(palette, className);
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kDesktopName)),
                     QSize(size, size));
    return icon;
}

void installWindowRules()
{
    static WindowRules *rules = nullptr;
    if (rules)
        return;
    rules = new WindowRules(qApp);
    qApp->installEventFilter(rules);
    hideSelectionWithoutFocus("QPlainTextEdit");
    hideSelectionWithoutFocus("QTextEdit");
    QApplication::setWindowIcon(programIcon());
}

void fitFrameButtons(QWidget *window)
{
    if (!window->isWindow() || window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowMaximizeButtonHint, window->minimumSize() != window->maximumSize());
    if (flags != window->windowFlags())
        window->setWindowFlags(flags);
}

} // namespace ui
