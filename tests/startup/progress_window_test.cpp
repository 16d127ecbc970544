#include "startup/frmjdys.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

#include <gtest/gtest.h>

TEST(ProgressWindow, ShowsWhatItsDriverSetsAndStaysOnTop)
{
    QMainWindow main;
    main.resize(1200, 900);
    auto *progress = new startup::Frmjdys(&main);
    startup::ProgressSink &sink = *progress;
    sink.show();
    sink.setPercentText("");
    sink.setPhaseText("");

    auto *bar = progress->findChild<QProgressBar *>("ProgBar");
    auto *percent = progress->findChild<QLabel *>("Labpre");
    auto *phase = progress->findChild<QLabel *>("Labprg");
    ASSERT_TRUE(bar && percent && phase);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(progress->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(percent->text().isEmpty() && phase->text().isEmpty());
    EXPECT_EQ(percent->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);

    sink.setPhaseText("正在生成药材功效词典......");
    sink.setValue(50);
    sink.setPercentText("50%");
    EXPECT_EQ(phase->text(), "正在生成药材功效词典......");
    EXPECT_EQ(percent->text(), "50%");
    EXPECT_EQ(bar->value() - bar->minimum(), (bar->maximum() - bar->minimum()) / 2);
    sink.setValue(12.64); // the driver's values are fractional; the bar shows whole percents
    EXPECT_EQ(bar->value(), 13);
    sink.setValue(100);
    EXPECT_EQ(bar->value(), 100);

    // Centred on the main window across, a third of the way down.
    const QRect frame = main.geometry();
    EXPECT_NEAR(progress->x(), frame.x() + (frame.width() - progress->width()) / 2, 1);
    EXPECT_NEAR(progress->y(), frame.y() + (frame.height() - progress->height()) / 3, 1);

    sink.unload();
    EXPECT_FALSE(progress->isVisible());
}
