#include "app/screen_registration.h"
#include "startup/modulanxia.h"
#include "ui/fonts.h"
#include "ui/translation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program's own title names it; no display name is set, since the window system would
    // then append it to every window's caption, and the captions are exactly as the screens give.
    QApplication::setApplicationName(QStringLiteral("澄川本草"));
    QApplication::setDesktopFileName(QStringLiteral("org.chengchuan.ccherb"));
    QApplication::setApplicationVersion(QStringLiteral(CCHERB_VERSION));
    ui::installFontSubstitutions();
    ui::installToolkitTranslation();
    registerScreens();

    if (Modulanxia::Main() != Modulanxia::MainOutcome::Running)
        return 0;
    return QApplication::exec();
}
