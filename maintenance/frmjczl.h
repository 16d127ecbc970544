#pragma once

#include <QPixmap>
#include "maintenance/maintenance_window.h"

class QLabel;
class QPushButton;

namespace maint {

// The background screen: previews the stored picture, lets the user choose another file,
// stores it in the data file and puts it on the main window at once.
class FrmJczl : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit FrmJczl(QWidget *mainWindow);


private:
    void showPreview(const QPixmap &picture);
    void choosePicture();
    void saveAndLeave();
    bool storeChosen();

    QLabel *m_image;
    QPushButton *m_load;
    QPushButton *m_oext;
    QPixmap m_preview;
    QString m_chosen;
};

} // namespace maint
