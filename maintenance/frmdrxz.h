#pragma once

#include "maintenance/import_records.h"

#include <QDialog>

#include <optional>

class QPushButton;

namespace maint {

// The choice before an import writes anything, when the source holds names already stored
// with other contents: the counts, the differing texts side by side (ours | theirs), and keep
// ours (the default), take theirs, or cancel.
class FrmDrxz : public QDialog {
    Q_OBJECT
public:
    FrmDrxz(QWidget *parent, ImportKind kind, const MergePlan &plan);

    // The choice made; nothing when the window was cancelled or closed.
    std::optional<MergeChoice> choice() const { return m_choice; }

    // The counts line: 新增 N 味、相同 M 味、同名而内容不同 K 味.
    static QString countsText(ImportKind kind, const MergePlan &plan);

private:
    void choose(MergeChoice choice);

    std::optional<MergeChoice> m_choice;
};

// Shows the window modal over parent and gives the choice.
std::optional<MergeChoice> askMergeChoice(QWidget *parent, ImportKind kind, const MergePlan &plan);

} // namespace maint
