#pragma once

#include "maintenance/import_records.h"

#include <QDialog>

#include <optional>

class QPushButton;

namespace maint {

class MergeDifferenceModel;

// The choice before an import writes anything, when the source holds names already stored
// with other contents: the counts, the differing texts side by side and whole (ours | theirs),
// each with a tick, and keep ours (the default), take every imported text, take the ticked
// ones, or cancel.
class FrmDrxz : public QDialog {
    Q_OBJECT
public:
    FrmDrxz(QWidget *parent, ImportKind kind, const MergePlan &plan);

    // The imported texts to take; nothing when the window was cancelled or closed.
    std::optional<TakenTexts> choice() const { return m_choice; }

    // The counts line: 新增 N 味、相同 M 味、同名而内容不同 K 味.
    static QString countsText(ImportKind kind, const MergePlan &plan);

private:
    void choose(const TakenTexts &taken);

    MergePlan m_plan;
    MergeDifferenceModel *m_model;
    std::optional<TakenTexts> m_choice;
};

// Shows the window modal over parent and gives the choice.
std::optional<TakenTexts> askMergeChoice(QWidget *parent, ImportKind kind, const MergePlan &plan);

} // namespace maint
