#include "browse/frmzyll.h"

#include "browse/column_widths.h"
#include "browse/frozen_column_table.h"
#include "browse/grid_model.h"
#include "datastore/data_file.h"
#include "datastore/herb_aliases.h"
#include "formulas/herb_formula_link.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "ui/fonts.h"
#include "ui/growth.h"
#include "ui/pointer.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

namespace browse {
namespace {

constexpr int kMinimumMainWidth = 12120; // twips: narrower main windows get the screen at their left
constexpr int kRowHeight = 300;          // twips, the header row and every data row
constexpr int kGridWidth = 11490;        // twips, as designed
const QString kHelpMode = QStringLiteral("Y-C");

// Rows keep their 300 twips unless the font needs more: a glyph is never cut by the row below.
int rowHeightPixels(const QFont &font)
{
    return std::max(ui::twips(kRowHeight), ui::rowHeight(font));
}

template <typename Control>
Control *placed(Control *control, const char *name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    ui::placeTwips(control, left, top, width, height);
    return control;
}

QLabel *caption(QWidget *page, const char *name, const QString &text, int left, int top, int width = 600)
{
    return placed(new QLabel(text, page), name, left, top, width, 255);
}

QPushButton *command(QWidget *page, const char *name, const QString &text, int left, int top, int width = 1125)
{
    return placed(new QPushButton(text, page), name, left, top, width, 375);
}

QComboBox *pickList(QWidget *page, const char *name, int left, int top, QStringListModel *items)
{
    auto *list = placed(new QComboBox(page), name, left, top, 2280, 330);
    list->setModel(items);
    // A keyword may also be typed; the query takes the text shown, exactly as typed.
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    list->setMaxVisibleItems(20);
    return list;
}

} // namespace

Frmzyll::Frmzyll(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Frmzyll"));
    setWindowTitle(QStringLiteral("中医药材内容浏览"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Opens at its designed size, or at the size it was left at, and may grow (or be maximized):
    // the grid and the detail boxes take the extra room.
    resize(ui::twips(11880), ui::twips(7680));
    m_growth = new ui::Growth(this);
    m_tabs = placed(new QTabWidget(this), "SSTab1", 60, 60, 11760, 7560);
    m_growth->add(m_tabs, {0, 0, 1, 1});
    auto *queryPage = new QWidget;
    auto *detailPage = new QWidget;
    m_tabs->addTab(queryPage, QStringLiteral("药材查询"));
    m_tabs->addTab(detailPage, QStringLiteral("查询结果浏览"));
    buildQueryTab(queryPage);
    buildConditions(queryPage);
    buildDetailTab(detailPage);
    Form_Load();
}

void Frmzyll::buildQueryTab(QWidget *page)
{
    m_model = new HerbGridModel(this);
    m_model->setAliases(&ds::shippedAliases());
    m_grid = placed(new FrozenColumnTable(page), "Msfgrid", 120, 120, kGridWidth, 4800);
    m_grid->installEventFilter(this); // its resizes share the width out among the columns
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int pixels) { columnResized(column, pixels); });
    // Beside the grid, above its right end: how many herbs it holds.
    m_found = new QLabel(this);
    m_found->setObjectName(QStringLiteral("Labsl"));
    m_found->setContentsMargins(0, 0, ui::twips(120), 0);
    m_tabs->setCornerWidget(m_found, Qt::TopRightCorner);
    m_grid->setToolTip(QStringLiteral("点击鼠标选取要浏览的药材"));
    m_grid->setWordWrap(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_grid, &QAbstractItemView::clicked, this, &Frmzyll::Msfgrid_Click);
    connect(m_grid->frozenView(), &QAbstractItemView::clicked, this, &Frmzyll::Msfgrid_Click);
    m_growth->add(m_grid, {0, 0, 1, 1});

    m_sortChoice = placed(new QComboBox(page), "CboPxnr", 9240, 5100, 2370, 330);
    m_sortChoice->setToolTip(QStringLiteral("点击选取升序排序条件"));
    connect(m_sortChoice, &QComboBox::currentIndexChanged, this, &Frmzyll::CboPxnr_Click);

    m_cmdseek = command(page, "Cmdseek", QStringLiteral("查询&L"), 9240, 5580);
    connect(m_cmdseek, &QPushButton::clicked, this, &Frmzyll::Cmdseek_Click);
    connect(command(page, "Cmdqcls", QStringLiteral("清屏&Q"), 10485, 5580), &QPushButton::clicked, this,
            &Frmzyll::CmdQcls_Click);
    connect(command(page, "CmdHelp", QStringLiteral("使用帮助&H"), 9240, 6060), &QPushButton::clicked, this,
            &Frmzyll::CmdHelp_Click);
    connect(command(page, "Cmdexit", QStringLiteral("退出&E"), 10485, 6060), &QPushButton::clicked, this,
            &Frmzyll::Cmdexit_Click);
    // Beside the grid: the herbs it lists, saved as a workbook.
    connect(command(page, "Cmdexpt", QStringLiteral("导出表格&O"), 9240, 6540, 2370), &QPushButton::clicked, this,
            &Frmzyll::Cmdexpt_Click);
    // The sort choice and the buttons keep to the bottom right corner.
    for (const char *name : {"CboPxnr", "Cmdseek", "Cmdqcls", "CmdHelp", "Cmdexit", "Cmdexpt"})
        m_growth->add(page->findChild<QWidget *>(QLatin1String(name)), {1, 1, 1, 1});
}

void Frmzyll::buildConditions(QWidget *page)
{
    const int rows[] = {5100, 5580, 6060};
    const int columns[] = {120, 3120, 6120};
    caption(page, "Label1", QStringLiteral("名称"), columns[0], rows[0] + 60);
    m_name = placed(new QLineEdit(page), "Txtmcyc", columns[0] + 600, rows[0], 2280, 330);
    m_name->setMaxLength(50);
    m_name->installEventFilter(this); // Enter in any condition runs the query
    caption(page, "Label2", QStringLiteral("性味"), columns[1], rows[0] + 60);
    m_natureItems = new QStringListModel(this);
    m_meridianItems = new QStringListModel(this);
    m_efficacyItems = new QStringListModel(this);
    m_indicationItems = new QStringListModel(this);
    m_nature = pickList(page, "Cboycxw", columns[1] + 600, rows[0], m_natureItems);
    caption(page, "Label3", QStringLiteral("归经"), columns[2], rows[0] + 60);
    m_meridian = pickList(page, "Cboycgj", columns[2] + 600, rows[0], m_meridianItems);

    static const char *const efficacyNames[] = {"Cboycgx1", "Cboycgx2", "Cboycgx3"};
    static const char *const indicationNames[] = {"Cboyczz1", "Cboyczz2", "Cboyczz3"};
    static const char *const labelNames[] = {"Label4", "Label5", "Label6", "Label7", "Label8", "Label9"};
    for (int i = 0; i < 3; ++i) {
        caption(page, labelNames[i], QStringLiteral("功效%1").arg(i + 1), columns[i], rows[1] + 60);
        m_efficacy[size_t(i)] = pickList(page, efficacyNames[i], columns[i] + 600, rows[1], m_efficacyItems);
        caption(page, labelNames[i + 3], QStringLiteral("主治%1").arg(i + 1), columns[i], rows[2] + 60);
        m_indications[size_t(i)] = pickList(page, indicationNames[i], columns[i] + 600, rows[2], m_indicationItems);
    }
    for (QComboBox *list : {m_nature, m_meridian, m_efficacy[0], m_efficacy[1], m_efficacy[2], m_indications[0],
                            m_indications[1], m_indications[2]})
        list->installEventFilter(this);
    // Below the grid, each of the three columns of conditions takes a third of the extra width.
    QWidget *const columnOf[][3] = {{m_name, m_nature, m_meridian},
                                    {m_efficacy[0], m_efficacy[1], m_efficacy[2]},
                                    {m_indications[0], m_indications[1], m_indications[2]}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const double left = column / 3.0;
            const double right = (column + 1) / 3.0;
            m_growth->add(columnOf[row][column], {left, 1, right, 1});
            m_growth->add(page->findChild<QLabel *>(QStringLiteral("Label%1").arg(row * 3 + column + 1)),
                          {left, 1, left, 1});
        }
    }
}

