// The prescription pad's check and commands: 新处方, 打印, 保存为协定方, leaving, and what
// another screen hands it.
#include "prescription/frmkcf.h"

#include "access/clinic_record.h"
#include "access/login_check.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "formulas/composition.h"
#include "formulas/formula_table.h"
#include "prescription/herb_lines_model.h"
#include "prescription/pad_data.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/input_box.h"
#include "ui/message_box.h"
#include "ui/print_preview.h"
#include "ui/program.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>

namespace rx {
namespace {

const QString kTitle = QStringLiteral("开处方");
const QString kDefaultUsage = QStringLiteral("水煎服，每日一剂，分两次温服");
const QString kDefaultDoses = QStringLiteral("7");

ui::Answer ask(const QString &question)
{
    ui::Message message{question, ui::Icon::Question, ui::Buttons::YesNo, kTitle};
    message.defaultAnswer = ui::Answer::No;
    return ui::msgBox(message);
}

QString levelColour(Level level)
{
    switch (level) {
    case Level::Forbidden:
        return QStringLiteral("#c00000");
    case Level::Caution:
        return QStringLiteral("#b06000");
    case Level::Note:
        break;
    }
    return QStringLiteral("#0040a0");
}

} // namespace

std::shared_ptr<const PadData> Frmkcf::padData()
{
    try {
        m_data = PadData::of(ds::dataPaths().dataFile);
        m_dataFailed = false;
    } catch (const ds::RunError &error) {
        // Told once; until the file can be read again the findings say the check cannot run.
        if (!m_dataFailed)
            ui::showErrorDescription(error);
        m_dataFailed = true;
        m_data.reset();
    }
    return m_data;
}

void Frmkcf::recheck()
{
    const std::shared_ptr<const PadData> data = padData();
    m_findings = data ? data->check().check({m_model->lines(), m_pregnant->isChecked(), m_usage->text()}) : QList<Finding>();
    m_model->setFindings(m_findings);
    showFindings();
}

void Frmkcf::showFindings()
{
    QStringList html;
    if (!m_data)
        html << QStringLiteral("<p>不能读取药材资料，处方没有核对。</p>");
    else if (!m_model->holdsHerbs())
        html << QStringLiteral("<p>输入药名和剂量后，这里列出配伍禁忌、妊娠禁忌、超量、毒性、重复和未知的药名。</p>");
    else if (m_findings.isEmpty())
        html << QStringLiteral("<p>未发现配伍禁忌、妊娠禁忌、超量、毒性药、重复或未知的药名。</p>");
    for (const Finding &finding : std::as_const(m_findings)) {
        QStringList rows;
        for (int line : finding.lines)
            rows.append(QString::number(line + 1));
        html << QStringLiteral("<p style=\"margin-bottom:6px\"><span style=\"color:%1; font-weight:bold\">%2</span>"
                               "<span style=\"color:gray\">（第%3行）</span>")
                    .arg(levelColour(finding.level), finding.text.toHtmlEscaped(), rows.join(QStringLiteral("、")));
        for (const QString &caution : finding.cautions)
            html << QStringLiteral("<br/><span style=\"color:#404040\">【宜忌】%1</span>").arg(caution.toHtmlEscaped());
        html << QStringLiteral("</p>");
    }
    m_findingsView->setHtml(html.join(QString()));
}

QList<RxLine> Frmkcf::expandedLines() const
{
    QList<RxLine> lines;
    for (const RxLine &line : m_model->lines()) {
        if (line.isEmpty())
            continue;
        const CompoundName *compound = shippedCompounds().find(line.name);
        lines.append(compound ? expandCompound(line, *compound) : QList<RxLine>{line});
    }
    return lines;
}

QString Frmkcf::doctor() const
{
    const QString signedIn = users::signedInUser();
    if (!signedIn.isEmpty())
        return signedIn;
    // Opened before any login of this run (the first use's set-up): the clinic's user.
    try {
        ds::Database db = ds::openDataFile();
        const std::optional<users::ClinicInfo> clinic = users::loadClinic(db);
        return clinic ? clinic->trimmed()[users::ClinicField::User] : QString();
    } catch (const ds::RunError &) {
        return {};
    }
}

PrescriptionSheet Frmkcf::sheet() const
{
    PrescriptionSheet sheet;
    ds::Database db = ds::openDataFile();
    if (const std::optional<users::ClinicInfo> stored = users::loadClinic(db)) {
        const users::ClinicInfo clinic = stored->trimmed();
        sheet.clinic = clinic[users::ClinicField::Name];
        sheet.address = clinic[users::ClinicField::Address];
        sheet.telephone = clinic[users::ClinicField::Telephone];
    }
    sheet.date = QDate::currentDate();
    sheet.patient = m_patient->text();
    sheet.sex = m_sex->currentText();
    sheet.age = m_age->text();
    sheet.diagnosis = m_diagnosis->text();
    sheet.lines = m_model->lines();
    sheet.doses = m_doses->text();
    sheet.usage = m_usage->text();
    sheet.doctor = doctor();
    return sheet;
}

void Frmkcf::clear()
{
    for (QLineEdit *box : {m_patient, m_age, m_diagnosis})
        box->clear();
    m_sex->setCurrentIndex(0);
    m_pregnant->setChecked(false);
    m_doses->setText(kDefaultDoses);
    m_usage->setText(kDefaultUsage);
    m_doctor->setText(QStringLiteral("医师：%1").arg(doctor()));
    m_status->clear();
    m_model->setLines({});
    m_printed = false;
}

void Frmkcf::newPrescription()
{
    if (m_model->holdsHerbs() && ask(QStringLiteral("清除这张处方，开新处方吗？")) != ui::Answer::Yes)
        return;
    clear();
    editCell(0, HerbLinesModel::Name);
}

void Frmkcf::print()
{
    if (!m_model->holdsHerbs()) {
        ui::msgBox(QStringLiteral("处方中还没有药。"), ui::Icon::Information, ui::Buttons::Ok, kTitle);
        editCell(0, HerbLinesModel::Name);
        return;
    }
    recheck();
    for (const QString &question : printQuestions(m_findings)) {
        if (ask(question) != ui::Answer::Yes)
            return;
    }
    try {
        ui::printPreview({QStringLiteral("处方笺"), sheetHtml(sheet()), ui::Paper::A5, 11}, this);
        m_printed = true;
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
}

void Frmkcf::saveAsFormula()
{
    if (!m_model->holdsHerbs()) {
        ui::msgBox(QStringLiteral("处方中还没有药。"), ui::Icon::Information, ui::Buttons::Ok, kTitle);
        return;
    }
    const std::optional<QString> typed =
        ui::askText({QStringLiteral("保存为协定方"), QStringLiteral("协定方的名称（只保存药味、剂量和用法，不保存病人资料）："), QString()});
    if (!typed)
        return;
    const QString name = ds::aliasKey(*typed);
    if (name.isEmpty()) {
        ui::msgBox(QStringLiteral("请输入协定方的名称。"), ui::Icon::Information, ui::Buttons::Ok, kTitle);
        return;
    }
    const std::shared_ptr<const PadData> data = padData();
    if (!data)
        return;
    // The herb lines and the 用法 only: the patient's details never go into the data file.
    formulas::FormulaRecord record{name, formulas::writeComposition(ingredientsOf(expandedLines())), QString(), QString(),
                                   m_usage->text(), QString(), formulas::kClinicChapter, QString()};
    try {
        ds::Database db = ds::openDataFile();
        if (formulas::addFormula(db, record, data->names()) == formulas::FormulaSave::AlreadyStored) {
            ui::msgBox(QStringLiteral("已经有一首方剂叫“%1”，请换一个名称。").arg(name), ui::Icon::Information, ui::Buttons::Ok, kTitle);
            return;
        }
    } catch (const ds::RunError &error) {
        if (error.number() == int(ds::ErrorCode::ValidationRuleViolated))
            ui::msgBox(error.description(), ui::Icon::Exclamation, ui::Buttons::Ok, kTitle);
        else
            ui::showErrorDescription(error);
        return;
    }
    m_status->setText(QStringLiteral("已保存为协定方“%1”。").arg(name));
}

void Frmkcf::receive(const QString &text)
{
    const QList<RxLine> lines = linesFromText(text);
    if (lines.isEmpty())
        return;
    QList<RxLine> all = m_model->lines();
    // A herb from the browse screen is added; a formula's composition fills the pad.
    if (lines.size() == 1 && lines[0].dose.isEmpty()) {
        all.append({ds::aliasKey(lines[0].name), {}, {}, {}});
        m_model->setLines(all);
        editCell(int(all.size()) - 1, HerbLinesModel::Dose);
        return;
    }
    if (m_model->holdsHerbs()
        && ask(QStringLiteral("处方中已有%1味药。用此方的组成替换它们吗？").arg(all.size())) != ui::Answer::Yes)
        return;
    m_model->setLines(lines);
    m_status->setText(QStringLiteral("已按方剂组成填入%1味药，可以加减。").arg(lines.size()));
    editCell(int(lines.size()), HerbLinesModel::Name);
}

void Frmkcf::closeEvent(QCloseEvent *event)
{
    // Close box, Esc and 退出 alike. Nothing of the prescription is kept once the pad closes.
    if (!ui::isEnding() && m_model->holdsHerbs() && !m_printed
        && ask(QStringLiteral("这张处方还没有打印，关闭后不再保留。确定退出吗？")) != ui::Answer::Yes) {
        event->ignore();
        return;
    }
    // Opened beside another screen it leaves the menus as that screen holds them.
    if (!m_menusUnlocked && startup::openedFromMenu(this)) {
        m_menusUnlocked = true;
        startup::unlockMenus();
    }
    event->accept();
}

} // namespace rx
