#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace users {

// The password maintenance screen: the one user name and password of the login. It is left
// only through 退出&E, and not while 密码表 is empty.
class Frmmmwh : public QWidget {
    Q_OBJECT
public:
    explicit Frmmmwh(QWidget *mainWindow);

    // The result of the last input check: 1 refused, 0 accepted.
    short srjybl = 1;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Qpcls();
    void SrqkJy();
    void refreshNames();
    bool boxKey(QObject *box, QEvent *event);
    void save();
    void clearScreen();
    void leave();

    QComboBox *m_name;
    QLineEdit *m_newPassword;
    QLineEdit *m_confirmation;
    QPushButton *m_save;
    QPushButton *m_clear;
    QPushButton *m_exit;
    bool m_leaving = false;
};

} // namespace users
