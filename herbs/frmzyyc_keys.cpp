// The entry screen's keyboard table: spaces are not typed (except in the notes) and Enter
// walks the fields from 名称 to the save button.
#include "herbs/frmzyyc.h"

#include "ui/message_box.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace herbs {
namespace {

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

void focusAtEnd(QPlainTextEdit *box)
{
    box->setFocus();
    box->moveCursor(QTextCursor::End);
}

// Enter in a required box: on to the next box, or a prompt when it is empty (length 0).
void nextUnlessEmpty(QPlainTextEdit *box, const char16_t *prompt, QPlainTextEdit *next)
{
    if (box->document()->isEmpty())
        ui::msgBox(QString::fromUtf16(prompt), ui::Icon::Information);
    else
        focusAtEnd(next);
}

} // namespace

bool Frmzyyc::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        for (int field = 0; field < kHerbFieldCount; ++field) {
            if (watched == fieldControl(field))
                return fieldKey(field, static_cast<QKeyEvent *>(event));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Frmzyyc::fieldKey(int field, QKeyEvent *key)
{
    const bool enter = isEnter(key);
    if (field == kNotes) {
        // A line break only once something is written; Enter in an empty box goes to 保存.
        if (enter && trimSpaces(fieldText(kNotes)).isEmpty()) {
            m_cmdsave->setFocus();
            return true;
        }
        return false;
    }
    if (key->text() == QLatin1String(" "))
        return true;
    if (!enter)
        return false;
    switch (field) {
    case kName:
        if (!m_txtycmc->text().isEmpty())
            exactLookup();
        break;
    case kNature:
        m_cboycgj->setFocus();
        break;
    case kMeridian:
        focusAtEnd(m_txtycgy);
        break;
    case kEfficacy:
        nextUnlessEmpty(m_txtycgy, u"请输入药材功效内容", m_txtyczz);
        break;
    case kIndications:
        nextUnlessEmpty(m_txtyczz, u"请输入药材主治内容", m_txtycyf);
        break;
    case kUsage:
        nextUnlessEmpty(m_txtycyf, u"请输入药材使用方法", m_txtycyj);
        break;
    case kCautions:
        focusAtEnd(m_txtycgb);
        break;
    default:
        break;
    }
    return true;
}

} // namespace herbs
