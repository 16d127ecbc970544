#include "startup/frmsplash.h"

#include "datastore/data_file.h"
#include "datastore/errors.h"
#include "startup/run_mode.h"
#include "startup/screens.h"
#include "startup/shell.h"
#include "startup/splash_logic.h"
#include "ui/error_box.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pointer.h"
#include "ui/program.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace startup {
namespace {

QFrame *makeLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    // Drawn on the frame: a click on a line is a click on the frame.
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

// The clinic text's lines, its blank line included, each a line and a quarter high: at the Song
// face's tight spacing an empty line reads as no gap at all. Spaces stay as they are.
QString spacedLines(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    return QStringLiteral("<p style=\"line-height:125%; white-space:pre-wrap\">") + lines.join(QStringLiteral("<br>"))
           + QStringLiteral("</p>");
}

} // namespace

FrmSplash::FrmSplash(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint)
    , m_mainWindow(mainWindow)
    , m_frame(new QFrame(this))
    , m_productName(new QLabel(QStringLiteral("产品"), this))
    , m_version(new QLabel(QStringLiteral("版本"), this))
    , m_clinic(new QLabel(QStringLiteral("平台:Windows98/Me/2000"), this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setFocusPolicy(Qt::StrongFocus);
    ui::fixClientSizeTwips(this, 7200, 4200);

    // The frame lies under the labels as their sibling, so a click on the version label is
    // not taken for a click on the frame.
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setFrameShape(QFrame::Box);
    ui::placeTwips(m_frame, 120, 60, 6960, 4020);

    m_productName->setObjectName(QStringLiteral("lblProductName"));
    m_productName->setFont(ui::chineseFont(QStringLiteral("楷体_GB2312"), 24, true));
    m_productName->setAlignment(Qt::AlignCenter);
    ui::placeTwips(m_productName, 480, 600, 6240, 900);

    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui::placeTwips(m_version, 3600, 1620, 3120, 300);

    makeLine(this, QStringLiteral("Line1"))->setGeometry(ui::twipsRect(480, 2100, 6240, 30));
    makeLine(this, QStringLiteral("Line2"))->setGeometry(ui::twipsRect(480, 3660, 6240, 30));

    m_clinic->setObjectName(QStringLiteral("LblYhmc"));
    m_clinic->setFont(ui::chineseFont(QStringLiteral("宋体"), 10.5));
    m_clinic->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A full clinic name or telephone line is wider than the label: it wraps, not cut off.
    m_clinic->setWordWrap(true);
    ui::placeTwips(m_clinic, 600, 2280, 6000, 1260);

    for (QWidget *clickable : {static_cast<QWidget *>(m_frame), static_cast<QWidget *>(m_productName),
                               static_cast<QWidget *>(m_clinic)})
        clickable->installEventFilter(this);

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kTimerInterval);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &FrmSplash::dismiss);
}

QWidget *FrmSplash::create(QWidget *mainWindow)
{
    auto *splash = new FrmSplash(mainWindow);
    if (splash->load())
        return splash;
    delete splash;
    showScreen(QStringLiteral("FrmYhzl"));
    return nullptr;
}

// Runs with failures skipped: a statement that fails leaves its label as designed.
bool FrmSplash::load()
{
    ui::centreOnMain(this, m_mainWindow, 3.5);
    ui::yield();
    m_version->setText(splashVersionText());
    m_productName->setText(kProductName);
    try {
        ds::Database db = ds::openDataFile();
        ui::yield();
        const std::optional<ClinicTexts> clinic = readClinicTexts(db);
        ui::yield();
        if (!clinic) {
            db.close();
            ui::msgBox(QStringLiteral("请先登录用户资料"), ui::Icon::Information);
            return false;
        }
        m_clinic->setTextFormat(Qt::RichText);
        m_clinic->setText(spacedLines(clinicLabelText(clinic->unit, clinic->telephone, clinic->user)));
        db.close();
        ui::yield();
    } catch (const ds::RunError &) {
    }
    return true;
}

void FrmSplash::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_dismissed && !m_timer->isActive())
        m_timer->start();
    activateWindow();
    setFocus();
}

void FrmSplash::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    dismiss();
}

bool FrmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        dismiss();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmSplash::dismiss()
{
    // A key, a click and the timer may all come; the first one wins.
    if (m_dismissed)
        return;
    m_dismissed = true;
    m_timer->stop();
    close();
    ui::yield();
    seekPass();
    ui::yield();
}

// Closed by the window system (Alt+F4) rather than dismissed: it still routes on, since the
// menus are locked and the main window refuses to close, so nothing else would lead anywhere.
void FrmSplash::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_dismissed || ui::isEnding())
        return;
    m_dismissed = true;
    m_timer->stop();
    QTimer::singleShot(0, [] {
        ui::yield();
        seekPass();
    });
}

void FrmSplash::seekPass()
{
    try {
        ds::Database db = ds::openDataFile();
        const SeekPassRoute route = seekPassRoute(db);
        db.close();
        if (route == SeekPassRoute::PasswordSetup) {
            showScreen(QStringLiteral("Frmmmwh"));
            setRunMode(kNoUserMode);
        } else {
            showScreen(QStringLiteral("frmLogin"));
        }
    } catch (const ds::RunError &error) {
        // Nothing could be opened with the menus still locked: the program cannot go on.
        ui::showErrorBox(error, ui::ErrorBoxForm::SignedNumberLine);
        ui::endProgram();
    }
    ui::yield();
}

} // namespace startup
