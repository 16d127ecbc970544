#include "app/screen_registration.h"
#include "startup/modulanxia.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ccherb"));
    QApplication::setApplicationDisplayName(QStringLiteral("澄川本草"));
    QApplication::setApplicationVersion(QStringLiteral(CCHERB_VERSION));
    ui::installFontSubstitutions();
    registerScreens();

    if (Modulanxia::Main() != Modulanxia::MainOutcome::Running)
        return 0;
    return QApplication::exec();
}
