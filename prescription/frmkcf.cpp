#include "prescription/frmkcf.h"

#include "prescription/herb_lines_model.h"
#include "prescription/lines_delegate.h"
#include "ui/fonts.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>
#include <QTextEdit>

namespace rx {
namespace {

QFont fieldFont()
{
    return ui::chineseFont(QStringLiteral("宋体"), 10.5);
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, int left, int top, int width)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(fieldFont());
    ui::placeTwips(label, left, top + 45, width, 240);
    return label;
}

QLineEdit *field(QWidget *parent, const char *name, int left, int top, int width)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(fieldFont());
    ui::placeTwips(box, left, top, width, 315);
    return box;
}

QPushButton *command(QWidget *parent, const char *name, const QString &text, int left, int top, int width)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);
    ui::placeTwips(button, left, top, width, 375);
    return button;
}

} // namespace

Frmkcf::Frmkcf(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Frmkcf"));
    setWindowTitle(QStringLiteral("开处方"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::fixClientSizeTwips(this, 11700, 7260);
    buildPatient();
    buildLines();
    buildFooter();
    orderTabs();
    ui::centreOnMain(this, m_mainWindow, 0, 0);
    clear();
}

void Frmkcf::buildPatient()
{
    caption(this, "Label1", QStringLiteral("姓名"), 120, 120, 480);
    m_patient = field(this, "Txtxm", 600, 120, 1500);
    caption(this, "Label2", QStringLiteral("性别"), 2220, 120, 480);
    m_sex = new QComboBox(this);
    m_sex->setObjectName(QStringLiteral("Cboxb"));
    m_sex->setFont(fieldFont());
    m_sex->addItems({QString(), QStringLiteral("男"), QStringLiteral("女")});
    ui::setComfortableRows(m_sex->view());
    ui::placeTwips(m_sex, 2700, 120, 900, 315);
    caption(this, "Label3", QStringLiteral("年龄"), 3720, 120, 480);
    m_age = field(this, "Txtnl", 4200, 120, 900);
    m_pregnant = new QCheckBox(QStringLiteral("孕妇&Y"), this);
    m_pregnant->setObjectName(QStringLiteral("Chkyf"));
    m_pregnant->setFont(fieldFont());
    ui::placeTwips(m_pregnant, 5280, 120, 1200, 315);
    caption(this, "Label4", QStringLiteral("诊断"), 120, 540, 480);
    m_diagnosis = field(this, "Txtzd", 600, 540, 6480);
    for (QWidget *box : {static_cast<QWidget *>(m_patient), static_cast<QWidget *>(m_sex), static_cast<QWidget *>(m_age),
                         static_cast<QWidget *>(m_pregnant), static_cast<QWidget *>(m_diagnosis)})
        box->installEventFilter(this);
    connect(m_pregnant, &QCheckBox::toggled, this, [this](bool pregnant) {
        // A pregnant patient is a woman; the sheet says so unless another sex was chosen.
        if (pregnant && m_sex->currentIndex() == 0)
            m_sex->setCurrentIndex(2);
        recheck();
    });
}

void Frmkcf::buildLines()
{
    m_model = new HerbLinesModel(this);
    m_delegate = new LinesDelegate([this](QWidget *editor, int column, QKeyEvent *key) { return editorKey(editor, column, key); },
                                   [this](QLineEdit *editor, int column) { editorMade(editor, column); }, this);
    m_lines = new QTableView(this);
    m_lines->setObjectName(QStringLiteral("Grdcf"));
    m_lines->setFont(fieldFont());
    m_lines->setModel(m_model);
    ui::setComfortableRows(m_lines); // the rows' height; the editors come from the delegate below
    m_lines->setItemDelegate(m_delegate);
    m_lines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lines->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    m_lines->setTabKeyNavigation(true);
    m_lines->setWordWrap(false);
    ui::placeTwips(m_lines, 120, 960, 6960, 4800);
    QHeaderView *columns = m_lines->horizontalHeader();
    const int widths[] = {1650, 720, 570, 930};
    for (int column = 0; column < HerbLinesModel::Marks; ++column)
        columns->resizeSection(column, ui::twips(widths[column]));
    columns->setStretchLastSection(true);
    m_lines->verticalHeader()->setFixedWidth(ui::twips(450));
    m_lines->installEventFilter(this);
    connect(m_model, &HerbLinesModel::linesChanged, this, [this] {
        m_printed = false;
        recheck();
    });

    // The completion list stands over the lines below the name being typed; the name keeps the
    // keyboard, and its arrow keys and Enter work the list.
    m_completionTexts = new QStringListModel(this);
    m_completion = new QListView(this);
    m_completion->setObjectName(QStringLiteral("Lstbm"));
    m_completion->setFont(fieldFont());
    m_completion->setModel(m_completionTexts);
    m_completion->setFocusPolicy(Qt::NoFocus);
    m_completion->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_completion->setUniformItemSizes(true);
    ui::setComfortableRows(m_completion);
    m_completion->hide();
    connect(m_completion, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_completion->setCurrentIndex(index);
        if (auto *editor = qobject_cast<QLineEdit *>(QWidget::focusWidget()); editor && editor->objectName() == QLatin1String("Txtmc")) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            editorKey(editor, HerbLinesModel::Name, &enter);
        }
    });

    caption(this, "Label5", QStringLiteral("核对结果"), 7200, 60, 1500);
    m_findingsView = new QTextEdit(this);
    m_findingsView->setObjectName(QStringLiteral("Txtjg"));
    m_findingsView->setReadOnly(true);
    m_findingsView->setFont(ui::chineseFont(QStringLiteral("宋体"), 10));
    m_findingsView->setFocusPolicy(Qt::ClickFocus);
    ui::placeTwips(m_findingsView, 7200, 420, 4380, 5340);
}

