#pragma once

#include "formulas/herb_names.h"
#include "prescription/completion.h"
#include "prescription/herb_facts.h"
#include "prescription/prescription_check.h"

#include <QString>

#include <memory>

namespace ds {
class Database;
}

namespace rx {

// What the prescription pad reads of a data file's herbs: their facts, what a written name
// stands for, the check and the completion list, made together and read-only afterwards.
class PadData {
public:
    explicit PadData(HerbFactTable facts, const ds::AliasTable &aliases = ds::shippedAliases());
    // Every herb of 中医药材.
    explicit PadData(ds::Database &db);
    PadData(const PadData &) = delete;
    PadData &operator=(const PadData &) = delete;

    const HerbFactTable &facts() const { return m_facts; }
    const formulas::HerbNames &names() const { return m_names; }
    const PrescriptionCheck &check() const { return m_check; }
    const CompletionIndex &completion() const { return m_completion; }

    // The data of the file at path as it is now. Read once for each state of the file (its
    // inode, size and times): a check at every keystroke reads nothing. Open failures throw
    // ds::RunError.
    static std::shared_ptr<const PadData> of(const QString &path);

private:
    HerbFactTable m_facts;
    formulas::HerbNames m_names;
    PrescriptionCheck m_check;
    CompletionIndex m_completion;
};

} // namespace rx
