#include "startup/frmabout.h"

#include "startup/contact_details.h"
#include "startup/shell.h"
#include "startup/splash_logic.h"
#include "ui/fonts.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace startup {

QStringList FrmAbout::contactLines()
{
    QStringList lines;
    for (const char16_t *line : kContactLines)
        lines.append(QString::fromUtf16(line));
    return lines;
}

FrmAbout::FrmAbout(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_ok(new QPushButton(QStringLiteral("确定"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于 ") + kProductName);
    ui::fixClientSizeTwips(this, 5730, 3780);

    auto *title = new QLabel(kProductName + QStringLiteral("(标准版)"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setFont(ui::chineseFont(QStringLiteral("隶书"), 15.75));
    ui::placeTwips(title, 360, 180, 3900, 480);

    auto *version = new QLabel(aboutVersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setFont(ui::chineseFont(QStringLiteral("宋体"), 9));
    ui::placeTwips(version, 360, 720, 3900, 225);

    // The six labels form one array: same name, told apart by their index.
    const QStringList lines = contactLines();
    for (int index = 0; index < lines.size(); ++index) {
        auto *line = new QLabel(lines[index], this);
        line->setObjectName(QStringLiteral("Label1"));
        line->setProperty("index", index);
        ui::placeTwips(line, 360, 1140 + index * 330, 5100, 300);
    }

    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    ui::placeTwips(m_ok, 4260, 240, 1260, 345);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        close();
        ui::yield();
    });

    ui::centreOnMain(this, mainWindow, 0, 300);
    m_ok->setFocus();
}

// Enter and Esc belong to the box as soon as it is up.
void FrmAbout::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    activateWindow();
}

void FrmAbout::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        m_ok->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// However the box goes (its button or its frame), the menus come back once.
void FrmAbout::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!m_menusGivenBack) {
        m_menusGivenBack = true;
        unlockMenus();
    }
}

} // namespace startup
