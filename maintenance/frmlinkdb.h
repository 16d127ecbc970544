#pragma once

#include "maintenance/import_records.h"

#include <QWidget>

class QLineEdit;
class QMenu;
class QPushButton;

namespace maint {

// The import screen: names a source file and imports herbs or prescriptions from it through
// its pop-up menu.
class FrmLinkDb : public QWidget {
    Q_OBJECT
public:
    explicit FrmLinkDb(QWidget *mainWindow);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Qpcls();
    void chooseFile();
    void import(ImportKind kind);
    void notAvailable(const QString &caption);
    void setButtonsEnabled(bool enabled);
    void leave();

    QPushButton *m_fileName;
    QLineEdit *m_file;
    QPushButton *m_look;
    QPushButton *m_qcls;
    QPushButton *m_quit;
    QMenu *m_menu;
    bool m_importing = false;
};

} // namespace maint
