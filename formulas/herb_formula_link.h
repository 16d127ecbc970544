#pragma once

#include <QPushButton>

namespace formulas {

// "含此药的方剂（N）" beside a herb's record: how many formulas hold the herb (processed forms
// included); pressed, it opens the formula screen on those formulas. Hidden while no herb is
// shown, and not pressable when no formula holds it.
class HerbFormulaLink : public QPushButton {
    Q_OBJECT
public:
    explicit HerbFormulaLink(QWidget *parent);

    // The herb shown, by its stored or typed name; empty for none. Counts at once.
    void setHerb(const QString &name);
    const QString &herb() const { return m_herb; }

private:
    void open();

    QString m_herb;
};

} // namespace formulas
