#include "prescription/lines_delegate.h"

#include "prescription/herb_lines_model.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace rx {

LinesDelegate::LinesDelegate(KeyHandler keys, EditorMade made, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_keys(std::move(keys))
    , m_made(std::move(made))
{
}

QWidget *LinesDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    static const char *const names[] = {"Txtmc", "Txtjl", "Txtdw", "Txtjz"};
    if (index.column() >= HerbLinesModel::Marks)
        return nullptr;
    auto *editor = new QLineEdit(parent);
    editor->setObjectName(QLatin1String(names[index.column()]));
    editor->setFrame(false);
    m_made(editor, index.column());
    return editor;
}

void LinesDelegate::commitAndClose(QWidget *editor)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool LinesDelegate::eventFilter(QObject *watched, QEvent *event)
{
    auto *editor = qobject_cast<QLineEdit *>(watched);
    if (editor && event->type() == QEvent::KeyPress) {
        static const QStringList names{QStringLiteral("Txtmc"), QStringLiteral("Txtjl"), QStringLiteral("Txtdw"),
                                       QStringLiteral("Txtjz")};
        if (m_keys(editor, int(names.indexOf(editor->objectName())), static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void LinesDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant level = index.data(HerbLinesModel::kLevelRole);
    if (!level.isValid())
        return;
    // The words say it; the colour only helps the eye find it.
    static const QColor colours[] = {QColor(192, 0, 0), QColor(176, 96, 0), QColor(0, 64, 160)};
    option->palette.setColor(QPalette::Text, colours[std::clamp(level.toInt(), 0, 2)]);
    option->font.setBold(level.toInt() == int(Level::Forbidden));
}

} // namespace rx
