#pragma once

#include "maintenance/import_records.h"

#include "maintenance/maintenance_window.h"

#include <optional>

class QLineEdit;
class QMenu;
class QPushButton;

namespace maint {

// The import screen: names a source file and imports herbs or prescriptions from it through
// its pop-up menu.
class FrmLinkDb : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit FrmLinkDb(QWidget *mainWindow);

private:
    void Qpcls();
    void chooseFile();
    void import(ImportKind kind);
    QString runImport(ImportKind kind);
    std::optional<MergePlan> readPlan(ImportKind kind);
    bool write(ImportKind kind, const MergePlan &plan, const TakenTexts &taken, QString *keptBefore);
    static void notAvailable(const QString &missing);
    void setButtonsEnabled(bool enabled);

    QPushButton *m_fileName;
    QLineEdit *m_file;
    QPushButton *m_look;
    QPushButton *m_qcls;
    QPushButton *m_quit;
    QMenu *m_menu;
};

} // namespace maint
