// The browse screen's detail tab: a clicked herb's eight texts and the keys of their boxes.
#include "browse/frmzyll.h"

#include "browse/frozen_column_table.h"
#include "browse/grid_model.h"
#include "browse/herb_detail.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "formulas/herb_formula_link.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace browse {
namespace {

// The stored position each detail box shows, in the order of the Enter chain.
constexpr int kDetailPositions[] = {herbs::kName,        herbs::kNature,   herbs::kMeridian, herbs::kEfficacy,
                                    herbs::kIndications, herbs::kCautions, herbs::kUsage,    herbs::kNotes};

void setBoxText(QWidget *box, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box)) {
        line->setText(text);
        return;
    }
    // Stored texts break lines with CR LF; the box with LF.
    static_cast<QPlainTextEdit *>(box)->setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void focusAndSelectAll(QWidget *box)
{
    box->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->selectAll();
    else if (auto *text = qobject_cast<QPlainTextEdit *>(box))
        text->selectAll();
}

} // namespace

void Frmzyll::QpcZd()
{
    for (QWidget *box : m_detail)
        setBoxText(box, QString());
    m_detail[0]->setToolTip(QString());
    m_cmdlink->setEnabled(false);
    m_formulas->setHerb(QString());
}

void Frmzyll::showDetail(const herbs::HerbRecord &record)
{
    for (size_t i = 0; i < m_detail.size(); ++i)
        setBoxText(m_detail[i], record[size_t(kDetailPositions[i])]);
    m_detail[0]->setToolTip(aliasTip(ds::shippedAliases(), record[herbs::kName]));
    m_cmdlink->setEnabled(true);
    m_formulas->setHerb(record[herbs::kName]);
}

void Frmzyll::Msfgrid_Click(const QModelIndex &index)
{
    // Only data rows answer; the header row and the space below the last row are not cells.
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return;
    m_grid->setCurrentIndex(m_model->index(index.row(), 0));
    if (m_model->cell(index.row(), 0).isEmpty()) { // the cell as shown, without its spaces
        ui::msgBox(QStringLiteral("未有要查询的药材"), ui::Icon::Information);
        return;
    }
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        // By the name as stored: the cell shows it trimmed, and an imported name with spaces
        // around it would otherwise find nothing.
        if (const std::optional<herbs::HerbRecord> record = lookUpHerb(db, m_model->storedName(index.row()))) {
            showDetail(*record);
            m_tabs->setCurrentIndex(1);
        }
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        ui::setNormalPointer();
    }
}

bool Frmzyll::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::Resize)
        shareOutWidths();
    if (event->type() == QEvent::KeyPress) {
        for (size_t i = 0; i < m_detail.size(); ++i) {
            if (watched == m_detail[i])
                return detailKey(int(i), static_cast<QKeyEvent *>(event));
        }
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (isCondition(watched) && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Cmdseek_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Frmzyll::isCondition(const QObject *control) const
{
    for (const QObject *condition : {static_cast<QObject *>(m_name), static_cast<QObject *>(m_nature),
                                     static_cast<QObject *>(m_meridian)}) {
        if (control == condition)
            return true;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (control == m_efficacy[i] || control == m_indications[i])
            return true;
    }
    return false;
}

bool Frmzyll::detailKey(int box, QKeyEvent *key)
{
    if (key->text() == QLatin1String(" "))
        return true;
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (box + 1 < int(m_detail.size()))
        focusAndSelectAll(m_detail[size_t(box + 1)]);
    else
        m_cmdedit->setFocus();
    return true;
}

} // namespace browse