void Frmzyll::buildDetailTab(QWidget *page)
{
    static const char *const labelNames[] = {"Labbq0", "Labbq1", "Labbq2", "Labbq3",
                                             "Labbq4", "Labbq5", "Labbq6", "Labbq7"};
    static const char16_t *const captions[] = {u"名称", u"归经", u"性味", u"功效", u"主治", u"用法", u"宜忌", u"应用心得"};
    // Boxes in the Enter chain's order: name, position shown, and where each lies.
    struct Box {
        const char *name;
        int position;
        int left, top, width, height;
    };
    static const Box boxes[] = {
        {"TxtYcmc", herbs::kName, 720, 120, 2400, 330},         {"Txtycxw", herbs::kNature, 3840, 120, 3000, 330},
        {"Txtycgj", herbs::kMeridian, 7560, 120, 4050, 330},    {"Txtycgy", herbs::kEfficacy, 720, 600, 10890, 900},
        {"Txtyczz", herbs::kIndications, 720, 1620, 10890, 1100}, {"Txtycyj", herbs::kCautions, 720, 2840, 10890, 900},
        {"Txtycyf", herbs::kUsage, 720, 3860, 10890, 900},      {"Txtycxd", herbs::kNotes, 720, 4880, 10890, 1300},
    };
    // On a larger screen the top row's three boxes widen by a third of the extra width each,
    // and the multi-line boxes share the extra height in proportion to their designed heights.
    int tallHeights = 0;
    for (const Box &box : boxes)
        tallHeights += box.height > 330 ? box.height : 0;
    int above = 0;
    const QFont boxFont = ui::chineseFont(QStringLiteral("宋体"), 10.5);
    for (size_t i = 0; i < std::size(boxes); ++i) {
        const Box &box = boxes[i];
        QWidget *control = box.height > 330 ? static_cast<QWidget *>(new QPlainTextEdit(page)) : new QLineEdit(page);
        // Shown to read: the tab has no save, so typing must not look like an edit.
        if (auto *text = qobject_cast<QPlainTextEdit *>(control)) {
            text->setTabChangesFocus(true);
            text->setReadOnly(true);
        } else {
            static_cast<QLineEdit *>(control)->setReadOnly(true);
        }
        control->setFont(boxFont);
        m_detail[i] = placed(control, box.name, box.left, box.top, box.width, box.height);
        control->installEventFilter(this);
        QLabel *label = caption(page, labelNames[box.position], QString::fromUtf16(captions[box.position]),
                                box.left - 600, box.top + (box.height > 330 ? 120 : 60), 480);
        if (box.position == herbs::kNotes) {
            label->setWordWrap(true); // two characters a line beside its box
            label->resize(ui::twips(420), ui::twips(510));
        }
        if (box.height > 330) {
            const double top = double(above) / tallHeights;
            above += box.height;
            m_growth->add(control, {0, top, 1, double(above) / tallHeights});
            m_growth->add(label, {0, top, 0, top});
        } else {
            const double left = double(i) / 3;
            m_growth->add(control, {left, 0, double(i + 1) / 3, 0});
            m_growth->add(label, {left, 0, left, 0});
        }
    }
    m_cmdedit = command(page, "Cmdedit", QStringLiteral("返回首页&B"), 720, 6360, 1800);
    m_cmdedit->setAutoDefault(true);
    connect(m_cmdedit, &QPushButton::clicked, this, &Frmzyll::Cmdedit_Click);
    m_cmdlink = command(page, "CmdLink", QStringLiteral("导入至处方"), 2640, 6360, 1800);
    m_cmdlink->setAutoDefault(true);
    // The herb shown goes onto the open prescription, or a new one opened beside this screen.
    connect(m_cmdlink, &QPushButton::clicked, this, [this] {
        startup::sendToScreen(QStringLiteral("Frmkcf"), static_cast<QLineEdit *>(m_detail[0])->text());
    });
    m_formulas = new formulas::HerbFormulaLink(page);
    ui::placeTwips(m_formulas, 4560, 6360, 2535, 375);
    m_growth->add(m_cmdedit, {0, 1, 0, 1});
    m_growth->add(m_cmdlink, {0, 1, 0, 1});
    m_growth->add(m_formulas, {0, 1, 0, 1});
}

