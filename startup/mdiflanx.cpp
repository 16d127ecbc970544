#include "startup/mdiflanx.h"

#include "datastore/errors.h"
#include "startup/modulanxia.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/window_keys.h"
#include "ui/error_box.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

namespace startup {

MDIFlanx::MDIFlanx(QWidget *parent)
    : QMainWindow(parent)
    , m_area(new QMdiArea(this))
{
    setObjectName(QStringLiteral("MDIFlanx"));
    setWindowTitle(QStringLiteral("欢迎使用澄川本草"));
    m_area->setObjectName(QStringLiteral("MDIFlanxArea"));
    setCentralWidget(m_area);
    m_area->viewport()->installEventFilter(this);
    buildMenus();
    installWindowKeys(this, QString());
}

QMenu *MDIFlanx::addTopMenu(const QString &name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction *MDIFlanx::addCommand(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void MDIFlanx::buildMenus()
{
    QMenu *entry = addTopMenu(QStringLiteral("ZysjDl"), QStringLiteral("中医药材资料登录&D"));
    connect(addCommand(entry, QStringLiteral("ZysjDl0"), QStringLiteral("中医药材登录")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmzyyc")); });

    QMenu *query = addTopMenu(QStringLiteral("zycxll"), QStringLiteral("中医药材查询&F"));
    connect(addCommand(query, QStringLiteral("zycxll0"), QStringLiteral("中医药材查询")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmzyll")); });

    // The prescription pad registers itself; until it is there its command gives the menus back.
    QMenu *formulaMenu = addTopMenu(QStringLiteral("zyfj"), QStringLiteral("中医方剂&P"));
    connect(addCommand(formulaMenu, QStringLiteral("zyfj0"), QStringLiteral("方剂查询")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmfjcx")); });
    connect(addCommand(formulaMenu, QStringLiteral("zyfj1"), QStringLiteral("开处方")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmkcf")); });

    QMenu *maintenance = addTopMenu(QStringLiteral("xtwh"), QStringLiteral("系统维护&W"));
    connect(addCommand(maintenance, QStringLiteral("xtwh1"), QStringLiteral("系统密码维护")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmmmwh")); });
    connect(addCommand(maintenance, QStringLiteral("cc"), QStringLiteral("数据备份/恢复")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("Frmcopy")); });
    maintenance->addSeparator()->setObjectName(QStringLiteral("Xline1"));
    connect(addCommand(maintenance, QStringLiteral("XtYhzl"), QStringLiteral("用户资料登录")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("FrmYhzl")); });
    connect(addCommand(maintenance, QStringLiteral("DateSj"), QStringLiteral("导入澄川中医数据")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("FrmLinkDb")); });
    maintenance->addSeparator()->setObjectName(QStringLiteral("Xline3"));
    connect(addCommand(maintenance, QStringLiteral("Xpict"), QStringLiteral("更换系统背景")), &QAction::triggered, this,
            [this] { openScreen(QStringLiteral("FrmJczl")); });

    QMenu *help = addTopMenu(QStringLiteral("XtHelp"), QStringLiteral("系统帮助&H"));
    connect(addCommand(help, QStringLiteral("xtxx"), QStringLiteral("关于澄川中医门诊系统....")), &QAction::triggered,
            this, [this] { openAbout(); });
    connect(addCommand(help, QStringLiteral("linkie"), QStringLiteral("浏览澄川中医软件")), &QAction::triggered, this,
            [this] { openWebPage(); });

    QAction *exit = menuBar()->addAction(QStringLiteral("退出系统&Q"));
    exit->setObjectName(QStringLiteral("zyexit"));
    connect(exit, &QAction::triggered, this, [this] { askExit(); });
}

void MDIFlanx::setMenuEnabled(const QString &name, bool enabled)
{
    for (QAction *action : menuBar()->actions()) {
        if (action->objectName() == name)
            action->setEnabled(enabled);
    }
}

bool MDIFlanx::isMenuEnabled(const QString &name) const
{
    for (QAction *action : menuBar()->actions()) {
        if (action->objectName() == name)
            return action->isEnabled();
    }
    return false;
}

void MDIFlanx::lockMenus()
{
    for (const QString &name : lockableMenus())
        setMenuEnabled(name, false);
}

void MDIFlanx::unlockMenus()
{
    for (const QString &name : menusToUnlock(runMode()))
        setMenuEnabled(name, true);
}

void MDIFlanx::loadBackground()
{
    // The picture window copies the stored picture onto this window and is closed at once.
    if (QWidget *picture = showScreen(QStringLiteral("FrmPict"))) {
        ui::yield();
        picture->close();
        ui::yield();
    }
}

void MDIFlanx::setBackgroundPicture(const QPixmap &picture)
{
    m_background = picture;
    applyBackground();
    update();
}

void MDIFlanx::applyBackground()
{
    const QSize area = m_area->viewport()->size();
    if (m_background.isNull() || area.isEmpty()) {
        m_area->setBackground(QBrush(Qt::darkGray));
        return;
    }
    m_area->setBackground(QBrush(m_background.scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

bool MDIFlanx::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area->viewport() && event->type() == QEvent::Resize)
        applyBackground();
    return QMainWindow::eventFilter(watched, event);
}

void MDIFlanx::closeForGood()
{
    allowClose();
    close();
}

// The close button and Alt+F4 are 退出系统: the same question and the same end. While a screen
// is open (the menus locked) the user is told which one to leave first.
void MDIFlanx::closeEvent(QCloseEvent *event)
{
    if (!m_closeAllowed && !ui::isEnding()) {
        if (isMenuEnabled(QStringLiteral("zyexit")))
            askExit();
        else
            sayWhichScreenIsOpen();
    }
    if (m_closeAllowed || ui::isEnding())
        event->accept();
    else
        event->ignore();
}

void MDIFlanx::sayWhichScreenIsOpen()
{
    QPointer<QWidget> open;
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible() && child->objectName() != QLatin1String("FrmHelp")) {
            open = child;
            break;
        }
    }
    const QString title = open ? open->windowTitle() : QString();
    ui::msgBox(title.isEmpty() ? QStringLiteral("请先关闭打开的窗口，再退出系统。")
                               : QStringLiteral("请先关闭“%1”窗口，再退出系统。").arg(title),
               ui::Icon::Information);
    if (open) { // the keyboard goes back to it, not to this window
        open->raise();
        open->activateWindow();
    }
}

void MDIFlanx::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    const Qt::WindowStates state = windowState();
    if (event->type() == QEvent::WindowStateChange
        && (!(state & Qt::WindowMaximized) || (state & (Qt::WindowMinimized | Qt::WindowFullScreen)))) {
        QTimer::singleShot(0, this, [this] {
            setWindowState((windowState() & Qt::WindowActive) | Qt::WindowMaximized);
            ui::yield();
        });
    }
}

bool MDIFlanx::showOrGiveMenusBack(const QString &screen)
{
    try {
        if (openScreenFromMenu(screen))
            return true;
        // A screen this build does not have yet: give the menus back rather than leave them dead.
    } catch (const ds::RunError &error) {
        // A screen that fails while it opens (its data file cannot be read, say) must not take
        // the program down through the event loop, nor leave the menus locked.
        ui::showErrorBox(error, ui::ErrorBoxForm::SignedNumberLine);
    }
    ui::setNormalPointer();
    unlockMenus();
    return false;
}

void MDIFlanx::openScreen(const QString &screen)
{
    ui::yield();
    ui::setBusyPointer();
    lockMenus();
    showOrGiveMenusBack(screen);
}

void MDIFlanx::openAbout()
{
    lockMenus();
    showOrGiveMenusBack(QStringLiteral("frmAbout"));
}

void MDIFlanx::openWebPage()
{
    openHelp();
    ui::yield();
    ui::setNormalPointer();
    ui::yield();
}

void MDIFlanx::askExit()
{
    ui::yield();
    if (ui::msgBox(QStringLiteral("退出澄川中医门诊系统吗?"), ui::Icon::Question, ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    ui::yield();
    m_closeAllowed = true;
    Modulanxia::endSession();
    ui::endProgram();
}

} // namespace startup
