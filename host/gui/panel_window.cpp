#include "panel_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "host.h"

namespace host {

// Cursor for a rectangle's cursor id: increase/decrease arrows and a hand on buttons.
static Qt::CursorShape CursorFor(int32_t id) {
  switch (id) {
    case kCursorIncrease:
      return Qt::UpArrowCursor;
    case kCursorDecrease:
      return Qt::SizeVerCursor;
    case kCursorButton:
      return Qt::PointingHandCursor;
    default:
      return Qt::ArrowCursor;
  }
}

PanelView::PanelView(Host& host, double scale, QWidget* parent)
    : QWidget(parent), host_(host), scale_(scale) {
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PanelView::SetScale(double scale) {
  scale_ = scale;
  updateGeometry();
  update();
}

QSize PanelView::sizeHint() const {
  QImage panel = host_.RenderPanel();
  return QSize(int(std::ceil(panel.width() * scale_)), int(std::ceil(panel.height() * scale_)));
}

QPoint PanelView::PanelPoint(const QPoint& p) const {
  return QPoint(int(p.x() / scale_), int(p.y() / scale_));
}

void PanelView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ != 1.0);
  painter.scale(scale_, scale_);
  painter.drawImage(0, 0, host_.RenderPanel());
}

void PanelView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint p = PanelPoint(event->position().toPoint());
  host_.ClickPanel(p.x(), p.y());
  update();
}

void PanelView::mouseMoveEvent(QMouseEvent* event) {
  QPoint p = PanelPoint(event->position().toPoint());
  int32_t cursor = kCursorNone;
  for (const auto& g : host_.Gauges()) {
    if (!g->mouseRegistered || !g->mouseRects) continue;
    for (size_t i = 0; i < g->mouseRectCount; ++i) {
      const MouseRect& r = g->mouseRects[i];
      int x = p.x() - g->x, y = p.y() - g->y;
      if (r.kind == kMouseActive && x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height)
        cursor = r.cursor;
    }
  }
  setCursor(CursorFor(cursor));
}

static QDoubleSpinBox* Spin(double lo, double hi, double value, int decimals, const char* suffix) {
  auto* spin = new QDoubleSpinBox;
  spin->setRange(lo, hi);
  spin->setDecimals(decimals);
  spin->setValue(value);
  spin->setSuffix(QString::fromUtf8(suffix));
  spin->setKeyboardTracking(false);
  return spin;
}

PanelWindow::PanelWindow(Host& host, double scale, QWidget* parent) : QWidget(parent), host_(host) {
  setWindowTitle("Tervane panel");
  auto* layout = new QHBoxLayout(this);
  view_ = new PanelView(host, scale);
  layout->addWidget(view_, 0, Qt::AlignTop);
  auto* side = new QWidget;
  layout->addWidget(side);
  BuildControls(side);
  timer_ = new QTimer(this);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
  timer_->start(int(1000.0 / Host::kUpdatesPerSecond));
}

void PanelWindow::Tick() {
  // While a gauge routine runs a modal dialog, its nested event loop still fires
  // this timer; Host::Update() refuses to run then, so the simulator stands still.
  host_.Update();
  view_->update();
  RefreshReadouts();
  ++frames_;
}

