#include "herbs/frmzyyc.h"

#include "datastore/errors.h"
#include "formulas/herb_formula_link.h"
#include "herbs/typing_limit.h"
#include "herbs/unsaved_changes.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/fonts.h"
#include "ui/pointer.h"
#include "ui/program.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

namespace herbs {
namespace {

const QColor kFieldFill(192, 192, 255);

QFont fieldFont()
{
    return ui::chineseFont(QStringLiteral("宋体"), 10.5);
}

void paintField(QWidget *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, kFieldFill);
    box->setPalette(palette);
    box->setFont(fieldFont());
}

QLabel *fieldLabel(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(fieldFont());
    ui::placeTwips(label, left, top, width, height);
    return label;
}

QPlainTextEdit *notesBox(QWidget *parent, const char *name, int left, int top, int width, int height, int limit,
                         const TypingLimit::CutReport &report)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    paintField(box);
    ui::placeTwips(box, left, top, width, height);
    TypingLimit::apply(box, limit, report);
    return box;
}

QComboBox *valueCombo(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: completing it to a stored value would change the
    // condition of a search and the text that is saved.
    combo->setCompleter(nullptr);
    paintField(combo);
    ui::setComfortableRows(combo->view());
    ui::placeTwips(combo, left, top, width, height);
    return combo;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter on the focused button presses it: the Enter chain of the fields ends on 保存.
    button->setAutoDefault(true);
    ui::placeTwips(button, left, top, width, 325);
    return button;
}