void Frmzyll::placeOnMain()
{
    ui::centreOnMain(this, m_mainWindow, 0, 0);
    if (m_mainWindow && m_mainWindow->width() < ui::twips(kMinimumMainWidth))
        move(x() - (m_mainWindow->width() - width()) / 2, y());
}

void Frmzyll::Form_Load()
{
    restoreSize();
    placeOnMain();
    ui::yield();
    m_grid->setModel(m_model);
    QHeaderView *columns = m_grid->horizontalHeader();
    QHeaderView *rows = m_grid->verticalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setMinimumSectionSize(0); // a column narrowed to nothing is hidden
    columns->setHighlightSections(false);
    rows->setSectionResizeMode(QHeaderView::Interactive);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeightPixels(m_grid->font()));
    rows->setFixedWidth(ui::twips(150)); // a narrow strip to drag row heights by
    ReadColW();
    ui::yield();
    Qpcls();
    {
        const QSignalBlocker quiet(m_sortChoice);
        m_sortChoice->clear();
        m_sortChoice->addItems(kSortChoices);
        m_sortChoice->setCurrentIndex(0);
    }
    CboPxnr_Click();
    ui::yield();
}

void Frmzyll::CboPxnr_Click()
{
    Cmdseek_Click();
}

void Frmzyll::CmdQcls_Click()
{
    Qpcls();
    ui::yield();
}

