// The panel window, offscreen: a click on the window's pixel over a rectangle
// reaches its routine (at 1:1 and scaled), and the window shows what the renderer draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "gui/panel_window.h"
#include "host.h"

namespace {

TEST(PanelWindow, ClicksReachTheRectangleUnderTheWindowPixel) {
  for (double scale : {1.0, 2.0}) {
    host::Host panel(TEST_SIM_DIR);
    host::Gauge& g = panel.Load("TEST_RECORDER.gau");
    host::PanelWindow window(panel, scale);
    window.show();
    // Rectangle (10,10,20,20) in gauge pixels; the gauge sits at the panel's origin.
    QTest::mouseClick(window.View(), Qt::LeftButton, {}, QPoint(int(15 * scale), int(15 * scale)));
    EXPECT_EQ(g.ShownText(1), "click 1") << "scale " << scale;
    QTest::mouseClick(window.View(), Qt::LeftButton, {}, QPoint(int(40 * scale), int(40 * scale)));
    EXPECT_EQ(g.ShownText(1), "click 1") << "scale " << scale;
  }
}

TEST(PanelWindow, ShowsWhatTheRendererDraws) {
  host::Host panel(TEST_SIM_DIR);
  panel.Load("TEST_RECORDER.gau");
  host::PanelWindow window(panel, 1.0);
  window.show();
  window.Tick();
  QImage shown = window.View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QImage drawn = panel.RenderPanel().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), drawn.size());
  EXPECT_EQ(shown, drawn);
}

TEST(PanelWindow, UpdatesStandStillWhileAGaugeRoutineBlocks) {
  host::Host panel(TEST_SIM_DIR);
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  host::PanelWindow window(panel, 1.0);
  window.show();
  // The recorder's second rectangle reports itself; block there in a nested event
  // loop for a while, as a modal dialog inside a mouse routine does. The window's
  // update timer keeps firing inside that loop, but the panel must not update.
  uint64_t during = 0, ticksDuring = 0;
  panel.SetKeyEventObserver([&](const host::KeyEventRecord& k) {
    if (k.eventId != 0xF000 + 12) return;
    uint64_t before = panel.UpdateCount();
    int framesBefore = window.FramesShown();
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    during = panel.UpdateCount() - before;
    ticksDuring = uint64_t(window.FramesShown() - framesBefore);
  });
  ASSERT_TRUE(panel.Click(g, 45, 15));
  EXPECT_GT(ticksDuring, 0u);  // the timer did fire inside the nested loop
  EXPECT_EQ(during, 0u);       // and the panel stood still
  uint64_t after = panel.UpdateCount();
  window.Tick();
  EXPECT_EQ(panel.UpdateCount(), after + 1);  // and runs again once the routine returned
}

}  // namespace
