#include "access/frmlogin.h"
#include "datastore/text_trim.h"

#include "access/first_use_road.h"
#include "access/screen_keys.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/password_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/rows.h"
#include "ui/program.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace users {
namespace {

const QString kTitle = QStringLiteral("登录");

QLabel *makeLabel(QWidget *parent, const QString &text, int index)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblLabels"));
    label->setProperty("index", index);
    return label;
}

} // namespace

FrmLogin::FrmLogin(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_name(new QComboBox(this))
    , m_password(new QLineEdit(QStringLiteral("5831"), this))
    , m_ok(new QPushButton(QStringLiteral("确定"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("系统用户登录"));
    ui::fixClientSizeTwips(this, 3900, 1860);

    ui::placeTwips(makeLabel(this, QStringLiteral("用户名"), 0), 120, 180, 720, 270);
    ui::placeTwips(makeLabel(this, QStringLiteral("密码:"), 1), 120, 660, 720, 270);

    m_name->setObjectName(QStringLiteral("Cboyhmc"));
    m_name->setEditable(true);
    // The list shows what 密码表 holds; a typed name is checked, never added to it, and is
    // checked as typed: no completion from the list turns "li" into "lisi".
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr);
    ui::setComfortableRows(m_name->view());
    ui::placeTwips(m_name, 960, 135, 2760, 330);

    m_password->setObjectName(QStringLiteral("Txtpass"));
    ui::makePasswordBox(m_password, 30);
    ui::placeTwips(m_password, 960, 615, 2760, 345);

    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setAutoDefault(true);
    ui::placeTwips(m_ok, 600, 1260, 1140, 390);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(true);
    ui::placeTwips(m_cancel, 2100, 1260, 1140, 390);

    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_ok);
    setTabOrder(m_ok, m_cancel);

    m_name->installEventFilter(this);
    if (m_name->lineEdit())
        m_name->lineEdit()->installEventFilter(this);
    m_password->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &FrmLogin::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &FrmLogin::cancelClicked);

    place(mainWindow);
    m_password->clear();
    ui::yield();
    seekusename();
    m_name->setFocus();
}

void FrmLogin::place(QWidget *mainWindow)
{
    ui::centreOnMainAtScreenThird(this, mainWindow);
}

void FrmLogin::seekusename()
{
    try {
        ds::Database db = ds::openDataFile();
        const QStringList names = seekUserNames(db);
        db.close();
        m_name->addItems(names);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    // The list offers the names; the box itself starts empty.
    m_name->setCurrentIndex(-1);
    m_name->clearEditText();
    ui::yield();
}

void FrmLogin::seekpassword()
{
    passjy = 1;
    jbpass.clear();
    m_password->setText(ds::trimSpaces(m_password->text()));
    ds::Database db = ds::openDataFile();
    const PasswordCheck check = seekPassword(db, ds::trimSpaces(m_name->currentText()), m_password->text());
    db.close();
    if (check.matched) {
        jbpass = check.level;
        passjy = 0;
    }
}

bool FrmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_password)
        return passwordKey(event) || QWidget::eventFilter(watched, event);
    if (watched == m_name || watched == m_name->lineEdit())
        return nameKey(event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool FrmLogin::nameKey(QEvent *event)
{
    if (boxKey(event) != BoxKey::Enter || m_name->currentText().isEmpty())
        return false;
    m_password->setSelection(0, int(m_password->text().size()));
    m_password->setFocus();
    return true;
}

bool FrmLogin::passwordKey(QEvent *event)
{
    switch (boxKey(event)) {
    case BoxKey::Space:
        return true;
    case BoxKey::Enter:
        if (ds::trimSpaces(m_password->text()).size() <= 3) {
            ui::msgBox(QStringLiteral("请输入四位字符以上密码"), ui::Icon::Information);
            m_password->setSelection(0, 3);
            m_password->setFocus();
        } else {
            m_ok->setFocus();
        }
        return true;
    case BoxKey::Other:
        break;
    }
    return false;
}

void FrmLogin::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    activateWindow();
}

void FrmLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmLogin::okClicked()
{
    if (isTooShortForLogin(m_password->text())) {
        ui::msgBox(QStringLiteral("请输入四位以上密码"), ui::Icon::Information);
        return;
    }
    m_attempts.count();
    try {
        seekpassword();
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        return;
    }
    switch (m_attempts.outcome(passjy == 0)) {
    case LoginOutcome::Succeeded:
        LoginSucceeded = true;
        setSignedInUser(m_name->currentText());
        ui::yield();
        m_leaving = true;
        close();
        ui::yield();
        ui::yield();
        if (!openClinicAtFirstLogin())
            startup::unlockMenus();
        ui::yield();
        break;
    case LoginOutcome::Refused:
        ui::yield();
        ui::msgBox(QStringLiteral("非法用户，你无权使用本系统！"), ui::Icon::Information, ui::Buttons::Ok, kTitle);
        leaveAndEndProgram();
        break;
    case LoginOutcome::Retry:
        ui::msgBox(QStringLiteral("无效的密码，再试一次！"), ui::Icon::None, ui::Buttons::Ok, kTitle);
        m_password->setSelection(0, int(m_password->text().size()));
        m_password->setFocus();
        break;
    }
}

void FrmLogin::cancelClicked()
{
    leaveAndEndProgram();
}

void FrmLogin::leaveAndEndProgram()
{
    m_leaving = true;
    close();
    ui::yield();
    startup::closeMainWindow();
    ui::endProgram();
}

// Closing the form through its frame is a cancel: the menus are locked, so there would be
// no other way on.
void FrmLogin::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_leaving || ui::isEnding())
        return;
    m_leaving = true;
    QTimer::singleShot(0, [] {
        startup::closeMainWindow();
        ui::endProgram();
    });
}

} // namespace users
