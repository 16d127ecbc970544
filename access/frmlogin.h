#pragma once

#include "access/login_check.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace users {

// The login form: a name from 密码表 (or typed) and its password. Three counted attempts;
// then, or on 取消, the program ends.
class FrmLogin : public QWidget {
    Q_OBJECT
public:
    explicit FrmLogin(QWidget *mainWindow);

    // Results of the last check and of the form, as the form keeps them.
    short passjy = 1;
    QString jbpass;
    bool LoginSucceeded = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void place(QWidget *mainWindow);
    void seekusename();
    void seekpassword();
    bool nameKey(QEvent *event);
    bool passwordKey(QEvent *event);
    void okClicked();
    void cancelClicked();
    void leaveAndEndProgram();

    QComboBox *m_name;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    LoginAttempts m_attempts;
    bool m_leaving = false;
};

} // namespace users
