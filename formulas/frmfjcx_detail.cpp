// The formula screen's page of the chosen formula and the records its herb links open.
#include "formulas/frmfjcx.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "formulas/formula_list_model.h"
#include "formulas/formula_page.h"
#include "formulas/frmycda.h"
#include "herbs/herb_table.h"
#include "ui/error_box.h"
#include "ui/message_box.h"

#include <QTextBrowser>

namespace formulas {

void Frmfjcx::clearDetail()
{
    m_shown.reset();
    m_detail->clear();
}

void Frmfjcx::showRow(int row)
{
    const FormulaRow *chosen = m_model->row(row);
    if (!chosen) {
        clearDetail();
        return;
    }
    try {
        ds::Database db = ds::openDataFile();
        const std::optional<FormulaRecord> record = findFormula(db, chosen->name);
        if (!record) {
            clearDetail();
            return;
        }
        m_shown = chosen->rowId;
        m_detail->setHtml(formulaPage(*record, compositionLines(db, (*record)[kComposition]), true));
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

std::optional<FormulaRecord> Frmfjcx::chosenFormula()
{
    const FormulaRow *chosen = m_shown ? m_model->row(m_model->rowOf(*m_shown)) : nullptr;
    if (!chosen) {
        ui::msgBox(QStringLiteral("请先在列表中选一首方剂。"), ui::Icon::Information);
        return std::nullopt;
    }
    ds::Database db = ds::openDataFile();
    std::optional<FormulaRecord> record = findFormula(db, chosen->name);
    if (!record)
        ui::msgBox(QStringLiteral("方剂“%1”已经不在方剂表中。").arg(ds::aliasKey(chosen->name)), ui::Icon::Information);
    return record;
}

void Frmfjcx::openHerb(const QString &herb)
{
    if (herb.isEmpty())
        return;
    try {
        std::optional<herbs::HerbRecord> record;
        {
            ds::Database db = ds::openDataFile();
            record = herbs::findTypedHerb(db, herb);
        }
        if (!record) {
            ui::msgBox(QStringLiteral("药材表中没有“%1”。").arg(herb), ui::Icon::Information);
            return;
        }
        showHerbRecord(this, *record);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

} // namespace formulas
