#pragma once

#include "herbs/herb_record.h"

#include <QWidget>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

namespace formulas {
class HerbFormulaLink;
}

namespace herbs {

// The herb entry screen: add, change, delete, find and print herb records.
class Frmzyyc : public QWidget {
    Q_OBJECT
public:
    explicit Frmzyyc(QWidget *mainWindow);

    // Clears the fields and reloads the combo lists, the name list (whole table) and the count.
    // Failures reach the caller.
    void Qpcls();
    // The input check on the controls: trims them, tells the user about the first missing
    // required field, and fills empty optional fields with a space. Sets jybl.
    void SrnrJy();
    // Shows the number of herbs in the count line.
    void ZyycSl();
    // Refill the item lists of 归经 and 性味 with the stored values.
    void CboYcgjAd();
    void CboYcxwAd();

    // 1 while the last input check failed, 0 after it passed.
    qint16 jybl() const { return m_jybl; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void placeFieldControls();
    void placeButtonsAndList();
    void orderTabs();
    QWidget *fieldControl(int field) const;
    QString fieldText(int field) const;
    void setFieldText(int field, const QString &text);
    HerbRecord fieldTexts() const;
    void setFieldTexts(const HerbRecord &texts);
    void fillCombo(QComboBox *combo, const QString &statement);
    void refreshNameList();
    void showNames(const QStringList &names);
    void clearTrapped();
    // What the screen shows now is what the roads out compare against; loaded names the herb,
    // whose formulas are then counted beside the status line.
    void keepShown(const QString &loaded = QString());
    // True when nothing typed would be lost, or the user agrees to drop it.
    bool mayDropChanges();
    void showStatus(const QString &text);
    void loadFoundHerb(const HerbRecord &herb);

    void cmdsaveClick();
    void cmdeditClick();
    void cmddeleClick();
    void cmdqclsClick();
    void cmdexitClick();
    void cmdprntClick();
    QString clinicName() const;
    void cmdseekClick();
    void listycmcClick(const QModelIndex &index);
    void exactLookup();
    // The keyboard table of the field boxes; true when the key is used up.
    bool fieldKey(int field, QKeyEvent *key);

    QWidget *m_mainWindow;
    QLineEdit *m_txtycmc = nullptr;
    QComboBox *m_cboycxw = nullptr;
    QComboBox *m_cboycgj = nullptr;
    QPlainTextEdit *m_txtycgy = nullptr;
    QPlainTextEdit *m_txtyczz = nullptr;
    QPlainTextEdit *m_txtycyf = nullptr;
    QPlainTextEdit *m_txtycyj = nullptr;
    QPlainTextEdit *m_txtycgb = nullptr;
    QListView *m_listycmc = nullptr;
    QStringListModel *m_names = nullptr; // the list's rows: one text each, no item objects
    QPushButton *m_cmdsave = nullptr;
    QPushButton *m_cmdedit = nullptr;
    QPushButton *m_cmddele = nullptr;
    QPushButton *m_cmdseek = nullptr;
    QPushButton *m_cmdqcls = nullptr;
    QPushButton *m_cmdprnt = nullptr;
    QPushButton *m_cmdexit = nullptr;
    QLabel *m_labycsl = nullptr;
    QLabel *m_labbm = nullptr; // what an alias typed into 名称 stood for
    QLabel *m_labzt = nullptr; // the status line: what the last step could not do as asked
    formulas::HerbFormulaLink *m_formulas = nullptr; // how many formulas hold the herb loaded

    qint16 m_jybl = 0;
    QString m_listSource; // 中医药材, or the stored query of the last condition search
    HerbRecord m_shown;   // the texts as loaded, cleared or searched for
    QString m_loaded;     // the herb they were loaded from; empty when none
    bool m_menusUnlocked = false;
};

} // namespace herbs
