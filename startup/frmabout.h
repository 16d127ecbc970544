#pragma once

#include <QWidget>

class QPushButton;

namespace startup {

// The about box of the help menu. It is left through 确定 (Enter and Esc press it too) and
// gives the menus back when it closes.
class FrmAbout : public QWidget {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *mainWindow);

    // The seller's contact lines, in the order of the labels.
    static QStringList contactLines();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *m_ok;
    bool m_menusGivenBack = false;
};

} // namespace startup
