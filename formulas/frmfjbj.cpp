#include "formulas/frmfjbj.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "datastore/herb_aliases.h"
#include "datastore/text_trim.h"
#include "formulas/herb_names.h"
#include "startup/window_keys.h"
#include "ui/error_box.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace formulas {
namespace {

QString boxText(const QWidget *box)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(box))
        return line->text();
    return static_cast<const QPlainTextEdit *>(box)->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace

Frmfjbj::Frmfjbj(QWidget *owner, const std::optional<FormulaRecord> &stored)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("Frmfjbj"));
    setWindowTitle(stored ? QStringLiteral("修改方剂") : QStringLiteral("登录协定方"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::fixClientSizeTwips(this, 8400, 7020);
    struct Box {
        int field;
        const char *name;
        const char16_t *caption;
        int top, height;
    };
    static const Box boxes[] = {
        {kFormulaName, "Txtfjmc", u"方名", 120, 330}, {kComposition, "Txtfjzc", u"组成", 540, 1200},
        {kEffects, "Txtfjgy", u"功用", 1830, 600},    {kIndications, "Txtfjzz", u"主治", 2520, 900},
        {kUsage, "Txtfjyf", u"用法", 3510, 600},      {kSource, "Txtfjly", u"来源", 4200, 330},
        {kChapter, "Txtfjbz", u"分类", 4620, 330},    {kNotes, "Txtfjxd", u"心得", 5040, 1260},
    };
    const QFont boxFont = ui::chineseFont(QStringLiteral("宋体"), 10.5);
    for (const Box &box : boxes) {
        QString text = stored ? ds::trimSpaces((*stored)[size_t(box.field)]) : QString();
        if (!stored && box.field == kChapter)
            text = kClinicChapter;
        QWidget *control;
        if (box.height > 330) {
            auto *lines = new QPlainTextEdit(text.replace(QLatin1String("\r\n"), QLatin1String("\n")), this);
            lines->setTabChangesFocus(true);
            control = lines;
        } else {
            control = new QLineEdit(box.field == kFormulaName ? ds::aliasKey(text) : text, this);
        }
        control->setObjectName(QLatin1String(box.name));
        control->setFont(boxFont);
        ui::placeTwips(control, 720, box.top, 7560, box.height);
        ui::placeTwips(new QLabel(QString::fromUtf16(box.caption), this), 120, box.top + 60, 540, 255);
        m_boxes[size_t(box.field)] = control;
    }
    m_boxes[kComposition]->setToolTip(QStringLiteral("每味药写成药名加剂量，如“桂枝9g、芍药9g”；煎法写在括号中，如“石膏30g（先煎）”"));
    if (stored)
        m_storedName = (*stored)[kFormulaName];
    auto *saveButton = new QPushButton(QStringLiteral("保存&S"), this);
    saveButton->setObjectName(QStringLiteral("Cmdsave"));
    ui::placeTwips(saveButton, 5760, 6480, 1125, 375);
    auto *leave = new QPushButton(QStringLiteral("退出&E"), this);
    leave->setObjectName(QStringLiteral("Cmdexit"));
    ui::placeTwips(leave, 7155, 6480, 1125, 375);
    for (QPushButton *button : {saveButton, leave})
        button->setAutoDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &Frmfjbj::save);
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);
    startup::installWindowKeys(this, startup::helpSection(QStringLiteral("Frmfjcx")));
    m_boxes[kFormulaName]->setFocus();
    m_opened = texts();
}

void Frmfjbj::reject()
{
    const ui::Message question{QStringLiteral("输入的内容还没有保存，放弃吗？"), ui::Icon::Question, ui::Buttons::YesNo,
                               QString(), ui::Answer::No};
    if (texts() != m_opened && ui::msgBox(question) != ui::Answer::Yes)
        return;
    QDialog::reject();
}

FormulaRecord Frmfjbj::texts() const
{
    FormulaRecord texts;
    for (int field = 0; field < kFormulaFieldCount; ++field)
        texts[size_t(field)] = boxText(m_boxes[size_t(field)]);
    return texts;
}

void Frmfjbj::save()
{
    const FormulaRecord typed = texts();
    if (ds::trimSpaces(typed[kFormulaName]).isEmpty()) {
        ui::msgBox(QStringLiteral("请输入方名。"), ui::Icon::Information);
        m_boxes[kFormulaName]->setFocus();
        return;
    }
    try {
        ds::Database db = ds::openDataFile();
        const HerbNames names = HerbNames::ofDataFile(db);
        if (m_storedName) {
            if (!changeFormula(db, *m_storedName, typed, names)) {
                ui::msgBox(QStringLiteral("方剂“%1”已经不在方剂表中，没有保存。").arg(ds::aliasKey(*m_storedName)), ui::Icon::Information);
                return;
            }
        } else if (addFormula(db, typed, names) == FormulaSave::AlreadyStored) {
            ui::msgBox(QStringLiteral("已经有一首方剂叫“%1”，没有保存。要改它请在列表中选它再按“修改”。")
                           .arg(ds::aliasKey(typed[kFormulaName])),
                       ui::Icon::Information);
            m_boxes[kFormulaName]->setFocus();
            return;
        }
        if (const std::optional<FormulaRecord> saved = findFormula(db, typed[kFormulaName]))
            m_savedName = (*saved)[kFormulaName];
    } catch (const ds::RunError &error) {
        // The refusal names the herb or the part it could not read; what was typed stays.
        ui::showErrorDescription(error);
        m_boxes[error.number() == int(ds::ErrorCode::DuplicateName) ? kFormulaName : kComposition]->setFocus();
        return;
    }
    accept();
}

} // namespace formulas
