#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPixmap;
class QWidget;

namespace ds {
class Database;
}

namespace startup {

// What a screen may ask of the main window. The main window implements it and the start-up
// sequence registers it, so no screen sees the window's class. Without a main window (a screen
// opened on its own) each request below asks nothing, and the help opens on its own.
class Shell {
public:
    // The window that owns the screens.
    virtual QWidget *widget() = 0;
    // Gives back the menus the run mode allows, once a screen is left.
    virtual void unlockMenus() = 0;
    // Paints the picture as the background at once.
    virtual void setBackgroundPicture(const QPixmap &picture) = 0;
    // Paints the picture stored in the data file (after a restore brought another).
    virtual void loadBackground() = 0;
    // Lets the main window close, and closes it: the program is ending.
    virtual void closeForGood() = 0;

protected:
    ~Shell() = default;
};

// The registration ends by itself when the shell's window is deleted.
void setShell(Shell *shell);
// The registered main window, the screens' parent; nullptr when there is none.
QWidget *mainWindow();

void unlockMenus();
void setBackgroundPicture(const QPixmap &picture);
void loadBackground();
void closeMainWindow();
// The help window at a section's anchor such as "browse" (the top when empty); false when the
// help page is missing, which the user is told.
bool openHelp(const QString &section = QString());

// The clinic's details the splash shows. The folder that keeps them registers their reader with
// its screens, so the shell reads them without knowing where they are stored.
struct ClinicTexts {
    QString unit;
    QString telephone;
    QString user;
};
using ClinicReader = std::function<std::optional<ClinicTexts>(ds::Database &db)>;
void setClinicReader(ClinicReader reader);
// nullopt when none are stored, or no reader is registered.
std::optional<ClinicTexts> readClinicTexts(ds::Database &db);

} // namespace startup
