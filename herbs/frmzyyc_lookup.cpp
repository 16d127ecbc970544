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
    if (name.isEmpty() || !mayDropChanges())
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
            keepShown(name);
            showStatus(QString());
        }
        ui::yield();
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmzyyc::loadFoundHerb(const HerbRecord &herb)
{
    setFieldTexts(herb); // as stored: a blank field shows its single space
    keepShown(herb[kName]);
    showStatus(QString());
}

void Frmzyyc::exactLookup()
{
    try {
        TypedNameLookup found;
        QStringList byInitials; // letters typed for a name that is no name or alias: dg for 当归
        {
            ds::Database db = ds::openDataFile();
            found = lookUpTypedName(db, m_txtycmc->text());
            if (!found.herb && found.choices.isEmpty())
                byInitials = herbsByInitials(db, m_txtycmc->text());
            if (byInitials.size() == 1)
                found.herb = findHerb(db, byInitials.first());
        }
        if (found.herb && !mayDropChanges())
            return; // the screen stays as it is
        if (found.herb)
            loadFoundHerb(*found.herb);
        if (!found.choices.isEmpty())
            showNames(found.choices); // the user picks which herb the alias meant
        m_labbm->setText(found.aliasNote);
        if (byInitials.size() > 1) {
            // The user picks the herb the letters meant, in the list, at its first row.
            showNames(byInitials);
            m_listycmc->setCurrentIndex(m_names->index(0));
            m_listycmc->setFocus();
            ui::yield();
            return;
        }
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
    if (!mayDropChanges())
        return;
    keepShown(); // what is shown is now a search's conditions, to be left for what it finds
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
