// The panel window of `tervane-sim fly --gui`: the panel drawn live at 18 updates
// per second (1:1 or scaled), clicks delivered to the gauges' mouse rectangles
// with the cursors the rectangles ask for, and a side panel with the simulator's
// controls (wind, speed, heading, altitude, variation, temperature, position,
// autopilot, pause, time rate).
#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QTimer;

namespace host {

class Host;

class PanelView : public QWidget {
 public:
  PanelView(Host& host, double scale, QWidget* parent = nullptr);
  void SetScale(double scale);
  double Scale() const { return scale_; }
  QSize sizeHint() const override;
  // The panel pixel under a widget point.
  QPoint PanelPoint(const QPoint& widgetPoint) const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Host& host_;
  double scale_;
};

class PanelWindow : public QWidget {
 public:
  PanelWindow(Host& host, double scale, QWidget* parent = nullptr);
  PanelView* View() { return view_; }
  // One tick of the update timer: a panel update, then a repaint.
  void Tick();
  int FramesShown() const { return frames_; }

 private:
  void BuildControls(QWidget* side);
  void PushControlsToSimulator();
  void RefreshReadouts();

  Host& host_;
  PanelView* view_;
  QTimer* timer_;
  QDoubleSpinBox *windFrom_, *windKnots_, *tas_, *heading_, *altitude_, *variation_, *oat_,
      *timeRate_;
  QDoubleSpinBox *latitude_, *longitude_;
  QCheckBox *pause_, *autopilot_, *headingHold_;
  QLabel* readout_;
  int frames_ = 0;
};

}  // namespace host
