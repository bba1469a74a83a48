// The panel host: loads gauge modules from a simulator directory, hands them the
// panel services, calls their routines in the fixed order (query, install, init,
// then update/generate/draw per panel update, kill at the end), keeps the
// simulator's variables, delivers clicks to mouse rectangles and draws panels.
//
// One Host exists per process at a time (the service table has no context
// argument, so the services find the host through a process-wide pointer).
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flight_model.h"
#include "gauge.h"
#include "sim_state.h"

namespace host {

struct KeyEventRecord {
  uint64_t update;    // panel update during which it was sent
  std::string gauge;  // gauge name of the sender ("" when unknown)
  uint32_t eventId;
  uint32_t value;
};

class Host {
 public:
  // Makes `simDir` the process's current directory and registers its Gauges/
  // folder for library look-ups. Throws std::runtime_error when it is missing.
  explicit Host(const std::string& simDir);
  ~Host();  // kills every gauge still loaded
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Loads a gauge module by file name (e.g. "VELT_DD_OIL.gau"), binds its
  // exports, and runs GaugeQuery, GaugeInstall(argument) and GaugeInit. The gauge
  // is placed at (x, y) in panel pixels. Throws std::runtime_error naming the
  // module and the record at fault when the module cannot be used.
  Gauge& Load(const std::string& gaugeFile, int x = 0, int y = 0, uint32_t installArgument = 0);

  // One panel update: GaugeUpdate, GaugeGenerate, GaugeDraw of every gauge, in
  // load order; then the flight model (if any) steps by 1/18 s of simulated time.
  void Update();
  uint64_t UpdateCount() const { return updateCount_; }

  // Runs GaugeKill for one gauge (or all) and unloads it.
  void Kill(Gauge& gauge);
  void KillAll();

  // Clicks at gauge pixel (x, y): runs the routine of the first registered active
  // rectangle containing the point. Returns false when no rectangle was hit.
  bool Click(Gauge& gauge, int x, int y);
  // The same from panel pixels: finds the gauge under the point first.
  bool ClickPanel(int x, int y);

  SimState& Sim() { return sim_; }

  // The aircraft moves only once the flight model is switched on; each update then
  // advances it by timeRate / 18 s of simulated time.
  FlightModel& EnableFlightModel();
  FlightModel* Flight() { return flight_.get(); }
  void SetTimeRate(double rate) { timeRate_ = rate; }
  double TimeRate() const { return timeRate_; }
  static constexpr double kUpdatesPerSecond = 18.0;
  const std::vector<KeyEventRecord>& KeyEvents() const { return keyEvents_; }
  std::vector<std::unique_ptr<Gauge>>& Gauges() { return gauges_; }
  Gauge* FindGauge(const std::string& name);  // by gauge name or file name

  // Draws the whole panel (every gauge at its position) or one gauge.
  QImage RenderPanel() const;
  QImage RenderGauge(const Gauge& gauge) const;

  // Called for every key event a gauge sends, after the simulator applied it.
  void SetKeyEventObserver(std::function<void(const KeyEventRecord&)> observer) {
    keyObserver_ = std::move(observer);
  }

  // Called at the end of every Update(); the flight model and scenarios hook here.
  void SetAfterUpdate(std::function<void(Host&)> hook) { afterUpdate_ = std::move(hook); }

  // Used by the service table.
  static Host* Current();
  Gauge* GaugeOfHead(const GaugeElement* head);
  Gauge* GaugeOfHeader(const GaugeHeader* header);
  void RecordKeyEvent(uint32_t eventId, uint32_t value);
  Gauge* CallingGauge() { return calling_; }

 private:
  void CallGauge(Gauge& gauge, const std::function<void()>& call);

  SimState sim_;
  std::unique_ptr<FlightModel> flight_;
  double timeRate_ = 1.0;
  std::vector<std::unique_ptr<Gauge>> gauges_;
  std::vector<KeyEventRecord> keyEvents_;
  std::function<void(Host&)> afterUpdate_;
  std::function<void(const KeyEventRecord&)> keyObserver_;
  uint64_t updateCount_ = 0;
  Gauge* calling_ = nullptr;  // the gauge whose routine is running
  int callDepth_ = 0;
  bool updating_ = false;
};

}  // namespace host
