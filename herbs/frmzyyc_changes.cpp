// The entry screen's guard of unsaved work: what it showed when a herb was loaded, the screen
// cleared or a search run, the question before a road out drops changes, and the status line.
#include "herbs/frmzyyc.h"

#include "formulas/herb_formula_link.h"
#include "herbs/unsaved_changes.h"
#include "ui/message_box.h"

#include <QLabel>

namespace herbs {

void Frmzyyc::keepShown(const QString &loaded)
{
    m_shown = fieldTexts();
    m_loaded = trimSpaces(loaded);
    m_formulas->setHerb(m_loaded);
}

bool Frmzyyc::mayDropChanges()
{
    const std::optional<QString> herb = unsavedHerb(m_shown, fieldTexts(), m_loaded);
    if (!herb)
        return true;
    const ui::Message question{dropChangesQuestion(*herb), ui::Icon::Question, ui::Buttons::YesNo, QString(),
                               ui::Answer::No};
    return ui::msgBox(question) == ui::Answer::Yes;
}

void Frmzyyc::showStatus(const QString &text)
{
    m_labzt->setText(text);
}

} // namespace herbs
