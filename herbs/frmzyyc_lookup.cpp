// The entry screen's lookups: the combo lists of stored values, the name list, loading a herb
// from the list or by its exact name, and the condition search.
#include "herbs/frmzyyc.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "herbs/herb_lookup.h"
#include "herbs/herb_table.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>

namespace herbs {

void Frmzyyc::CboYcgjAd()
{
    fillCombo(m_cboycgj, kMeridianValuesSql);
}

void Frmzyyc::CboYcxwAd()
{
    fillCombo(m_cboycxw, kNatureValuesSql);
}

void Frmzyyc::fillCombo(QComboBox *combo, const QString &statement)
{
    std::optional<QStringList> values;
    {
        ds::Database db = ds::openDataFile();
        values = distinctValues(db, statement);
    }
    if (!values)
        return; // an empty result keeps the items the combo has
    const QString edited = combo->currentText(); // clearing the items would clear it too
    combo->clear();
    combo->addItems(*values);
    combo->setEditText(edited);
}

void Frmzyyc::refreshNameList()
{
    QStringList names;
    {
        ds::Database db = ds::openDataFile();
        names = herbNames(db, m_listSource);
    }
    showNames(names);
}

void Frmzyyc::showNames(const QStringList &names)
{
    m_names->setStringList(names);
}

void Frmzyyc::listycmcClick(const QModelIndex &index)
{
    const QString name = index.isValid() ? trimSpaces(index.data().toString()) : QString();
    if (name.isEmpty())
        return;
    try {
        std::optional<HerbRecord> herb;
        {
            ds::Database db = ds::openDataFile();
            herb = findHerb(db, name);
        }
        if (herb) {
            for (int field = 0; field < kHerbFieldCount; ++field)
                setFieldText(field, trimSpaces((*herb)[field]));
        }
        ui::yield();
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmzyyc::exactLookup()
{
    try {
        TypedNameLookup found;
        {
            ds::Database db = ds::openDataFile();
            found = lookUpTypedName(db, m_txtycmc->text());
        }
        if (found.herb)
            setFieldTexts(*found.herb); // as stored: a blank field shows its single space
        if (!found.choices.isEmpty())
            showNames(found.choices); // the user picks which herb the alias meant
        m_labbm->setText(found.aliasNote);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    m_cboycxw->lineEdit()->selectAll();
    m_cboycxw->setFocus();
    ui::yield();
}

void Frmzyyc::cmdseekClick()
{
    const HerbRecord conditions = fieldTexts();
    if (!hasSearchCondition(conditions)) {
        m_txtycmc->setFocus();
        ui::msgBox(QStringLiteral("输入查询条件。"), ui::Icon::Information);
        return;
    }
    ui::setBusyPointer();
    try {
        QStringList found;
        {
            ds::Database db = ds::openDataFile();
            found = runConditionSearch(db, conditions);
        }
        if (found.isEmpty()) {
            ui::msgBox(QStringLiteral("未找到相关药材。"), ui::Icon::Information);
            ui::setNormalPointer();
            return;
        }
        m_labycsl->setText(foundCountCaption(int(found.size())));
        m_labycsl->adjustSize();
        m_listSource = kSearchQuery; // later refreshes read the search's query again
        showNames(found);
        ui::yield();
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::RunOnInformation);
    }
    ui::setNormalPointer();
}

} // namespace herbs
