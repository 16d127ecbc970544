#include "access/frmyhzl.h"

#include "access/first_use_road.h"
#include "access/screen_keys.h"
#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/shell.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace users {
namespace {

struct BoxPlace {
    const char16_t *name;
    const char16_t *caption;
    int boxLeft, boxTop, boxWidth;
    int labelTop;
};

const std::array<BoxPlace, 4> kPlaces{{
    {u"TxtMzmc", u"门诊名称", 960, 120, 4215, 240},
    {u"TxtMzdz", u"门诊地址", 960, 600, 4215, 720},
    {u"TxtTele", u"联系电话", 960, 1080, 4215, 1200},
    {u"TxtYhxm", u"用户姓名", 960, 1560, 1455, 1680},
}};

} // namespace

FrmYhzl::FrmYhzl(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("FrmYhzl"));
    setWindowTitle(QStringLiteral("用户资料登录"));
    ui::fixClientSizeTwips(this, 5325, 2190);

    QWidget *previous = nullptr;
    for (ClinicField field : kClinicFields) {
        const BoxPlace &place = kPlaces[std::size_t(field)];
        auto *label = new QLabel(QString::fromUtf16(place.caption), this);
        label->setObjectName(QStringLiteral("Label1"));
        label->setProperty("index", int(field));
        ui::placeTwips(label, 120, place.labelTop, 720, 180);

        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf16(place.name));
        edit->setMaxLength(longestInput(field));
        ui::placeTwips(edit, place.boxLeft, place.boxTop, place.boxWidth, 325);
        edit->installEventFilter(this);
        m_boxes[std::size_t(field)] = edit;
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
    }
    // Made after the boxes, so the tab order starts at the clinic's name (tab index 0).
    m_save = new QPushButton(QStringLiteral("保存退出"), this);
    m_save->setObjectName(QStringLiteral("CmdSave"));
    m_save->setAutoDefault(true);
    ui::placeTwips(m_save, 2640, 1560, 2535, 375);
    setTabOrder(previous, m_save);
    connect(m_save, &QPushButton::clicked, this, &FrmYhzl::save);

    ui::centreOnMain(this, mainWindow, 4.0);
    Qpcls();
    ui::setNormalPointer();
}

bool FrmYhzl::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        ui::setNormalPointer();
    if (event->type() == QEvent::Show)
        activateWindow();
    return QWidget::event(event);
}

void FrmYhzl::Qpcls()
{
    for (QLineEdit *edit : m_boxes)
        edit->clear();
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        const std::optional<ClinicInfo> stored = loadClinic(db);
        db.close();
        if (stored) {
            for (ClinicField field : kClinicFields)
                box(field)->setText((*stored)[field]);
        }
    } catch (const ds::RunError &error) {
        ui::showErrorDescription(error);
    }
    ui::setNormalPointer();
}

ClinicInfo FrmYhzl::texts() const
{
    ClinicInfo info;
    for (ClinicField field : kClinicFields)
        info[field] = box(field)->text();
    return info;
}

bool FrmYhzl::eventFilter(QObject *watched, QEvent *event)
{
    for (ClinicField field : kClinicFields) {
        if (watched == box(field))
            return boxKey(field, event) || QWidget::eventFilter(watched, event);
    }
    return QWidget::eventFilter(watched, event);
}

void FrmYhzl::selectStart(ClinicField field)
{
    box(field)->setSelection(0, shortestInput(field));
    box(field)->setFocus();
}

bool FrmYhzl::boxKey(ClinicField field, QEvent *event)
{
    switch (users::boxKey(event)) {
    case BoxKey::Space:
        return true;
    case BoxKey::Enter:
        if (!enterMovesOn(field, box(field)->text())) {
            ui::msgBox(tooShortMessage(field), ui::Icon::Exclamation);
            selectStart(field);
        } else if (field == ClinicField::User) {
            m_save->setFocus();
        } else {
            QLineEdit *next = box(ClinicField(int(field) + 1));
            next->selectAll();
            next->setFocus();
        }
        return true;
    case BoxKey::Other:
        break;
    }
    return false;
}

void FrmYhzl::save()
{
    const ClinicInfo info = texts().trimmed();
    for (ClinicField field : kClinicFields)
        box(field)->setText(info[field]);
    if (const std::optional<ClinicField> shortField = firstShortField(info)) {
        ui::msgBox(tooShortMessage(*shortField), ui::Icon::Exclamation);
        selectStart(*shortField);
        return;
    }
    if (ui::msgBox(saveQuestion(), ui::Icon::Question, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        saveClinic(db, info);
    } catch (const ds::RunError &error) {
        ui::showErrorBox(error, ui::ErrorBoxForm::LineExclamation);
        return;
    }
    m_leaving = true;
    close();
    ui::yield();
    afterSetUpScreen();
    ui::yield();
}

// The screen is left by saving only; its frame does not close it.
void FrmYhzl::closeEvent(QCloseEvent *event)
{
    if (m_leaving || ui::isEnding())
        QWidget::closeEvent(event);
    else
        event->ignore();
}

} // namespace users
