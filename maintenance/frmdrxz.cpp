#include "maintenance/frmdrxz.h"

#include "maintenance/merge_difference_model.h"
#include "ui/twips.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace maint {
namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

// Every text whole: wrapped in its cell (never cut short), each row as tall as its longest
// text, the two texts sharing what the name and column leave of the width.
QTableView *differenceGrid(QWidget *parent, MergeDifferenceModel *model)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QStringLiteral("MsfgridDiff"));
    grid->setModel(model);
    grid->setWordWrap(true);
    grid->setTextElideMode(Qt::ElideNone);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->verticalHeader()->hide();
    QHeaderView *columns = grid->horizontalHeader();
    columns->setSectionResizeMode(0, QHeaderView::Interactive);
    columns->setSectionResizeMode(1, QHeaderView::Interactive);
    columns->setSectionResizeMode(2, QHeaderView::Stretch);
    columns->setSectionResizeMode(3, QHeaderView::Stretch);
    grid->setColumnWidth(0, ui::twips(1800));
    grid->setColumnWidth(1, ui::twips(1200));
    // One name cell (and its tick) for all the lines of a herb.
    for (const auto &[first, lines] : model->differenceLines()) {
        if (lines > 1)
            grid->setSpan(first, 0, lines, 1);
    }
    // Once the columns have their widths: a window's layout resizes them one by one.
    auto *fit = new QTimer(grid);
    fit->setSingleShot(true);
    fit->setInterval(0);
    QObject::connect(fit, &QTimer::timeout, grid, &QTableView::resizeRowsToContents);
    QObject::connect(columns, &QHeaderView::sectionResized, fit, qOverload<>(&QTimer::start));
    grid->resizeRowsToContents();
    return grid;
}

} // namespace

FrmDrxz::FrmDrxz(QWidget *parent, ImportKind kind, const MergePlan &plan)
    : QDialog(parent)
    , m_plan(plan)
    , m_model(new MergeDifferenceModel(kind, plan.different, this))
{
    setObjectName(QStringLiteral("FrmDrxz"));
    setWindowTitle(QStringLiteral("导入%1数据").arg(kindName(kind)));
    auto *counts = new QLabel(countsText(kind, plan), this);
    counts->setObjectName(QStringLiteral("LabCounts"));
    auto *explain = new QLabel(QStringLiteral("下面是同名而内容不同的 %1 %2%3，左边是本机的内容，右边是导入的内容。"
                                              "可以逐%2或逐项勾选要采用的导入内容，再按“采用勾选的内容”。"
                                              "改用导入的内容以前，现有数据会另存在备份文件夹里。请选择怎样导入：")
                                   .arg(plan.different.size())
                                   .arg(kindMeasure(kind), kindNoun(kind)),
                               this);
    explain->setWordWrap(true);
    QPushButton *keep = button(this, "CmdKeep", QStringLiteral("保留本机内容（只导入新增）"));
    QPushButton *take = button(this, "CmdTake", QStringLiteral("全部采用导入的内容"));
    QPushButton *ticked = button(this, "CmdTicked", QStringLiteral("采用勾选的内容"));
    QPushButton *cancel = button(this, "CmdCancel", QStringLiteral("取消"));
    keep->setDefault(true);
    ticked->setEnabled(false);
    connect(keep, &QPushButton::clicked, this, [this] { choose(takenTexts(m_plan, MergeChoice::KeepOurs)); });
    connect(take, &QPushButton::clicked, this, [this] { choose(takenTexts(m_plan, MergeChoice::TakeTheirs)); });
    connect(ticked, &QPushButton::clicked, this, [this] { choose(m_model->taken()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_model, &MergeDifferenceModel::takenChanged, ticked, [this, ticked] { ticked->setEnabled(m_model->anyTaken()); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *each : {keep, take, ticked, cancel})
        buttons->addWidget(each);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(counts);
    layout->addWidget(explain);
    layout->addWidget(differenceGrid(this, m_model), 1);
    layout->addLayout(buttons);
    resize(ui::twips(12000), ui::twips(7500));
    keep->setFocus();
}

QString FrmDrxz::countsText(ImportKind kind, const MergePlan &plan)
{
    const QString measure = kindMeasure(kind);
    return QStringLiteral("新增 %1 %2、相同 %3 %2、同名而内容不同 %4 %2")
        .arg(plan.fresh.size())
        .arg(measure)
        .arg(plan.identical)
        .arg(plan.different.size());
}

void FrmDrxz::choose(const TakenTexts &taken)
{
    m_choice = taken;
    accept();
}

std::optional<TakenTexts> askMergeChoice(QWidget *parent, ImportKind kind, const MergePlan &plan)
{
    FrmDrxz window(parent, kind, plan);
    window.exec();
    return window.choice();
}

} // namespace maint
