#include "app/screen_registration.h"
#include "startup/modulanxia.h"
#include "ui/fonts.h"
#include "ui/window_rules.h"
#include "ui/translation.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // The windows' class (X11's "-name") is the desktop entry's name, so docks group the
    // windows with the program's launcher.
    std::vector<char *> args(argv, argv + argc);
    std::string nameOption = "-name";
    std::string desktopName = ui::kDesktopName;
    args.insert(args.begin() + 1, {nameOption.data(), desktopName.data()});
    int count = int(args.size());
    args.push_back(nullptr);

    QApplication app(count, args.data());
    // The program's own title names it; no display name is set, since the window system would
    // then append it to every window's caption, and the captions are exactly as the screens give.
    QApplication::setApplicationName(QStringLiteral("澄川本草"));
    QApplication::setDesktopFileName(QLatin1String(ui::kDesktopName));
    QApplication::setApplicationVersion(QStringLiteral(CCHERB_VERSION));
    ui::installFontSubstitutions();
    ui::installWindowRules();
    ui::installToolkitTranslation();
    registerScreens();

    if (Modulanxia::Main() != Modulanxia::MainOutcome::Running)
        return 0;
    return QApplication::exec();
}
