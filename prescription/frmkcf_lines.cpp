// The herb lines of the prescription pad: typing with completion, the Enter chain, pasting.
#include "prescription/frmkcf.h"

#include "datastore/herb_aliases.h"
#include "prescription/herb_lines_model.h"
#include "prescription/lines_delegate.h"
#include "prescription/pad_data.h"
#include "ui/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QListView>
#include <QRegularExpression>
#include <QStringListModel>
#include <QTableView>

namespace rx {
namespace {

constexpr int kCompletionRows = 10;

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

int Frmkcf::currentRow() const
{
    const QModelIndex current = m_lines->currentIndex();
    return current.isValid() ? current.row() : int(m_model->lines().size());
}

void Frmkcf::editCell(int row, int column)
{
    const QModelIndex index = m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), column);
    m_lines->setFocus();
    m_lines->setCurrentIndex(index);
    m_lines->scrollTo(index);
    if (!m_lines->indexWidget(index))
        m_lines->edit(index);
}

void Frmkcf::editorMade(QLineEdit *editor, int column)
{
    if (column == HerbLinesModel::Name)
        connect(editor, &QLineEdit::textEdited, this, [this, editor] { showCompletion(editor); });
}

bool Frmkcf::completionShown() const
{
    return m_completion->isVisible() && !m_entries.isEmpty();
}

void Frmkcf::hideCompletion()
{
    m_completion->hide();
    m_entries.clear();
    m_completionTexts->setStringList({});
}

void Frmkcf::showCompletion(QLineEdit *editor)
{
    const std::shared_ptr<const PadData> data = padData();
    m_entries = data ? data->completion().complete(editor->text()) : QList<CompletionEntry>();
    if (m_entries.isEmpty()) {
        hideCompletion();
        return;
    }
    QStringList texts;
    for (const CompletionEntry &entry : std::as_const(m_entries))
        texts.append(entry.text());
    m_completionTexts->setStringList(texts);
    m_completion->setCurrentIndex(m_completionTexts->index(0));
    // Below the name, inside the window: above it when the lines' lower rows are typed in.
    const int rowHeight = m_completion->sizeHintForRow(0);
    const int height = rowHeight * int(std::min<qsizetype>(texts.size(), kCompletionRows)) + 4;
    const QRect cell(editor->mapTo(this, QPoint(0, 0)), editor->size());
    const int top = cell.bottom() + height < m_lines->geometry().bottom() + rowHeight * 2 ? cell.bottom() + 1 : cell.top() - height;
    m_completion->setGeometry(cell.left(), top, std::max(cell.width(), ui::twips(3600)), height);
    m_completion->show();
    m_completion->raise();
}

void Frmkcf::moveCompletion(int step)
{
    const int rows = m_completionTexts->rowCount();
    const int row = (m_completion->currentIndex().row() + step + rows) % rows;
    m_completion->setCurrentIndex(m_completionTexts->index(row));
}

void Frmkcf::finishEdit(QWidget *editor)
{
    hideCompletion();
    m_delegate->commitAndClose(editor);
}

bool Frmkcf::editorKey(QWidget *editor, int column, QKeyEvent *key)
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    const int row = currentRow();
    if (column == HerbLinesModel::Name && completionShown()) {
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) {
            moveCompletion(key->key() == Qt::Key_Down ? 1 : -1);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            hideCompletion();
            return true;
        }
        if (isEnter(key) && m_completion->currentIndex().isValid())
            line->setText(m_entries[m_completion->currentIndex().row()].written);
    }
    if (key->matches(QKeySequence::Paste) && column == HerbLinesModel::Name) {
        const QString text = QApplication::clipboard()->text();
        // One name is pasted into the box as any text is; a prescription becomes lines.
        if (linesFromText(text).size() < 2 && !text.contains(QRegularExpression(QStringLiteral("\\d"))))
            return false;
        hideCompletion();
        emit m_delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        return pasteInto(row, text);
    }
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
        finishEdit(editor);
        removeLine(row);
        return true;
    }
    if (!isEnter(key))
        return false;
    if (column == HerbLinesModel::Name && typedLines(editor, row))
        return true;
    finishEdit(editor);
    if (row >= m_model->lines().size()) {
        // Enter on the empty line below the herbs: the lines are done, on to 剂数.
        m_doses->setFocus();
        m_doses->selectAll();
        return true;
    }
    if (m_model->lines()[row].isEmpty()) {
        removeLine(row);
        return true;
    }
    if (column == HerbLinesModel::Name) {
        editCell(row, HerbLinesModel::Dose);
        return true;
    }
    const int linesBefore = int(m_model->lines().size());
    expandCompoundRow(row);
    editCell(row + 1 + int(m_model->lines().size()) - linesBefore, HerbLinesModel::Name);
    return true;
}

bool Frmkcf::typedLines(QWidget *editor, int row)
{
    // A name typed with its dose ("云苓15"), or several herbs in one go ("云苓15 川军6"), become
    // lines as if pasted; a compound name alone waits for its dose, which it then shares out.
    const QString text = static_cast<QLineEdit *>(editor)->text().trimmed();
    const QList<RxLine> typed = linesFromText(text);
    const bool withDose = typed.size() == 1 && typed[0].name != text;
    const bool several = typed.size() > 1 && !shippedCompounds().find(text);
    if (!withDose && !several)
        return false;
    hideCompletion();
    emit m_delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    m_model->replaceRow(row, typed);
    editCell(row + int(typed.size()), HerbLinesModel::Name);
    return true;
}

void Frmkcf::expandCompoundRow(int row)
{
    if (row < 0 || row >= m_model->lines().size())
        return;
    const RxLine line = m_model->lines()[row];
    const CompoundName *compound = shippedCompounds().find(line.name);
    if (!compound)
        return;
    const QList<RxLine> parts = expandCompound(line, *compound);
    if (parts.size() > 1)
        m_model->replaceRow(row, parts);
}

bool Frmkcf::pasteInto(int row, const QString &text)
{
    const QList<RxLine> pasted = linesFromText(text);
    if (pasted.isEmpty())
        return true;
    // On a line that holds a herb the prescription goes in below it; an empty line it replaces.
    QList<RxLine> lines = m_model->lines();
    const int at = row < lines.size() && !lines[row].isEmpty() ? row + 1 : std::min(row, int(lines.size()));
    if (at < lines.size() && lines[at].isEmpty())
        lines.remove(at);
    for (qsizetype i = 0; i < pasted.size(); ++i)
        lines.insert(at + i, pasted[i]);
    m_model->setLines(lines);
    m_status->setText(QStringLiteral("粘贴了%1行药。").arg(pasted.size()));
    editCell(at + int(pasted.size()), HerbLinesModel::Name);
    return true;
}

void Frmkcf::removeLine(int row)
{
    if (row < 0 || row >= m_model->lines().size())
        return;
    m_model->removeRow(row);
    editCell(row, HerbLinesModel::Name);
}

} // namespace rx
