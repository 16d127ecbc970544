// The formula screen's buttons below the list: the clinic's own formulas added, changed and
// deleted, print, export, and the hand-over to the prescription pad.
#include "formulas/frmfjcx.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "formulas/formula_export.h"
#include "formulas/formula_list_model.h"
#include "formulas/formula_page.h"
#include "formulas/frmfjbj.h"
#include "startup/screens.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/print_preview.h"
#include "ui/workbook_export.h"

#include <QTableView>

namespace formulas {

void Frmfjcx::edit(const std::optional<FormulaRecord> &stored)
{
    auto *editor = new Frmfjbj(this, stored);
    editor->setWindowModality(Qt::WindowModal);
    connect(editor, &QDialog::accepted, this, [this, editor] {
        // The list shows the formula saved, among all formulas when the conditions leave it out.
        const QString saved = editor->savedName();
        if (!search(saved, true)) {
            clearConditions();
            search(saved);
        }
    });
    editor->open();
}

void Frmfjcx::Cmdadd_Click()
{
    edit(std::nullopt);
}

void Frmfjcx::Cmdedit_Click()
{
    try {
        if (const std::optional<FormulaRecord> stored = chosenFormula())
            edit(stored);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmfjcx::Cmddele_Click()
{
    try {
        const std::optional<FormulaRecord> stored = chosenFormula();
        if (!stored)
            return;
        const QString name = ds::aliasKey((*stored)[kFormulaName]);
        const ui::Message question{QStringLiteral("确实要删除方剂 %1 吗？").arg(name), ui::Icon::Question, ui::Buttons::YesNo,
                                   QString(), ui::Answer::No};
        if (ui::msgBox(question) != ui::Answer::Yes)
            return;
        bool deleted;
        {
            ds::Database db = ds::openDataFile();
            deleted = deleteFormula(db, (*stored)[kFormulaName]);
        }
        if (!deleted)
            ui::msgBox(QStringLiteral("未找到方剂 %1，没有删除。").arg(name), ui::Icon::Information);
        search({}, true);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmfjcx::Cmdprnt_Click()
{
    try {
        const std::optional<FormulaRecord> stored = chosenFormula();
        if (!stored)
            return;
        QString page;
        {
            ds::Database db = ds::openDataFile();
            page = formulaPage(*stored, compositionLines(db, (*stored)[kComposition]), false);
        }
        ui::printPreview({QStringLiteral("打印方剂：%1").arg(ds::aliasKey((*stored)[kFormulaName])), page, ui::Paper::A5, 11}, this);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmfjcx::Cmdexpt_Click()
{
    try {
        ui::exportWorkbook({QStringLiteral("导出方剂"), QStringLiteral("方剂.xlsx"), QStringLiteral("方剂"), QStringLiteral("首")},
                           m_model->rowCount(), [this] {
                               QList<qint64> rowIds;
                               for (const FormulaRow &row : m_model->rows())
                                   rowIds.append(row.rowId);
                               ds::Database db = ds::openDataFile();
                               return formulaSheet(db, rowIds);
                           });
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmfjcx::Cmdkcf_Click()
{
    try {
        const std::optional<FormulaRecord> stored = chosenFormula();
        // The pad takes the composition as stored and reads it with parseComposition.
        if (stored && !startup::sendToScreen(QStringLiteral("Frmkcf"), (*stored)[kComposition]))
            ui::msgBox(QStringLiteral("开处方窗口还不能使用。"), ui::Icon::Information);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

} // namespace formulas
