// The browse screen's reset, query, the two grid loads and the grid saved as a workbook.
#include "browse/frmzyll.h"

#include "browse/frozen_column_table.h"
#include "browse/grid_model.h"
#include "browse/grid_rows.h"
#include "browse/herb_sheet.h"
#include "browse/pick_lists.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/workbook_export.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>

namespace browse {

void Frmzyll::refreshPickLists()
{
    // Each list is a step of its own: one that cannot be read keeps its items, the rest go on.
    std::optional<ds::Database> db;
    if (!ds::skipOnFailure([&] { db.emplace(ds::openDataFile()); }))
        return;
    const std::pair<const QString &, QStringListModel *> steps[] = {
        {kNatureListSql, m_natureItems},
        {kMeridianListSql, m_meridianItems},
        {kEfficacyListSql, m_efficacyItems},
        {kIndicationListSql, m_indicationItems},
    };
    // Not a structured binding: clang before 16 cannot capture one in the lambda.
    for (const auto &step : steps)
        ds::skipOnFailure([&] { step.second->setStringList(pickListItems(*db, step.first)); });
}

void Frmzyll::Qpcls()
{
    m_tabs->setCurrentIndex(1);
    refreshPickLists();
    QpcZd();
    m_name->clear();
    for (QComboBox *list : {m_nature, m_meridian, m_efficacy[0], m_efficacy[1], m_efficacy[2], m_indications[0],
                            m_indications[1], m_indications[2]})
        list->setEditText(QString());
    ui::yield();
    MsfgridAdd();
    ui::yield();
    m_cmdlink->setEnabled(false);
    m_tabs->setCurrentIndex(0);
    ui::setNormalPointer();
}

QueryConditions Frmzyll::conditions() const
{
    QueryConditions shown{m_name->text(), m_nature->currentText(), m_meridian->currentText(), {}, {}};
    for (size_t i = 0; i < 3; ++i) {
        shown.efficacy[i] = m_efficacy[i]->currentText();
        shown.indications[i] = m_indications[i]->currentText();
    }
    return shown;
}

void Frmzyll::Cmdseek_Click()
{
    const QString sortChoice = m_sortChoice->currentText();
    if (sortChoice.isEmpty())
        return;
    try {
        const QueryConditions shown = conditions();
        std::optional<QList<GridRow>> found;
        {
            ds::Database db = ds::openDataFile();
            ui::yield();
            // The rows are read while the query is run: the grid needs no second pass over a
            // table that may hold tens of thousands of herbs.
            found = runQuery(db, queryText(shown, sortChoice));
        }
        m_model->setTypedName(shown.name);
        ui::setBusyPointer();
        if (!found) {
            ui::msgBox(QStringLiteral("没有符合条件的药材。"), ui::Icon::Information);
            Qpcls();
        } else {
            showRows(std::move(*found));
        }
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::RunOnInformation);
    }
    ui::setNormalPointer();
}

void Frmzyll::MsfgridAdd()
{
    loadGrid([this](ds::Database &db) {
        m_model->setRows({}); // the header row alone until the table is read
        m_model->setTypedName({});
        return std::optional(loadWholeTable(db, m_sortChoice->currentText()));
    });
}

void Frmzyll::MsfGridYccx()
{
    loadGrid([](ds::Database &db) { return readGridRows(db, kScratchQuery); });
}

void Frmzyll::loadGrid(const std::function<std::optional<QList<GridRow>>(ds::Database &)> &read)
{
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        std::optional<QList<GridRow>> rows = read(db);
        db.close();
        if (rows)
            showRows(std::move(*rows));
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::TwoLines);
    }
    ui::setNormalPointer();
}

void Frmzyll::showRows(QList<GridRow> rows)
{
    ui::setBusyPointer();
    m_model->setRows(std::move(rows));
    m_found->setText(QStringLiteral("共 %1 味").arg(m_model->rowCount()));
    ui::yield();
}

void Frmzyll::Cmdexpt_Click()
{
    ui::exportWorkbook({QStringLiteral("导出药材"), QStringLiteral("药材.xlsx"), QStringLiteral("药材"), QStringLiteral("味")},
                       m_model->rowCount(), [this] { return herbSheet(*m_model); });
}

} // namespace browse
