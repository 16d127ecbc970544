#pragma once

#include "maintenance/maintenance_window.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace maint {

// The recovery window start-up opens when it refused the data file as damaged: every copy a
// restore could start from (automatic backups, the data before a restore or an import), newest
// first and the newest chosen, and a button to choose another file. Each asks the restore's
// question first; the chosen copy is restored as 数据备份/恢复 restores (the damaged file is kept
// in the backups folder), and the window tells whoever opened it to begin start-up again. With
// no copy at all it offers to start again from the shipped herb table, the damaged file kept.
// Leaving without a restore, or a restore that fails, ends the program with the data file as it
// was, and says so.
class FrmHfbf : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit FrmHfbf(QWidget *mainWindow);

signals:
    // The chosen backup is in place and the window closed.
    void restored();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void listBackups();
    void restoreChosen();
    void chooseOther();
    void startFromSeed();
    void askThenRestore(const QString &backup);
    void restoreFrom(const QString &backup, const QString &keptAs, bool fromSeed = false);
    void setWorking(bool working);
    QStringList listedPaths() const;

    QLabel *m_prompt;
    QTreeWidget *m_list;
    QPushButton *m_restore;
    QPushButton *m_seed;
    QPushButton *m_other;
    QPushButton *m_exit;
    bool m_restored = false;
};

} // namespace maint
