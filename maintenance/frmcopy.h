#pragma once

#include "maintenance/backup_restore.h"

#include "maintenance/maintenance_window.h"

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace maint {

class AnimationPlayer;

// The backup and restore screen: copies the data file to a file the user names, or a backup
// the user picks over the data file.
class Frmcopy : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit Frmcopy(QWidget *mainWindow);

    // The pause that lets the clip run on after a copy; tests shorten it.
    using Wait = std::function<void(int milliseconds)>;
    static void setWaitForTests(Wait wait);

private:
    CopyMode mode() const;
    void chooseMode(CopyMode mode);
    void choosePath();
    void copy();
    // Tells what the backup holds and asks before it replaces the data; the kept copy's path.
    bool askBeforeRestore(const QString &backup, const QString &dataFile, QString *keptAs);
    std::optional<CopyFailure> offWindowThread(const std::function<std::optional<CopyFailure>()> &work);
    void showFailure(const CopyFailure &failure);
    void endCopy();
    void showButtons();
    void waitment(QPushButton *cmd1, QPushButton *cmd2, AnimationPlayer *ani);

    QLineEdit *m_path;
    QPushButton *m_choose;
    QRadioButton *m_save;
    QRadioButton *m_cove;
    AnimationPlayer *m_ani;
    QPushButton *m_copy;
    QPushButton *m_exit;
};

} // namespace maint
