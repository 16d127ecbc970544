#pragma once

#include "prescription/completion.h"
#include "prescription/prescription_check.h"
#include "prescription/prescription_sheet.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QTableView;
class QTextEdit;

namespace rx {

class HerbLinesModel;
class LinesDelegate;
class PadData;

// The prescription pad (开处方): the patient, the herb lines with their check beside them, 剂数
// and 用法, printed as a 处方笺 or kept as a clinic formula. The patient's details stay on the
// screen and the sheet: nothing of them is written to the data file.
class Frmkcf : public QWidget {
    Q_OBJECT
public:
    explicit Frmkcf(QWidget *mainWindow);

    // What another screen hands over: a herb's name becomes a new line; a composition (doses,
    // or several herbs) fills the lines, after asking when the pad holds lines already.
    void receive(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPatient();
    void buildLines();
    void buildFooter();
    void orderTabs();

    // The herb lines (frmkcf_lines.cpp).
    bool editorKey(QWidget *editor, int column, QKeyEvent *key);
    void editorMade(QLineEdit *editor, int column);
    void showCompletion(QLineEdit *editor);
    void hideCompletion();
    bool completionShown() const;
    void moveCompletion(int step);
    void finishEdit(QWidget *editor);
    void editCell(int row, int column);
    int currentRow() const;
    bool pasteInto(int row, const QString &text);
    bool typedLines(QWidget *editor, int row);
    void expandCompoundRow(int row);
    void removeLine(int row);

    // The check and the commands (frmkcf_commands.cpp).
    void recheck();
    void showFindings();
    std::shared_ptr<const PadData> padData();
    QList<RxLine> expandedLines() const;
    PrescriptionSheet sheet() const;
    QString doctor() const;
    void newPrescription();
    void clear();
    void print();
    void saveAsFormula();
    void fieldEnter(QWidget *field);

    QWidget *m_mainWindow;
    QLineEdit *m_patient = nullptr;
    QComboBox *m_sex = nullptr;
    QLineEdit *m_age = nullptr;
    QCheckBox *m_pregnant = nullptr;
    QLineEdit *m_diagnosis = nullptr;
    QTableView *m_lines = nullptr;
    HerbLinesModel *m_model = nullptr;
    LinesDelegate *m_delegate = nullptr;
    QListView *m_completion = nullptr;
    QStringListModel *m_completionTexts = nullptr;
    QList<CompletionEntry> m_entries;
    QTextEdit *m_findingsView = nullptr;
    QLineEdit *m_doses = nullptr;
    QLineEdit *m_usage = nullptr;
    QLabel *m_doctor = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_exit = nullptr;

    std::shared_ptr<const PadData> m_data;
    bool m_dataFailed = false; // told once; the findings say the check cannot run
    QList<Finding> m_findings;
    bool m_printed = false; // since the lines last changed
    bool m_menusUnlocked = false;
};

} // namespace rx
