#include "formulas/frmfjcx.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "formulas/formula_list_model.h"
#include "formulas/formula_page.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/growth.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>

namespace formulas {
namespace {

const QString kAllChapters = QStringLiteral("（全部）");

template <typename Control>
Control *placed(Control *control, const char *name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    ui::placeTwips(control, left, top, width, height);
    return control;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    return placed(new QLabel(text, parent), name, left, top + 60, 840, 255);
}

QLineEdit *condition(QWidget *parent, const char *name, int left, int top, int width, const QString &tip)
{
    auto *box = placed(new QLineEdit(parent), name, left, top, width, 330);
    box->setMaxLength(100);
    box->setToolTip(tip);
    return box;
}

} // namespace

Frmfjcx::Frmfjcx(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Frmfjcx"));
    setWindowTitle(QStringLiteral("中医方剂查询"));
    setAttribute(Qt::WA_DeleteOnClose);
    // May grow: the list and the formula's page take the extra room.
    resize(ui::twips(11880), ui::twips(7440));
    m_growth = new ui::Growth(this);
    buildConditions();
    buildList();
    buildButtons();
    orderTabs();
    ui::centreOnMain(this, m_mainWindow, 0, 0);
    m_name->setFocus(); // the window opens on the name condition
    search({}, true);
}

void Frmfjcx::buildConditions()
{
    caption(this, "Label1", QStringLiteral("方名"), 120, 120);
    m_name = condition(this, "Txtfjmc", 960, 120, 2520, QStringLiteral("方名的一部分、拼音首字母（如 xch）或简称（如 六味丸）"));
    caption(this, "Label2", QStringLiteral("药物"), 3600, 120);
    m_herbs = condition(this, "Txtfjyw", 4440, 120, 3720,
                        QStringLiteral("一味或几味药，以空格或顿号分开，方中须全有；原药也找到它的炮制品（半夏 找到 法半夏）"));
    caption(this, "Label3", QStringLiteral("功用主治"), 120, 540);
    m_words = condition(this, "Txtgyzz", 960, 540, 2520, QStringLiteral("功用或主治中的词，几个词以空格分开"));
    caption(this, "Label4", QStringLiteral("分类"), 3600, 540);
    m_chapter = placed(new QComboBox(this), "Cbofjfl", 4440, 540, 2520, 330);
    m_chapter->setMaxVisibleItems(24);
    connect(m_chapter, &QComboBox::activated, this, [this] { search(); }); // a chapter picked is searched at once
    m_cmdseek = placed(new QPushButton(QStringLiteral("查询&L"), this), "Cmdseek", 8400, 105, 1125, 375);
    m_cmdqcls = placed(new QPushButton(QStringLiteral("清屏&Q"), this), "Cmdqcls", 9645, 105, 1125, 375);
    connect(m_cmdseek, &QPushButton::clicked, this, &Frmfjcx::Cmdseek_Click);
    connect(m_cmdqcls, &QPushButton::clicked, this, &Frmfjcx::Cmdqcls_Click);
    m_found = placed(new QLabel(this), "Labsl", 8400, 600, 2370, 255);
    for (QWidget *box : {static_cast<QWidget *>(m_name), static_cast<QWidget *>(m_herbs), static_cast<QWidget *>(m_words),
                         static_cast<QWidget *>(m_chapter)})
        box->installEventFilter(this); // Enter in any condition searches
    m_growth->add(m_name, {0, 0, 0.3, 0});
    m_growth->add(m_words, {0, 0, 0.3, 0});
    m_growth->add(m_herbs, {0.3, 0, 0.7, 0});
    m_growth->add(m_chapter, {0.3, 0, 0.7, 0});
    for (const char *name : {"Label2", "Label4"})
        m_growth->add(findChild<QWidget *>(QLatin1String(name)), {0.3, 0, 0.3, 0});
    for (QWidget *control : {static_cast<QWidget *>(m_cmdseek), static_cast<QWidget *>(m_cmdqcls), static_cast<QWidget *>(m_found)})
        m_growth->add(control, {1, 0, 1, 0});
}

void Frmfjcx::buildList()
{
    m_model = new FormulaListModel(this);
    m_list = placed(new QTableView(this), "Lstfj", 120, 1020, 4560, 5700);
    m_list->setModel(m_model);
    m_list->setToolTip(QStringLiteral("点击表头按该列排序"));
    m_list->setWordWrap(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setTabKeyNavigation(false);
    m_list->verticalHeader()->hide();
    ui::setComfortableRows(m_list);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->setColumnWidth(FormulaListModel::kNameColumn, ui::twips(1800));
    m_list->setColumnWidth(FormulaListModel::kChapterColumn, ui::twips(1020));
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(FormulaListModel::kNameColumn, Qt::AscendingOrder);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { showRow(current.row()); });
    m_growth->add(m_list, {0, 0, 0.4, 1});

    m_detail = placed(new QTextBrowser(this), "Txtfjnr", 4800, 1020, 6960, 5700);
    m_detail->setOpenLinks(false);
    m_detail->setToolTip(QStringLiteral("点击药名查看该药材的资料"));
    connect(m_detail, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { openHerb(herbOfLink(link.toString(QUrl::FullyEncoded))); });
    m_growth->add(m_detail, {0.4, 0, 1, 1});
}

void Frmfjcx::buildButtons()
{
    struct Button {
        const char *name;
        const char16_t *text;
        void (Frmfjcx::*clicked)();
        int width;
    };
    static const Button buttons[] = {
        {"Cmdadd", u"新增&A", &Frmfjcx::Cmdadd_Click, 1125},         {"Cmdedit", u"修改&X", &Frmfjcx::Cmdedit_Click, 1125},
        {"Cmddele", u"删除&D", &Frmfjcx::Cmddele_Click, 1125},       {"Cmdprnt", u"打印&P", &Frmfjcx::Cmdprnt_Click, 1125},
        {"Cmdexpt", u"导出&O", &Frmfjcx::Cmdexpt_Click, 1125},       {"Cmdkcf", u"以此方开方&K", &Frmfjcx::Cmdkcf_Click, 1650},
        {"CmdHelp", u"使用帮助&H", &Frmfjcx::CmdHelp_Click, 1400}, {"Cmdexit", u"退出&E", nullptr, 1125},
    };
    int left = 120;
    for (const Button &button : buttons) {
        auto *control = placed(new QPushButton(QString::fromUtf16(button.text), this), button.name, left, 6900, button.width, 375);
        control->setAutoDefault(true); // Enter on the focused button presses it
        if (button.clicked)
            connect(control, &QPushButton::clicked, this, button.clicked);
        else
            connect(control, &QPushButton::clicked, this, &QWidget::close);
        m_growth->add(control, {0, 1, 0, 1});
        m_buttons.append(control);
        left += button.width + 120;
    }
    m_buttons[0]->setToolTip(QStringLiteral("登录本院协定方"));
    m_buttons[5]->setToolTip(QStringLiteral("把这首方的组成交给开处方窗口"));
}

void Frmfjcx::orderTabs()
{
    QList<QWidget *> order{m_name, m_herbs, m_words, m_chapter, m_cmdseek, m_cmdqcls, m_list, m_detail};
    for (QPushButton *button : m_buttons)
        order.append(button);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

FormulaConditions Frmfjcx::conditions() const
{
    const QString chapter = m_chapter->currentIndex() > 0 ? m_chapter->currentText() : QString();
    return {m_name->text(), m_herbs->text(), m_words->text(), chapter};
}

void Frmfjcx::refreshChapters(const QList<FormulaRow> &all)
{
    const QString chosen = m_chapter->currentText();
    m_chapter->clear();
    m_chapter->addItems(QStringList{kAllChapters} + chaptersOf(all));
    m_chapter->setCurrentIndex(std::max(0, m_chapter->findText(chosen)));
}

bool Frmfjcx::search(const QString &choose, bool quiet)
{
    const ui::BusyPointer busy;
    try {
        FormulaFound found;
        {
            ds::Database db = ds::openDataFile();
            const FormulaConditions asked = conditions();
            found = findFormulas(db, asked);
            // The whole list brings the chapters up to date: a formula may have come or gone.
            const bool whole = asked.name.isEmpty() && asked.herbs.isEmpty() && asked.words.isEmpty() && asked.chapter.isEmpty();
            if (whole || m_chapter->count() == 0)
                refreshChapters(whole ? found.rows : findFormulas(db, {}).rows);
        }
        m_model->setRows(found.rows);
        m_found->setText(QStringLiteral("共 %1 首").arg(found.rows.size()));
        if (found.rows.isEmpty()) {
            clearDetail();
            if (quiet)
                return false;
            QString text = QStringLiteral("没有找到符合条件的方剂。");
            if (!found.unknownHerbs.isEmpty())
                text += QStringLiteral("\n“%1”不是药材表中的药名、别名或辅料。").arg(found.unknownHerbs.join(QStringLiteral("”、“")));
            ui::msgBox(text, ui::Icon::Information);
            return false;
        }
        int row = 0;
        while (!choose.isEmpty() && row < m_model->rowCount() && m_model->row(row)->name != choose)
            ++row;
        const bool chosen = row < m_model->rowCount();
        row = chosen ? row : 0;
        m_list->setCurrentIndex(m_model->index(row, 0));
        m_list->scrollTo(m_model->index(row, 0));
        showRow(row); // also when the current row stayed the same
        return chosen;
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        return false;
    }
}

void Frmfjcx::Cmdseek_Click()
{
    search();
}

void Frmfjcx::clearConditions()
{
    for (QLineEdit *box : {m_name, m_herbs, m_words})
        box->clear();
    m_chapter->setCurrentIndex(0);
}

void Frmfjcx::Cmdqcls_Click()
{
    clearConditions();
    search();
    m_name->setFocus();
}

void Frmfjcx::showFormulasHolding(const QString &herb)
{
    clearConditions();
    m_herbs->setText(herbCondition(herb));
    search();
    m_list->setFocus();
}

bool Frmfjcx::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool isCondition = watched == m_name || watched == m_herbs || watched == m_words || watched == m_chapter;
        if (isCondition && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Cmdseek_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Frmfjcx::CmdHelp_Click()
{
    startup::openHelp(QStringLiteral("formulas"));
}

void Frmfjcx::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ui::setNormalPointer();
    QWidget::changeEvent(event);
}

void Frmfjcx::closeEvent(QCloseEvent *event)
{
    // Opened beside another screen (a herb's formulas), the menus stay as that screen holds them.
    if (!m_left && startup::openedFromMenu(this)) {
        m_left = true;
        startup::unlockMenus();
    }
    event->accept();
}

} // namespace formulas
