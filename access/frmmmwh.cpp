#include "access/frmmmwh.h"

#include "access/first_use_road.h"
#include "access/password_record.h"
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

namespace users {
namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit *makePasswordBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    ui::makePasswordBox(box, 30);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(192, 192, 255));
    box->setPalette(palette);
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    return button;
}

void selectAllAndFocus(QLineEdit *box)
{
    box->selectAll();
    box->setFocus();
}

} // namespace

Frmmmwh::Frmmmwh(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
    , m_name(new QComboBox(this))
    , m_newPassword(makePasswordBox(this, QStringLiteral("TxtNpas")))
    , m_confirmation(makePasswordBox(this, QStringLiteral("TxtPasn")))
    , m_save(makeButton(this, QStringLiteral("Cmdsave"), QStringLiteral("保存/修改")))
    , m_clear(makeButton(this, QStringLiteral("Cmdqcls"), QStringLiteral("清屏&Q")))
    , m_exit(makeButton(this, QStringLiteral("Cmdexit"), QStringLiteral("退出&E")))
{
    setObjectName(QStringLiteral("Frmmmwh"));
    setWindowTitle(QStringLiteral("系统密码维护"));
    ui::fixClientSizeTwips(this, 4725, 1590);

    ui::placeTwips(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("用户姓名：")), 120, 240, 900, 180);
    ui::placeTwips(makeLabel(this, QStringLiteral("Label4"), QStringLiteral("新密码")), 240, 720, 540, 180);
    ui::placeTwips(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("校验码")), 240, 1200, 540, 180);

    m_name->setObjectName(QStringLiteral("CboYhmc"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    // A new name may begin like the stored one; completing it from the list would save the old.
    m_name->setCompleter(nullptr);
    ui::setComfortableRows(m_name->view());
    ui::placeTwips(m_name, 1080, 120, 1935, 330);
    ui::placeTwips(m_newPassword, 1080, 600, 1935, 325);
    ui::placeTwips(m_confirmation, 1080, 1080, 1935, 325);
    ui::placeTwips(m_save, 3240, 120, 1335, 325);
    ui::placeTwips(m_clear, 3240, 600, 1335, 325);
    ui::placeTwips(m_exit, 3240, 1080, 1335, 325);

    setTabOrder(m_name, m_newPassword);
    setTabOrder(m_newPassword, m_confirmation);
    setTabOrder(m_confirmation, m_save);
    setTabOrder(m_save, m_exit);
    setTabOrder(m_exit, m_clear);

    for (QObject *box : {static_cast<QObject *>(m_name), static_cast<QObject *>(m_name->lineEdit()),
                         static_cast<QObject *>(m_newPassword), static_cast<QObject *>(m_confirmation)})
        box->installEventFilter(this);
    connect(m_save, &QPushButton::clicked, this, &Frmmmwh::save);
    connect(m_clear, &QPushButton::clicked, this, &Frmmmwh::clearScreen);
    connect(m_exit, &QPushButton::clicked, this, &Frmmmwh::leave);

    ui::yield();
    ui::centreOnMain(this, mainWindow, 4.0);
    Qpcls();
}

bool Frmmmwh::event(QEvent *event)
{
    // The menu command that opened the screen set the busy pointer; the screen ends it.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        ui::setNormalPointer();
    if (event->type() == QEvent::Show)
        activateWindow();
    return QWidget::event(event);
}

void Frmmmwh::refreshNames()
{
    QStringList names;
    try {
        ds::Database db = ds::openDataFile();
        names = passwordTableNames(db);
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    m_name->clear();
    m_name->addItems(names);
    m_name->setCurrentIndex(-1);
}

void Frmmmwh::Qpcls()
{
    m_newPassword->clear();
    m_confirmation->clear();
    m_name->clearEditText();
    refreshNames();
    m_name->clearEditText();
}

bool Frmmmwh::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name || watched == m_name->lineEdit() || watched == m_newPassword || watched == m_confirmation)
        return boxKey(watched, event) || QWidget::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool Frmmmwh::boxKey(QObject *box, QEvent *event)
{
    const BoxKey key = users::boxKey(event);
    if (key == BoxKey::Other)
        return false;
    if (key == BoxKey::Space)
        return true;

    if (box == m_newPassword) {
        if (newPasswordEnterMovesOn(m_newPassword->text()))
            selectAllAndFocus(m_confirmation);
        else
            ui::msgBox(shortPasswordWarning(), ui::Icon::Exclamation);
    } else if (box == m_confirmation) {
        if (confirmationEnterMovesOn(m_newPassword->text()))
            m_save->setFocus();
        else
            ui::msgBox(shortPasswordWarning(), ui::Icon::Exclamation);
    } else if (nameEnterMovesOn(m_name->currentText())) {
        selectAllAndFocus(m_newPassword);
    }
    return true;
}

void Frmmmwh::SrqkJy()
{
    srjybl = 1;
    const PasswordInput input =
        PasswordInput{m_name->currentText(), m_newPassword->text(), m_confirmation->text()}.trimmed();
    m_newPassword->setText(input.newPassword);
    m_confirmation->setText(input.confirmation);
    m_name->setEditText(input.name);

    const PasswordRefusal refusal = checkPasswordInput(input);
    switch (refusal) {
    case PasswordRefusal::None:
        srjybl = 0;
        return;
    case PasswordRefusal::ShortName:
        ui::msgBox(refusalMessage(refusal), ui::Icon::Information);
        m_name->lineEdit()->selectAll();
        m_name->setFocus();
        return;
    case PasswordRefusal::ShortNewPassword:
        ui::msgBox(refusalMessage(refusal), ui::Icon::Information);
        selectAllAndFocus(m_newPassword);
        return;
    case PasswordRefusal::ShortConfirmation:
        ui::msgBox(refusalMessage(refusal), ui::Icon::Information);
        selectAllAndFocus(m_confirmation);
        return;
    case PasswordRefusal::Mismatch:
        ui::msgBox(refusalMessage(refusal), ui::Icon::None, ui::Buttons::Ok, std::nullopt);
        m_newPassword->clear();
        m_confirmation->clear();
        m_newPassword->setFocus();
        return;
    }
}

void Frmmmwh::save()
{
    SrqkJy();
    if (srjybl == 1)
        return;
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        savePassword(db, m_name->currentText(), m_newPassword->text());
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
        ui::setNormalPointer();
        return;
    }
    Qpcls();
    m_name->setFocus();
    ui::yield();
    ui::setNormalPointer();
}

void Frmmmwh::clearScreen()
{
    Qpcls();
    m_name->setFocus();
}

void Frmmmwh::leave()
{
    if (!passwordTableHasRows(ds::dataPaths().dataFile)) {
        ui::msgBox(incompleteTableMessage(), ui::Icon::Information);
        return;
    }
    m_leaving = true;
    close();
    ui::yield();
    afterSetUpScreen();
}

// The frame cannot close the screen: its exit button checks the table and gives the menus back.
void Frmmmwh::closeEvent(QCloseEvent *event)
{
    if (m_leaving || ui::isEnding())
        QWidget::closeEvent(event);
    else
        event->ignore();
}

} // namespace users