// Box texts hold line breaks as LF; the record's texts hold them as CR LF.
QString toRecordText(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString toBoxText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

Frmzyyc::Frmzyyc(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
    , m_listSource(kHerbTable)
{
    setObjectName(QStringLiteral("Frmzyyc"));
    setWindowTitle(QStringLiteral("中医药材登录"));
    setAttribute(Qt::WA_DeleteOnClose); // left through 退出 or the close box, it is unloaded
    ui::fixClientSizeTwips(this, 10695, 7215); // the status line below the designed 7020
    buildControls();
    ui::centreOnMain(this, m_mainWindow, 0, 0);
    clearTrapped();
}

void Frmzyyc::buildControls()
{
    placeFieldControls();
    placeButtonsAndList();
    orderTabs();
    for (int field = 0; field < kHerbFieldCount; ++field)
        fieldControl(field)->installEventFilter(this); // after the typing limits: runs first
}

void Frmzyyc::placeFieldControls()
{
    // A cut is told at once: what went past the box's end is not visible otherwise.
    m_labzt = new QLabel(this);
    m_labzt->setObjectName(QStringLiteral("Labzt"));
    ui::placeTwips(m_labzt, 600, 6915, 7215, 255);
    const TypingLimit::CutReport report = [this](qsizetype kept) { showStatus(cutNotice(kept)); };

    fieldLabel(this, "Label5", QStringLiteral("名称"), 120, 240, 420, 210);
    m_txtycmc = new QLineEdit(this);
    m_txtycmc->setObjectName(QStringLiteral("Txtycmc"));
    paintField(m_txtycmc);
    ui::placeTwips(m_txtycmc, 600, 120, 1695, 325);
    TypingLimit::apply(m_txtycmc, 10, report);

    fieldLabel(this, "Label6", QStringLiteral("性味"), 2400, 240, 420, 210);
    m_cboycxw = valueCombo(this, "Cboycxw", 2880, 120, 1935, 330);
    fieldLabel(this, "Label7", QStringLiteral("归经"), 4920, 240, 420, 210);
    m_cboycgj = valueCombo(this, "Cboycgj", 5400, 120, 2415, 330);

    fieldLabel(this, "Label1", QStringLiteral("功效"), 120, 960, 420, 210);
    m_txtycgy = notesBox(this, "Txtycgy", 600, 600, 7215, 855, 220, report);
    fieldLabel(this, "Label2", QStringLiteral("主治"), 120, 1800, 420, 210);
    m_txtyczz = notesBox(this, "Txtyczz", 600, 1560, 7215, 855, 300, report);
    fieldLabel(this, "Label4", QStringLiteral("用法"), 120, 2880, 420, 210);
    m_txtycyf = notesBox(this, "Txtycyf", 600, 2520, 7215, 1095, 300, report);
    fieldLabel(this, "Label3", QStringLiteral("宜忌"), 120, 4200, 420, 210);
    m_txtycyj = notesBox(this, "Txtycyj", 600, 3720, 7215, 1215, 300, report);
    // Two characters a line in its narrow box: the caption wraps onto two lines.
    fieldLabel(this, "Label8", QStringLiteral("临床心得"), 120, 5640, 420, 420)->setWordWrap(true);
    m_txtycgb = notesBox(this, "Txtycgb", 600, 5040, 7215, 1815, 2000, report);
}

void Frmzyyc::placeButtonsAndList()
{
    // Tens of thousands of names: a view over a list of texts, every row the same height, so
    // neither item objects nor a measure of each row are made.
    m_names = new QStringListModel(this);
    m_listycmc = new QListView(this);
    m_listycmc->setObjectName(QStringLiteral("Listycmc"));
    m_listycmc->setUniformItemSizes(true);
    m_listycmc->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listycmc->setModel(m_names);
    paintField(m_listycmc);
    ui::setComfortableRows(m_listycmc);
    ui::placeTwips(m_listycmc, 8040, 120, 2535, 3960);
    connect(m_listycmc, &QListView::clicked, this, &Frmzyyc::listycmcClick);
    // Below the names, once a herb is loaded: the formulas that hold it.
    m_formulas = new formulas::HerbFormulaLink(this);
    ui::placeTwips(m_formulas, 8040, 4170, 2535, 375);

    m_cmdsave = button(this, "Cmdsave", QStringLiteral("保存&B"), 8040, 4680, 1200);
    m_cmdedit = button(this, "Cmdedit", QStringLiteral("修改&X"), 9360, 4680, 1200);
    m_cmddele = button(this, "Cmddele", QStringLiteral("删除&D"), 8040, 5160, 1200);
    m_cmdseek = button(this, "Cmdseek", QStringLiteral("查询&S"), 9360, 5160, 1200);
    m_cmdqcls = button(this, "Cmdqcls", QStringLiteral("清屏&Q"), 8040, 5640, 1200);
    m_cmdprnt = button(this, "Cmdprnt", QStringLiteral("编辑打印&P"), 9360, 5640, 1200);
    m_cmdexit = button(this, "Cmdexit", QStringLiteral("退出&E"), 8040, 6120, 2520);
    connect(m_cmdsave, &QPushButton::clicked, this, &Frmzyyc::cmdsaveClick);
    connect(m_cmdedit, &QPushButton::clicked, this, &Frmzyyc::cmdeditClick);
    connect(m_cmddele, &QPushButton::clicked, this, &Frmzyyc::cmddeleClick);
    connect(m_cmdseek, &QPushButton::clicked, this, &Frmzyyc::cmdseekClick);
    connect(m_cmdqcls, &QPushButton::clicked, this, &Frmzyyc::cmdqclsClick);
    connect(m_cmdprnt, &QPushButton::clicked, this, &Frmzyyc::cmdprntClick);
    connect(m_cmdexit, &QPushButton::clicked, this, &Frmzyyc::cmdexitClick);

    auto *label9 = new QLabel(QStringLiteral("本系统收集药材达"), this);
    label9->setObjectName(QStringLiteral("Label9"));
    ui::placeTwips(label9, 8040, 6600, 1680, 180);
    m_labycsl = new QLabel(QStringLiteral("味"), this);
    m_labycsl->setObjectName(QStringLiteral("Labycsl"));
    m_labycsl->move(ui::twips(9960), ui::twips(6600));
    m_labycsl->adjustSize();
    m_labbm = new QLabel(this);
    m_labbm->setObjectName(QStringLiteral("Labbm"));
    m_labbm->setAlignment(Qt::AlignLeft | Qt::AlignTop); // the last line of the window: no room below
    ui::placeTwips(m_labbm, 8040, 6780, 2535, 240);
}

void Frmzyyc::orderTabs()
{
    // Tab indexes take 用法 before 主治; the Enter chain goes the other way.
    const QList<QWidget *> order{m_txtycmc, m_cboycxw, m_cboycgj, m_txtycgy, m_txtycyf, m_txtyczz,
                                 m_txtycyj, m_txtycgb, m_cmdsave,  m_cmdedit, m_cmdseek, m_cmdprnt,
                                 m_cmdqcls, m_cmddele, m_listycmc, m_formulas, m_cmdexit};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget *Frmzyyc::fieldControl(int field) const
{
    switch (field) {
    case kName:
        return m_txtycmc;
    case kMeridian:
        return m_cboycgj;
    case kNature:
        return m_cboycxw;
    case kEfficacy:
        return m_txtycgy;
    case kIndications:
        return m_txtyczz;
    case kUsage:
        return m_txtycyf;
    case kCautions:
        return m_txtycyj;
    default:
        return m_txtycgb;
    }
}

QString Frmzyyc::fieldText(int field) const
{
    QWidget *control = fieldControl(field);
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return line->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return toRecordText(static_cast<QPlainTextEdit *>(control)->toPlainText());
}

void Frmzyyc::setFieldText(int field, const QString &text)
{
    QWidget *control = fieldControl(field);
    if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
    else
        static_cast<QPlainTextEdit *>(control)->setPlainText(toBoxText(text));
}

HerbRecord Frmzyyc::fieldTexts() const
{
    HerbRecord texts;
    for (int field = 0; field < kHerbFieldCount; ++field)
        texts[field] = fieldText(field);
    return texts;
}

void Frmzyyc::setFieldTexts(const HerbRecord &texts)
{
    for (int field = 0; field < kHerbFieldCount; ++field)
        setFieldText(field, texts[field]);
}

void Frmzyyc::clearTrapped()
{
    // Loading and the clear button have no trap of their own: a data file that cannot be read
    // is reported and the screen stays open for another try.
    try {
        Qpcls();
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        ui::setNormalPointer();
    }
}

void Frmzyyc::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ui::setNormalPointer();
    QWidget::changeEvent(event);
}

void Frmzyyc::closeEvent(QCloseEvent *event)
{
    // The close box and Esc leave the screen the same way as 退出.
    if (!ui::isEnding() && !mayDropChanges()) {
        event->ignore();
        return;
    }
    if (!m_menusUnlocked) {
        m_menusUnlocked = true;
        startup::unlockMenus();
    }
    event->accept();
}

} // namespace herbs
