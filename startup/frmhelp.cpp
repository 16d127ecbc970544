#include "startup/frmhelp.h"

#include "startup/shell.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace startup {
namespace {

QPointer<FrmHelp> &openWindow()
{
    static QPointer<FrmHelp> window;
    return window;
}

QUrl &helpPageElsewhere()
{
    static QUrl page;
    return page;
}

QPushButton *command(QWidget *parent, QHBoxLayout *row, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}

} // namespace

void setHelpPageUrl(const QUrl &page)
{
    helpPageElsewhere() = page;
}

QUrl helpPageUrl()
{
    if (!helpPageElsewhere().isEmpty())
        return helpPageElsewhere();
    const QString programFolder = QCoreApplication::applicationDirPath();
    QString page = QDir(programFolder).filePath(QStringLiteral("help/index.html"));
    if (!QFileInfo::exists(page))
        page = QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/ccherb/help/index.html")));
    return QUrl::fromLocalFile(page);
}

FrmHelp::FrmHelp(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_page(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowTitle(QStringLiteral("澄川本草 使用帮助"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *buttons = new QHBoxLayout;
    m_back = command(this, buttons, "CmdBack", QStringLiteral("后退&B"));
    m_forward = command(this, buttons, "CmdForward", QStringLiteral("前进&F"));
    buttons->addStretch();
    QPushButton *browser = command(this, buttons, "CmdBrowser", QStringLiteral("在浏览器中打开"));
    QPushButton *close = command(this, buttons, "CmdClose", QStringLiteral("关闭&C"));
    m_page->setObjectName(QStringLiteral("TxtHelp"));
    m_page->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_page);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_page, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_page, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QPushButton::clicked, m_page, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_page, &QTextBrowser::forward);
    connect(browser, &QPushButton::clicked, this, &FrmHelp::openInBrowser);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    // Placed like the screens: at the top of the main window's work area, centred, wide enough
    // for the pictures of the screens, and short enough that its frame fits below too.
    const QRect area = mainWindow ? ui::mainClientArea(mainWindow) : screen()->availableGeometry();
    resize(std::min(area.width() * 9 / 10, 960), std::min(area.height() * 9 / 10, 900));
    ui::centreOnMain(this, mainWindow, 0, 0);
}

FrmHelp *FrmHelp::showSection(const QUrl &page, const QString &section)
{
    if (!QFileInfo::exists(page.toLocalFile())) {
        ui::setNormalPointer();
        ui::msgBox(QStringLiteral("没有找到帮助页，程序的安装可能不完整：\r\n")
                       + QDir::toNativeSeparators(page.toLocalFile()),
                   ui::Icon::Information);
        return nullptr;
    }
    QWidget *asking = QApplication::activeWindow();
    FrmHelp *window = openWindow();
    if (!window)
        window = openWindow() = new FrmHelp(mainWindow());
    if (asking != window)
        window->m_returnTo = asking;
    QUrl place = page;
    if (!section.isEmpty())
        place.setFragment(section);
    window->show(place);
    return window;
}

void FrmHelp::show(const QUrl &place)
{
    if (m_page->source() != place)
        m_page->setSource(place); // a step in the window's history
    else if (place.hasFragment())
        m_page->scrollToAnchor(place.fragment());
    else
        m_page->verticalScrollBar()->setValue(0);
    QWidget::show();
    raise();
    activateWindow();
    m_page->setFocus();
}

QUrl FrmHelp::source() const
{
    return m_page->source();
}

void FrmHelp::openInBrowser()
{
    const QUrl shown = m_page->source();
    if (QDesktopServices::openUrl(shown))
        return;
    // No browser to hand it to: say so, and where the page is, so it can be opened by hand.
    ui::setNormalPointer();
    ui::msgBox(QStringLiteral("没有找到可以打开帮助页的网页浏览器。请安装网页浏览器，或用浏览器打开这个文件：\r\n")
                   + QDir::toNativeSeparators(shown.toLocalFile()),
               ui::Icon::Information);
}

void FrmHelp::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmHelp::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // The window that asked for help takes the keyboard again, at the control it had, once
    // this one is gone (the window system would otherwise pick the main window).
    if (QWidget *asked = m_returnTo) {
        QTimer::singleShot(0, asked, [asked] {
            if (asked->isVisible()) {
                asked->raise();
                asked->activateWindow();
            }
        });
    }
}

} // namespace startup
