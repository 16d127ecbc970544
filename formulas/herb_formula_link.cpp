#include "formulas/herb_formula_link.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "formulas/formula_search.h"
#include "startup/screens.h"
#include "ui/message_box.h"

namespace formulas {

HerbFormulaLink::HerbFormulaLink(QWidget *parent)
    : QPushButton(parent)
{
    setObjectName(QStringLiteral("Cmdhyfj"));
    setAutoDefault(true); // Enter on it presses it, as on the screens' other buttons
    setToolTip(QStringLiteral("列出含这味药（及其炮制品）的方剂"));
    hide();
    connect(this, &QPushButton::clicked, this, &HerbFormulaLink::open);
}

void HerbFormulaLink::setHerb(const QString &name)
{
    m_herb = ds::aliasKey(name);
    int count = 0;
    if (!m_herb.isEmpty()) {
        try {
            ds::Database db = ds::openDataFile();
            count = formulasHolding(db, m_herb);
        } catch (const ds::RunError &) {
            m_herb.clear(); // a count that cannot be made is not shown; the record is what matters here
        }
    }
    setText(QStringLiteral("含此药的方剂（%1）").arg(count));
    setEnabled(count > 0);
    setVisible(!m_herb.isEmpty());
}

void HerbFormulaLink::open()
{
    if (!m_herb.isEmpty() && !startup::sendToScreen(QStringLiteral("Frmfjcx"), m_herb))
        ui::msgBox(QStringLiteral("方剂查询窗口不能打开。"), ui::Icon::Information);
}

} // namespace formulas
