#include "startup/shell.h"

#include "startup/frmhelp.h"

#include <QPointer>
#include <QWidget>

namespace startup {
namespace {

struct Registered {
    Shell *shell = nullptr;
    QPointer<QWidget> window;
};

Registered &registered()
{
    static Registered main;
    return main;
}

// The shell while its window lives: a deleted main window is no one to ask.
Shell *shell()
{
    return registered().window ? registered().shell : nullptr;
}

} // namespace

void setShell(Shell *shell)
{
    registered() = {shell, shell ? shell->widget() : nullptr};
}

QWidget *mainWindow()
{
    return registered().window;
}

void unlockMenus()
{
    if (Shell *main = shell())
        main->unlockMenus();
}

void setBackgroundPicture(const QPixmap &picture)
{
    if (Shell *main = shell())
        main->setBackgroundPicture(picture);
}

void loadBackground()
{
    if (Shell *main = shell())
        main->loadBackground();
}

void closeMainWindow()
{
    if (Shell *main = shell())
        main->closeForGood();
}

bool openHelp(const QString &section)
{
    return FrmHelp::showSection(helpPageUrl(), section) != nullptr;
}

namespace {

ClinicReader &clinicReader()
{
    static ClinicReader reader;
    return reader;
}

} // namespace

void setClinicReader(ClinicReader reader)
{
    clinicReader() = std::move(reader);
}

std::optional<ClinicTexts> readClinicTexts(ds::Database &db)
{
    return clinicReader() ? clinicReader()(db) : std::nullopt;
}

} // namespace startup
