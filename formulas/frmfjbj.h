#pragma once

#include "formulas/formula_table.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace formulas {

// The editor of one formula (the clinic's 协定方, or a stored formula to change): its eight
// texts, 保存 and 退出. 保存 writes through formula_table.h: a composition with an unknown herb
// or a part that cannot be read is refused by name and the editor stays as typed; once saved,
// the dialog is accepted and savedName() gives the formula's stored name.
class Frmfjbj : public QDialog {
    Q_OBJECT
public:
    // A new formula when stored is empty (chapter 本院协定方), else the stored formula's texts.
    Frmfjbj(QWidget *owner, const std::optional<FormulaRecord> &stored);

    const QString &savedName() const { return m_savedName; }

    // 退出, Esc and the close box: what was typed and not saved is dropped only on a Yes.
    void reject() override;

private:
    FormulaRecord texts() const;
    void save();

    std::optional<QString> m_storedName; // the formula changed; none for a new one
    std::array<QWidget *, kFormulaFieldCount> m_boxes{};
    FormulaRecord m_opened; // the texts as the editor opened
    QString m_savedName;
};

} // namespace formulas
