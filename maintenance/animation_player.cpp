#include "maintenance/animation_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QVBoxLayout>

namespace maint {

AnimationPlayer::AnimationPlayer(QWidget *parent)
    : QWidget(parent)
    , m_picture(new QLabel(this))
    , m_busy(new QProgressBar(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_picture->setAlignment(Qt::AlignCenter);
    m_busy->setTextVisible(false);
    layout->addWidget(m_picture);
    layout->addWidget(m_busy);
    m_picture->hide();
    m_busy->hide();
}

bool AnimationPlayer::open(const QString &clipPath)
{
    closeClip();
    m_movie = new QMovie(clipPath, QByteArray(), this);
    if (!m_movie->isValid()) {
        delete m_movie;
        m_movie = nullptr;
        m_busy->setRange(0, 0); // a range of nothing makes the bar move on its own
        m_busy->show();
    } else {
        m_picture->setMovie(m_movie);
        m_picture->show();
    }
    if (m_autoPlay)
        play();
    return m_movie != nullptr;
}

void AnimationPlayer::play()
{
    if (m_movie)
        m_movie->start();
}

void AnimationPlayer::closeClip()
{
    if (m_movie) {
        m_movie->stop();
        m_picture->setMovie(nullptr);
        delete m_movie;
        m_movie = nullptr;
    }
    m_picture->hide();
    m_busy->setRange(0, 1);
    m_busy->hide();
}

bool AnimationPlayer::isPlaying() const
{
    return m_movie ? m_movie->state() == QMovie::Running : m_busy->isVisible();
}

bool AnimationPlayer::showsClip() const
{
    return m_movie != nullptr;
}

QString busyClipPath()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("working.gif"));
    const QString shared = QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/ccherb/working.gif")));
    return !QFileInfo::exists(beside) && QFileInfo::exists(shared) ? shared : beside;
}

} // namespace maint
