#include "startup/frmjdys.h"

#include "ui/fonts.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace startup {

Frmjdys::Frmjdys(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_mainWindow(mainWindow)
    , m_bar(new QProgressBar(this))
    , m_percent(new QLabel(this))
    , m_phase(new QLabel(this))
{
    setObjectName(QStringLiteral("Frmjdys"));
    setWindowTitle(QStringLiteral("请稍候"));
    ui::fixClientSizeTwips(this, 5400, 1500);

    m_phase->setObjectName(QStringLiteral("Labprg"));
    m_phase->setAlignment(Qt::AlignCenter);
    m_phase->setFont(ui::chineseFont(QStringLiteral("宋体"), 11.25));
    ui::placeTwips(m_phase, 120, 120, 5160, 300);

    m_bar->setObjectName(QStringLiteral("ProgBar"));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    ui::placeTwips(m_bar, 120, 540, 5160, 360);

    m_percent->setObjectName(QStringLiteral("Labpre"));
    m_percent->setAlignment(Qt::AlignCenter);
    m_percent->setFont(ui::chineseFont(QStringLiteral("宋体"), 10.5));
    ui::placeTwips(m_percent, 120, 1020, 5160, 300);
}

void Frmjdys::show()
{
    ui::centreOnMain(this, m_mainWindow, 3.0);
    m_bar->setValue(0);
    ui::yield();
    QWidget::show();
    raise();
}

void Frmjdys::setPhaseText(const QString &text)
{
    m_phase->setText(text);
}

void Frmjdys::setPercentText(const QString &text)
{
    m_percent->setText(text);
}

void Frmjdys::setValue(double percent)
{
    m_bar->setValue(int(std::lround(std::clamp(percent, 0.0, 100.0))));
}

void Frmjdys::unload()
{
    close();
    deleteLater();
}

} // namespace startup