void PanelWindow::BuildControls(QWidget* side) {
  FlightModel& flight = host_.EnableFlightModel();
  SimState& sim = host_.Sim();
  auto* form = new QFormLayout(side);
  windFrom_ = Spin(0, 360, flight.GetWind().fromTrue, 0, "°");
  windKnots_ = Spin(0, 300, flight.GetWind().speedKnots, 0, " kt");
  tas_ = Spin(0, 2000, flight.TrueAirspeed(), 0, " kt");
  heading_ = Spin(0, 360, flight.TrueHeading(), 0, "° true");
  altitude_ = Spin(-2000, 100000, sim.Get(0x4A), 0, " ft");
  variation_ = Spin(0, 359.9, sim.Get(0x52), 1, "°");
  oat_ = Spin(-90, 60, sim.Get(0x155), 1, " °C");
  latitude_ = Spin(-90, 90, sim.Latitude(), 4, "°");
  longitude_ = Spin(-180, 180, sim.Longitude(), 4, "°");
  timeRate_ = Spin(0.25, 128, host_.TimeRate(), 2, "×");
  pause_ = new QCheckBox("paused");
  autopilot_ = new QCheckBox("engaged");
  headingHold_ = new QCheckBox("heading hold");
  form->addRow("Wind from", windFrom_);
  form->addRow("Wind speed", windKnots_);
  form->addRow("True airspeed", tas_);
  form->addRow("Heading", heading_);
  form->addRow("Altitude", altitude_);
  form->addRow("Variation", variation_);
  form->addRow("Outside air", oat_);
  form->addRow("Latitude", latitude_);
  form->addRow("Longitude", longitude_);
  form->addRow("Time rate", timeRate_);
  form->addRow("Simulator", pause_);
  form->addRow("Autopilot", autopilot_);
  form->addRow("", headingHold_);
  readout_ = new QLabel;
  readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(readout_);
  for (QDoubleSpinBox* spin :
       {windFrom_, windKnots_, tas_, heading_, altitude_, variation_, oat_, timeRate_})
    connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { PushControlsToSimulator(); });
  for (QCheckBox* box : {pause_, autopilot_, headingHold_})
    connect(box, &QCheckBox::toggled, this, [this] { PushControlsToSimulator(); });
  auto* move = new QPushButton("Move aircraft here");
  connect(move, &QPushButton::clicked, this, [this] {
    host_.Sim().SetLatitude(latitude_->value());
    host_.Sim().SetLongitude(longitude_->value());
  });
  form->addRow(move);
  RefreshReadouts();
}

void PanelWindow::PushControlsToSimulator() {
  SimState& sim = host_.Sim();
  FlightModel& flight = *host_.Flight();
  sim.Set(0x52, variation_->value());
  sim.Set(0x155, oat_->value());
  sim.Set(0x4A, altitude_->value());
  flight.SetWind({windFrom_->value(), windKnots_->value()});
  flight.SetTrueAirspeed(tas_->value());
  if (std::abs(heading_->value() - flight.TrueHeading()) >= 0.5)
    flight.SetTrueHeading(heading_->value());
  sim.SetPaused(pause_->isChecked());
  sim.Set(0x67, autopilot_->isChecked() ? 1.0 : 0.0);
  sim.Set(0x6A, headingHold_->isChecked() ? 1.0 : 0.0);
  host_.SetTimeRate(timeRate_->value());
}

// Mirrors what the gauges may have changed (autopilot, pause, heading) into the controls.
void PanelWindow::RefreshReadouts() {
  SimState& sim = host_.Sim();
  FlightModel* flight = host_.Flight();
  const QSignalBlocker b1(pause_), b2(autopilot_), b3(headingHold_), b4(heading_);
  pause_->setChecked(sim.Paused());
  autopilot_->setChecked(sim.Get(0x67) != 0.0);
  headingHold_->setChecked(sim.Get(0x6A) != 0.0);
  if (flight && !heading_->hasFocus()) heading_->setValue(flight->TrueHeading());
  readout_->setText(
      QString("Position %1, %2\nTrack %3° true, ground speed %4 kt\nHeading bug %5°, update %6")
          .arg(sim.Latitude(), 0, 'f', 4)
          .arg(sim.Longitude(), 0, 'f', 4)
          .arg(flight ? flight->GroundTrack() : 0.0, 0, 'f', 0)
          .arg(flight ? flight->GroundSpeed() : 0.0, 0, 'f', 0)
          .arg(sim.Get(0x11A), 0, 'f', 0)
          .arg(host_.UpdateCount()));
}

}  // namespace host
