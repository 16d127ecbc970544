#pragma once

#include <QWidget>

class QLabel;
class QMovie;
class QProgressBar;

namespace maint {

// The small animation player of the backup screen: opens a clip, plays it, closes it. When
// the clip is missing or cannot be read it shows a moving busy bar instead, so the user
// still sees that work goes on.
class AnimationPlayer : public QWidget {
    Q_OBJECT
public:
    explicit AnimationPlayer(QWidget *parent = nullptr);

    void setAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    // True when the clip can be played; otherwise the busy bar stands in for it.
    bool open(const QString &clipPath);
    void play();
    void closeClip();

    bool isPlaying() const;
    bool showsClip() const;

private:
    QLabel *m_picture;
    QProgressBar *m_busy;
    QMovie *m_movie = nullptr;
    bool m_autoPlay = false;
};

// The clip file beside the program (or in its share folder once installed).
QString busyClipPath();

} // namespace maint