void Frmzyll::Cmdedit_Click()
{
    m_tabs->setCurrentIndex(0);
    QpcZd();
    m_cmdseek->setFocus();
    ui::yield();
}

void Frmzyll::Cmdexit_Click()
{
    leave();
}

void Frmzyll::leave()
{
    if (m_left)
        return;
    m_left = true;
    WriteColW();
    ui::yield();
    close(); // unloads the screen; nothing of it is touched after this
    ui::yield();
    startup::unlockMenus();
}

void Frmzyll::closeEvent(QCloseEvent *event)
{
    // The window's close box leaves the screen as 退出 does: widths kept, menus given back.
    if (!m_left) {
        m_left = true;
        WriteColW();
        startup::unlockMenus();
    }
    event->accept();
}

void Frmzyll::CmdHelp_Click()
{
    setEnabled(false);
    startup::setRunMode(kHelpMode);
    startup::openHelp(QStringLiteral("browse"));
    // The help window is a window of its own: the screen is usable at once.
    setEnabled(true);
}

void Frmzyll::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ui::setNormalPointer();
    QWidget::changeEvent(event);
}

void Frmzyll::ReadColW()
{
    m_grid->horizontalHeader()->setFixedHeight(rowHeightPixels(m_grid->font()));
    const StoredWidths widths = browse::ReadColW(ds::dataPaths().dataFile);
    for (int column = 0; column < kGridColumns; ++column)
        m_widths[size_t(column)] = widths[size_t(column)].value_or(m_grid->columnWidth(column) * 15);
    shareOutWidths();
}

void Frmzyll::WriteColW()
{
    const bool maximized = isMaximized();
    const QSize normal = maximized ? normalGeometry().size() : size();
    browse::WriteColW(ds::dataPaths().dataFile, m_widths, {normal.width() * 15, normal.height() * 15, maximized});
}

double Frmzyll::widthShare() const
{
    int designed = 0;
    for (int width : m_widths)
        designed += ui::twips(width);
    const int wider = m_grid->width() - ui::twips(kGridWidth);
    return designed > 0 && wider > 0 ? 1.0 + double(wider) / designed : 1.0;
}

void Frmzyll::shareOutWidths()
{
    const double share = widthShare();
    m_sharingOut = true;
    for (int column = 0; column < kGridColumns; ++column)
        m_grid->setColumnWidth(column, int(std::lround(ui::twips(m_widths[size_t(column)]) * share)));
    m_sharingOut = false;
}

void Frmzyll::columnResized(int column, int pixels)
{
    if (!m_sharingOut && column >= 0 && column < kGridColumns)
        m_widths[size_t(column)] = int(std::lround(pixels * 15 / widthShare()));
}

void Frmzyll::restoreSize()
{
    const WindowSize kept = ReadWindowSize(ds::dataPaths().dataFile);
    if (kept.width > 0 && kept.height > 0) {
        const QSize room = screen()->availableGeometry().size();
        resize(QSize(ui::twips(kept.width), ui::twips(kept.height)).boundedTo(room).expandedTo(minimumSize()));
    }
    if (kept.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

} // namespace browse
