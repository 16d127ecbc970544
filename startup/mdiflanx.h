#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QUrl>

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
    // The picture fills the window's work area, stretched to it, and follows its size.
    void setBackgroundPicture(const QPixmap &picture);
    const QPixmap &backgroundPicture() const { return m_background; }

    // Lets the program's end close the window; every other close is refused.
    void allowClose() { m_closeAllowed = true; }

    // The help page shipped with the program: beside it, or in its share folder once installed.
    static QUrl helpPageUrl();
    // Makes the help page another one (tests read the page of the build tree); empty restores.
    static void setHelpPageUrl(const QUrl &page);
    // Opens the help page in the program's help window, at a section's anchor such as "browse"
    // (the top when empty); false when the page is missing, which the user is told.
    static bool openHelpPage(const QString &section = QString());

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
    void openBrowse();
    void openAbout();
    void openWebPage();
    void askExit();
    void applyBackground();

    QMdiArea *m_area;
    bool m_closeAllowed = false;
    QPixmap m_background;
};

} // namespace startup
