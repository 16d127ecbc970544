#pragma once

#include "formulas/formula_search.h"
#include "formulas/formula_table.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTextBrowser;

namespace ui {
class Growth;
}

namespace formulas {

class FormulaListModel;

// The formula screen (中医方剂查询): formulas found by name, herbs, words of 功用 or 主治 and
// chapter; the found formula's page with a link to each herb's record; the clinic's own
// formulas added, changed and deleted; print, export and the hand-over to the prescription pad.
class Frmfjcx : public QWidget {
    Q_OBJECT
public:
    explicit Frmfjcx(QWidget *mainWindow);

    // The formulas holding the herb (a name of any form): the herbs condition alone, searched.
    void showFormulasHolding(const QString &herb);
    // Runs the search of the conditions as they stand; the first formula found is shown.
    void Cmdseek_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildConditions();
    void buildList();
    void buildButtons();
    void orderTabs();
    FormulaConditions conditions() const;
    void refreshChapters(const QList<FormulaRow> &all);
    // Shows what the conditions find, the formula of that stored name chosen when it is among
    // them, else the first; false when that formula (or, without one, any) is not found. Nothing
    // found is told unless quiet.
    bool search(const QString &choose = {}, bool quiet = false);
    void clearConditions();
    void showRow(int row);
    void clearDetail();
    // The formula of the chosen row, read anew; a message when there is none.
    std::optional<FormulaRecord> chosenFormula();
    void openHerb(const QString &herb);

    void Cmdqcls_Click();
    void Cmdadd_Click();
    void Cmdedit_Click();
    void Cmddele_Click();
    void Cmdprnt_Click();
    void Cmdexpt_Click();
    void Cmdkcf_Click();
    void CmdHelp_Click();
    // Opens the editor on the texts; after a save the list shows the formula saved.
    void edit(const std::optional<FormulaRecord> &stored);

    QWidget *m_mainWindow;
    ui::Growth *m_growth = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_herbs = nullptr;
    QLineEdit *m_words = nullptr;
    QComboBox *m_chapter = nullptr;
    QPushButton *m_cmdseek = nullptr;
    QPushButton *m_cmdqcls = nullptr;
    QLabel *m_found = nullptr;
    QTableView *m_list = nullptr;
    FormulaListModel *m_model = nullptr;
    QTextBrowser *m_detail = nullptr;
    QList<QPushButton *> m_buttons;
    std::optional<qint64> m_shown; // the formula the page shows
    bool m_left = false;
};

} // namespace formulas
