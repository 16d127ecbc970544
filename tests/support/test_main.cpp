// Runs the tests inside a real QApplication on the offscreen platform, so screens are real
// widgets without a display.
#include "ui/fonts.h"
#include "ui/window_rules.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("澄川本草"));
    ui::installFontSubstitutions();
    ui::installWindowRules();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