void Frmkcf::buildFooter()
{
    caption(this, "Label6", QStringLiteral("剂数"), 120, 5880, 480);
    m_doses = field(this, "Txtjs", 600, 5880, 600);
    caption(this, "Label7", QStringLiteral("付"), 1260, 5880, 300);
    caption(this, "Label8", QStringLiteral("用法"), 1680, 5880, 480);
    m_usage = field(this, "Txtyf", 2160, 5880, 4920);
    m_doctor = caption(this, "Labys", QString(), 120, 6300, 3000);
    m_status = caption(this, "Labzt", QString(), 120, 6780, 11460);
    for (QLineEdit *box : {m_doses, m_usage})
        box->installEventFilter(this);
    connect(m_usage, &QLineEdit::textChanged, this, [this] { recheck(); });

    m_new = command(this, "Cmdnew", QStringLiteral("新处方&N"), 7200, 5880, 1380);
    m_print = command(this, "Cmdprnt", QStringLiteral("打印&P"), 8700, 5880, 1380);
    m_save = command(this, "Cmdsave", QStringLiteral("保存为协定方&S"), 10200, 5880, 1380);
    m_exit = command(this, "Cmdexit", QStringLiteral("退出&E"), 10200, 6360, 1380);
    connect(m_new, &QPushButton::clicked, this, &Frmkcf::newPrescription);
    connect(m_print, &QPushButton::clicked, this, &Frmkcf::print);
    connect(m_save, &QPushButton::clicked, this, &Frmkcf::saveAsFormula);
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
}

void Frmkcf::orderTabs()
{
    const QList<QWidget *> order{m_patient, m_sex, m_age,   m_pregnant, m_diagnosis, m_lines,
                                 m_doses,   m_usage, m_new, m_print,    m_save,      m_exit};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

bool Frmkcf::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_lines) {
        // Outside an edit: Ctrl+V pastes a prescription at the current line, Ctrl+Delete removes it.
        if (key->matches(QKeySequence::Paste))
            return pasteInto(currentRow(), QGuiApplication::clipboard()->text());
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            removeLine(currentRow());
            return true;
        }
        return false;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && watched->isWidgetType()) {
        fieldEnter(static_cast<QWidget *>(watched));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Frmkcf::fieldEnter(QWidget *field)
{
    // The Enter chain: patient, herb lines, 剂数, 用法, 打印.
    if (field == m_patient)
        m_sex->setFocus();
    else if (field == m_sex)
        m_age->setFocus();
    else if (field == m_age)
        m_pregnant->setFocus();
    else if (field == m_pregnant)
        m_diagnosis->setFocus();
    else if (field == m_diagnosis)
        editCell(int(m_model->lines().size()), HerbLinesModel::Name);
    else if (field == m_doses)
        m_usage->setFocus();
    else if (field == m_usage)
        m_print->setFocus();
}

} // namespace rx
