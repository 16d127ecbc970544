#pragma once

#include "browse/grid_model.h"
#include "browse/query_text.h"
#include "herbs/herb_record.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QStringListModel;
class QTabWidget;

namespace ds {
class Database;
}
namespace ui {
class Growth;
}
namespace formulas {
class HerbFormulaLink;
}

namespace browse {

class FrozenColumnTable;
class HerbGridModel;

// The browse screen: every herb in a seven-column grid in one of four orders, the query by
// nine conditions, and the whole record of a clicked herb on the second tab.
class Frmzyll : public QWidget {
    Q_OBJECT
public:
    explicit Frmzyll(QWidget *mainWindow);

    // The reset: refills the pick-lists, clears the conditions and the detail, reloads the grid
    // with the whole table and ends on the first tab. Each step that fails is skipped.
    void Qpcls();
    // Empties the eight detail boxes.
    void QpcZd();
    // Reloads the grid with the whole table in the order of the sort choice.
    void MsfgridAdd();
    // Loads the grid from the query the last search stored; an empty result leaves it.
    void MsfGridYccx();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildQueryTab(QWidget *page);
    void buildConditions(QWidget *page);
    void buildDetailTab(QWidget *page);
    void placeOnMain();
    void Form_Load();
    void ReadColW();
    void WriteColW();
    // The columns share the grid's width beyond its designed width in proportion to their own.
    double widthShare() const;
    void shareOutWidths();
    void columnResized(int column, int pixels);
    // The window's size as it was left, kept beside the column widths.
    void restoreSize();
    bool isCondition(const QObject *control) const;
    void refreshPickLists();
    QueryConditions conditions() const;
    void showDetail(const herbs::HerbRecord &record);
    bool detailKey(int box, QKeyEvent *key);
    void leave();
    void showRows(QList<GridRow> rows);
    // Fills the grid with what read gives (nothing leaves it); a failure shows the error box.
    void loadGrid(const std::function<std::optional<QList<GridRow>>(ds::Database &)> &read);

    void CboPxnr_Click();
    void Cmdseek_Click();
    void CmdQcls_Click();
    void Cmdedit_Click();
    void Cmdexit_Click();
    void CmdHelp_Click();
    // Saves the herbs the grid lists as an Excel workbook.
    void Cmdexpt_Click();
    void Msfgrid_Click(const QModelIndex &index);

    QWidget *m_mainWindow;
    ui::Growth *m_growth = nullptr;
    QTabWidget *m_tabs = nullptr;
    FrozenColumnTable *m_grid = nullptr;
    HerbGridModel *m_model = nullptr;
    QComboBox *m_sortChoice = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_nature = nullptr;
    QComboBox *m_meridian = nullptr;
    std::array<QComboBox *, 3> m_efficacy{};
    std::array<QComboBox *, 3> m_indications{};
    // The lists' items; the three efficacy lists share theirs, as do the three indication lists.
    QStringListModel *m_natureItems = nullptr;
    QStringListModel *m_meridianItems = nullptr;
    QStringListModel *m_efficacyItems = nullptr;
    QStringListModel *m_indicationItems = nullptr;
    QPushButton *m_cmdseek = nullptr;
    QPushButton *m_cmdedit = nullptr;
    QPushButton *m_cmdlink = nullptr;
    formulas::HerbFormulaLink *m_formulas = nullptr; // how many formulas hold the herb shown
    // The detail boxes in the order of their Enter chain, and the stored position each shows.
    std::array<QWidget *, 8> m_detail{};
    // The columns' widths in twips at the grid's designed width: as read, so an unmoved column
    // keeps them, or as the user set them.
    std::array<int, 7> m_widths{};
    bool m_sharingOut = false;
    QLabel *m_found = nullptr; // the number of herbs in the grid
    bool m_left = false;
};

} // namespace browse
