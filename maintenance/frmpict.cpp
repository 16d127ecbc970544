#include "maintenance/frmpict.h"

#include "maintenance/picture_image.h"
#include "startup/shell.h"
#include "ui/pointer.h"
#include "ui/twips.h"

#include <QLabel>

namespace maint {

FrmPict::FrmPict(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint)
    , m_picture(new QLabel(this))
{
    setObjectName(QStringLiteral("FrmPict"));
    ui::fixClientSizeTwips(this, 45, 30);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setScaledContents(true);
    ui::placeTwips(m_picture, 0, 0, 45, 30);

    const QPixmap stored = storedBackground();
    m_picture->setPixmap(stored);
    startup::setBackgroundPicture(stored);
    ui::yield();
    ui::yield();
}

} // namespace maint
