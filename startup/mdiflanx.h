#pragma once

#include <QMainWindow>
#include <QPixmap>

class QMdiArea;
class QMenu;
class QAction;

namespace startup {

// The main window: always maximized, cannot be closed, and its menus are the only way
// between screens.
class MDIFlanx : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIFlanx(QWidget *parent = nullptr);

    // Enables or disables one of the five top-level menus by its name.
    void setMenuEnabled(const QString &name, bool enabled);
    bool isMenuEnabled(const QString &name) const;

    // Shows the background picture window once so it can paint this window's background.
    void loadBackground();
    void setBackgroundPicture(const QPixmap &picture);

    // Lets the program's end close the window; every other close is refused.
    void allowClose() { m_closeAllowed = true; }

    // The help page shipped with the program.
    static QUrl helpPageUrl();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QMenu *addTopMenu(const QString &name, const QString &caption);
    QAction *addCommand(QMenu *menu, const QString &name, const QString &caption);
    void buildMenus();
    bool showOrGiveMenusBack(const QString &screen);
    void openScreen(const QString &screen);
    void openBrowse();
    void openAbout();
    void openWebPage();
    void askExit();

    QMdiArea *m_area;
    bool m_closeAllowed = false;
};

} // namespace startup
