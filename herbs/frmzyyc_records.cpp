// The entry screen's record operations: clear, count, input check, save, change, delete,
// print and exit.
#include "herbs/frmzyyc.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "herbs/herb_lookup.h"
#include "herbs/herb_table.h"
#include "herbs/input_check.h"
#include "herbs/print_text.h"
#include "herbs/print_to_word.h"
#include "herbs/unsaved_changes.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace herbs {

void Frmzyyc::Qpcls()
{
    ui::setBusyPointer();
    CboYcxwAd();
    CboYcgjAd();
    for (int field = 0; field < kHerbFieldCount; ++field)
        setFieldText(field, QString());
    keepShown();
    showStatus(QString());
    m_listSource = kHerbTable;
    m_labbm->clear();
    refreshNameList();
    ui::yield();
    ZyycSl();
    ui::setNormalPointer();
}

void Frmzyyc::ZyycSl()
{
    try {
        ds::Database db = ds::openDataFile();
        m_labycsl->setText(herbCountCaption(herbCount(db)));
        m_labycsl->adjustSize();
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::TwoLinesInformation);
        ui::setNormalPointer();
    }
}

void Frmzyyc::SrnrJy()
{
    const InputCheck check = checkHerbInput(fieldTexts());
    setFieldTexts(check.texts);
    m_jybl = 1;
    if (!check.passed()) {
        ui::msgBox(check.message, ui::Icon::Information);
        fieldControl(check.missingField)->setFocus();
        return;
    }
    m_jybl = 0;
}

void Frmzyyc::cmdsaveClick()
{
    try {
        SrnrJy();
        if (m_jybl == 1)
            return;
        QStringList aliasOf;
        {
            ds::Database db = ds::openDataFile();
            aliasOf = herbsAliasedBy(db, m_txtycmc->text());
        }
        // Under another name of a stored herb, it would be that herb twice.
        const ui::Message question{aliasSaveQuestion(m_txtycmc->text(), aliasOf), ui::Icon::Question,
                                   ui::Buttons::YesNo, QString(), ui::Answer::No};
        if (!aliasOf.isEmpty() && ui::msgBox(question) != ui::Answer::Yes) {
            m_txtycmc->setFocus();
            return;
        }
        SaveOutcome outcome;
        {
            ds::Database db = ds::openDataFile();
            outcome = addHerb(db, fieldTexts());
        }
        if (outcome == SaveOutcome::AlreadyStored) {
            showStatus(kAlreadyStoredNotice);
            m_cmdedit->setFocus(); // 修改 overwrites it
            return;
        }
        Qpcls();
        m_txtycmc->setFocus();
    } catch (const ds::RunError &error) {
        // A duplicate name's description names the herb.
        ui::showErrorDescription(error);
        ui::setNormalPointer();
    }
}

void Frmzyyc::cmdeditClick()
{
    try {
        SrnrJy();
        if (m_jybl == 1)
            return;
        ChangeOutcome outcome;
        {
            ds::Database db = ds::openDataFile();
            outcome = changeHerb(db, fieldTexts());
        }
        if (outcome == ChangeOutcome::NotStored) {
            m_cmdsave->setFocus(); // 保存 adds it
        } else {
            Qpcls();
            m_txtycmc->setFocus();
        }
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    ui::setNormalPointer();
}

void Frmzyyc::cmddeleClick()
{
    const QString name = trimSpaces(m_txtycmc->text());
    const QString question = QStringLiteral("确实要删除 ") + name + QStringLiteral(" 药材吗？");
    if (ui::msgBox(question, ui::Icon::Question, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    try {
        bool deleted;
        {
            ds::Database db = ds::openDataFile();
            deleted = deleteHerb(db, name); // the name the question showed
        }
        if (deleted) {
            Qpcls();
            m_txtycmc->setFocus();
        } else {
            // After a Yes, silence would read as done.
            ui::msgBox(QStringLiteral("未找到药材 ") + name + QStringLiteral("，没有删除。"), ui::Icon::Information);
        }
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    ui::setNormalPointer();
}

void Frmzyyc::cmdqclsClick()
{
    if (!mayDropChanges())
        return;
    clearTrapped();
    m_txtycmc->setFocus();
}

// The clinic's name the program's own printout puts at the top; empty when none is stored.
QString Frmzyyc::clinicName() const
{
    ds::Database db = ds::openDataFile();
    const std::optional<startup::ClinicTexts> clinic = startup::readClinicTexts(db);
    return clinic ? clinic->unit.trimmed() : QString();
}

void Frmzyyc::cmdprntClick()
{
    const ui::BusyPointer busy; // the arrow comes back on every way out
    try {
        QStringList fields;
        for (const QString &text : fieldTexts())
            fields.append(trimSpaces(text));
        if (!printFieldsComplete(fields)) {
            ui::msgBox(QStringLiteral("打印内容输入不完全，不能打印"), ui::Icon::None, ui::Buttons::Ok, std::nullopt);
            m_cmdqcls->setFocus();
            return;
        }
        PrintToWord(buildPrintText(fields, QDate::currentDate()), clinicName());
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::RunOnInformation);
    }
}

void Frmzyyc::cmdexitClick()
{
    close(); // the close event gives the menus back
}

} // namespace herbs
