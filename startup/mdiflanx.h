#pragma once

#include "startup/shell.h"

#include <QMainWindow>
#include <QPixmap>

class QMdiArea;
class QMenu;
class QAction;

namespace startup {

// The main window: always maximized, closed only by ending the program, and its menus are the
// only way between screens. The screens reach it only as their shell.
class MDIFlanx : public QMainWindow, public Shell {
    Q_OBJECT
public:
    explicit MDIFlanx(QWidget *parent = nullptr);

    // Enables or disables one of the top-level menus by its name.
    void setMenuEnabled(const QString &name, bool enabled);
    bool isMenuEnabled(const QString &name) const;
    // Locks the top-level menus while a screen is open; unlocking gives back those the run
    // mode allows.
    void lockMenus();
    void unlockMenus() override;

    // Shows the background picture window once so it can paint this window's background.
    void loadBackground() override;
    // The picture fills the window's work area, stretched to it, and follows its size.
    void setBackgroundPicture(const QPixmap &picture) override;
    const QPixmap &backgroundPicture() const { return m_background; }

    // Lets the program's end close the window; any other close asks as 退出系统 does.
    void allowClose() { m_closeAllowed = true; }
    void closeForGood() override;

    QWidget *widget() override { return this; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMenu *addTopMenu(const QString &name, const QString &caption);
    QAction *addCommand(QMenu *menu, const QString &name, const QString &caption);
    void buildMenus();
    bool showOrGiveMenusBack(const QString &screen);
    void openScreen(const QString &screen);
    void openAbout();
    void openWebPage();
    void askExit();
    void sayWhichScreenIsOpen();
    void applyBackground();

    QMdiArea *m_area;
    bool m_closeAllowed = false;
    QPixmap m_background;
};

} // namespace startup
