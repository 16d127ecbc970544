#include "maintenance/frmdrxz.h"

#include "maintenance/merge_difference_model.h"
#include "ui/rows.h"
#include "ui/twips.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace maint {
namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

QTableView *differenceGrid(QWidget *parent, ImportKind kind, const MergePlan &plan)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(QStringLiteral("MsfgridDiff"));
    grid->setModel(new MergeDifferenceModel(kind, plan.different, grid));
    grid->setWordWrap(false);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    ui::setComfortableRows(grid);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setColumnWidth(0, ui::twips(1500));
    grid->setColumnWidth(1, ui::twips(900));
    grid->setColumnWidth(2, ui::twips(3600));
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

} // namespace

FrmDrxz::FrmDrxz(QWidget *parent, ImportKind kind, const MergePlan &plan)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDrxz"));
    setWindowTitle(QStringLiteral("导入%1数据").arg(kindName(kind)));
    auto *counts = new QLabel(countsText(kind, plan), this);
    counts->setObjectName(QStringLiteral("LabCounts"));
    auto *explain = new QLabel(QStringLiteral("下面是同名而内容不同的 %1 %2%3，左边是本机的内容，右边是导入的内容。请选择怎样导入：")
                                   .arg(plan.different.size())
                                   .arg(kindMeasure(kind), kindNoun(kind)),
                               this);
    explain->setWordWrap(true);
    QPushButton *keep = button(this, "CmdKeep", QStringLiteral("保留本机内容（只导入新增）"));
    QPushButton *take = button(this, "CmdTake", QStringLiteral("全部采用导入的内容"));
    QPushButton *cancel = button(this, "CmdCancel", QStringLiteral("取消"));
    keep->setDefault(true);
    connect(keep, &QPushButton::clicked, this, [this] { choose(MergeChoice::KeepOurs); });
    connect(take, &QPushButton::clicked, this, [this] { choose(MergeChoice::TakeTheirs); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *each : {keep, take, cancel})
        buttons->addWidget(each);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(counts);
    layout->addWidget(explain);
    layout->addWidget(differenceGrid(this, kind, plan), 1);
    layout->addLayout(buttons);
    resize(ui::twips(10500), ui::twips(6000));
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

void FrmDrxz::choose(MergeChoice choice)
{
    m_choice = choice;
    accept();
}

std::optional<MergeChoice> askMergeChoice(QWidget *parent, ImportKind kind, const MergePlan &plan)
{
    FrmDrxz window(parent, kind, plan);
    window.exec();
    return window.choice();
}

} // namespace maint
