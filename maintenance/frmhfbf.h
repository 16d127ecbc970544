#pragma once

#include "maintenance/maintenance_window.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace maint {

// The recovery window start-up opens when it refused the data file as damaged: the automatic
// backups, newest first and the newest chosen, and a button to choose another file. The chosen
// backup is restored as 数据备份/恢复 restores (the damaged file is kept in the backups folder),
// and the window tells whoever opened it to begin start-up again. Leaving without a restore, or a restore that fails, ends the
// program with the data file as it was.
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
    void restoreFrom(const QString &backup);
    void setWorking(bool working);

    QLabel *m_prompt;
    QTreeWidget *m_list;
    QPushButton *m_restore;
    QPushButton *m_other;
    QPushButton *m_exit;
    bool m_restored = false;
};

} // namespace maint
