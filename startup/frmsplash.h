#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace startup {

// The splash screen of the normal road: product, edition and the clinic that uses the
// system. Any key, a click on the frame, the product name or the clinic label, or its timer
// dismisses it, and then the routing to the login (or the password set-up) runs once.
class FrmSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerInterval = 9000;

    // Makes the splash and runs its load. When 用户资料 is empty the notice has been shown and
    // the clinic screen opened instead; the result is then nullptr.
    static QWidget *create(QWidget *mainWindow);

    // Opens the login form, or the password screen when 密码表 has no user yet.
    static void seekPass();

    void dismiss();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FrmSplash(QWidget *mainWindow);
    bool load();

    QWidget *m_mainWindow;
    QFrame *m_frame;
    QLabel *m_productName;
    QLabel *m_version;
    QLabel *m_clinic;
    QTimer *m_timer;
    bool m_dismissed = false;
};

} // namespace startup
