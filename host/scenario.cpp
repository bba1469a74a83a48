#include "scenario.h"

#include <QDir>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/shared_areas.h"
#include "flight_summary.h"
#include "host.h"
#include "sim_state.h"
#include "sys/shared_area.h"
#include "sys/text_codec.h"

namespace host {

using nlohmann::json;

[[noreturn]] static void Fail(const std::string& path, const std::string& key,
                              const std::string& problem) {
  throw ScenarioError(path + ": " + key + ": " + problem);
}

static std::map<uint32_t, double> ParseVariables(const json& object, const std::string& path,
                                                 const std::string& key) {
  if (!object.is_object()) Fail(path, key, "must be an object of variable names to numbers");
  std::map<uint32_t, double> out;
  for (const auto& [name, value] : object.items()) {
    auto token = TokenByName(name);
    if (!token)
      Fail(path, key + "." + name,
           "unknown variable (use a name from 'tervane-sim tokens' or 0xHEX)");
    if (!value.is_number()) Fail(path, key + "." + name, "must be a number");
    out[*token] = value.get<double>();
  }
  return out;
}

static int64_t Integer(const json& j, const std::string& path, const std::string& key, int64_t lo,
                       int64_t hi) {
  if (!j.is_number_integer()) Fail(path, key, "must be a whole number");
  int64_t v = j.get<int64_t>();
  if (v < lo || v > hi)
    Fail(path, key, "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
  return v;
}

// Refuses the first key of `object` that is not among `known`, so that a typing
// error in a scenario never passes silently.
template <size_t N>
static void RefuseUnknownKeys(const json& object, const char* (&known)[N], const std::string& path,
                              const std::string& prefix) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    const std::string& key = it.key();
    if (std::none_of(known, known + N, [&](const char* k) { return key == k; }))
      Fail(path, prefix + key, "unknown key");
  }
}

static double Number(const json& object, const char* key, double fallback, double lo, double hi,
                     const std::string& path, const std::string& prefix) {
  if (!object.contains(key)) return fallback;
  const json& v = object[key];
  if (!v.is_number()) Fail(path, prefix + "." + key, "must be a number");
  double d = v.get<double>();
  if (d < lo || d > hi)
    Fail(path, prefix + "." + key,
         "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
  return d;
}

static bool Flag(const json& object, const char* key, const std::string& path,
                 const std::string& prefix) {
  if (!object.contains(key)) return false;
  if (!object[key].is_boolean()) Fail(path, prefix + "." + key, "must be true or false");
  return object[key];
}

static void ParseAircraft(const json& a, const std::string& path, Scenario* s) {
  if (!a.is_object()) Fail(path, "aircraft", "must be an object");
  static const char* known[] = {"latitude", "longitude", "heading_true", "tas",
                                "altitude", "wind_from", "wind_knots",   "variation",
                                "oat",      "autopilot", "heading_hold", "heading_bug"};
  RefuseUnknownKeys(a, known, path, "aircraft.");
  ScenarioAircraft& c = s->aircraft;
  c.latitude = Number(a, "latitude", 0, -90, 90, path, "aircraft");
  c.longitude = Number(a, "longitude", 0, -180, 180, path, "aircraft");
  c.trueHeading = Number(a, "heading_true", 0, 0, 360, path, "aircraft");
  c.trueAirspeed = Number(a, "tas", 0, 0, 2000, path, "aircraft");
  c.altitude = Number(a, "altitude", 0, -2000, 100000, path, "aircraft");
  c.windFrom = Number(a, "wind_from", 0, 0, 360, path, "aircraft");
  c.windKnots = Number(a, "wind_knots", 0, 0, 300, path, "aircraft");
  c.variation = Number(a, "variation", 0, 0, 359.999999, path, "aircraft");
  c.outsideAirTemperature = Number(a, "oat", 15, -90, 60, path, "aircraft");
  c.autopilot = Flag(a, "autopilot", path, "aircraft");
  c.headingHold = Flag(a, "heading_hold", path, "aircraft");
  c.headingBug = Number(a, "heading_bug", 0, 0, 360, path, "aircraft");
  s->flies = true;
}

Scenario ParseScenario(const std::string& text, const std::string& path) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    Fail(path, "(file)", std::string("not valid JSON: ") + e.what());
  }
  if (!root.is_object()) Fail(path, "(file)", "must hold a JSON object");
  static const char* known[] = {"description",      "updates",          "print_every", "gauges",
                                "variables",        "aircraft",         "time_rate",   "summary",
                                "stop_when_paused", "arrival_snapshot", "timeline"};
  RefuseUnknownKeys(root, known, path, "");
  Scenario s;
  s.path = path;
  if (root.contains("description")) {
    if (!root["description"].is_string()) Fail(path, "description", "must be a string");
    s.description = root["description"];
  }
  if (!root.contains("updates")) Fail(path, "updates", "missing (how many panel updates to run)");
  s.updates = uint64_t(Integer(root["updates"], path, "updates", 0, 100'000'000));
  if (root.contains("print_every"))
    s.printEvery = uint64_t(Integer(root["print_every"], path, "print_every", 0, 100'000'000));
  if (!root.contains("gauges") || !root["gauges"].is_array() || root["gauges"].empty())
    Fail(path, "gauges", "must be a non-empty array");
  for (size_t i = 0; i < root["gauges"].size(); ++i) {
    const json& g = root["gauges"][i];
    std::string key = "gauges[" + std::to_string(i) + "]";
    if (!g.is_object() || !g.contains("file") || !g["file"].is_string())
      Fail(path, key, "must be an object with a \"file\" string");
    ScenarioGauge gauge;
    gauge.file = g["file"];
    if (g.contains("x")) gauge.x = int(Integer(g["x"], path, key + ".x", 0, 10000));
    if (g.contains("y")) gauge.y = int(Integer(g["y"], path, key + ".y", 0, 10000));
    s.gauges.push_back(gauge);
  }
  if (root.contains("variables"))
    s.variables = ParseVariables(root["variables"], path, "variables");
  if (root.contains("time_rate")) {
    if (!root["time_rate"].is_number() || root["time_rate"].get<double>() <= 0 ||
        root["time_rate"].get<double>() > 1000)
      Fail(path, "time_rate", "must be a number above 0 and at most 1000");
    s.timeRate = root["time_rate"];
  }
  if (root.contains("aircraft")) ParseAircraft(root["aircraft"], path, &s);
  s.summary = Flag(root, "summary", path, "");
  s.stopWhenPaused = Flag(root, "stop_when_paused", path, "");
  if (root.contains("arrival_snapshot")) {
    if (!root["arrival_snapshot"].is_string() ||
        root["arrival_snapshot"].get<std::string>().empty())
      Fail(path, "arrival_snapshot", "must be a file name");
    if (!s.summary) Fail(path, "arrival_snapshot", "needs \"summary\": true");
    s.arrivalSnapshot = root["arrival_snapshot"];
  }
  if (root.contains("timeline")) {
    if (!root["timeline"].is_array()) Fail(path, "timeline", "must be an array");
    for (size_t i = 0; i < root["timeline"].size(); ++i) {
      const json& a = root["timeline"][i];
      std::string key = "timeline[" + std::to_string(i) + "]";
      if (!a.is_object()) Fail(path, key, "must be an object");
      if (!a.contains("at")) Fail(path, key + ".at", "missing (the update number)");
      ScenarioAction action;
      action.at = uint64_t(Integer(a["at"], path, key + ".at", 0, 100'000'000));
      bool any = false;
      for (const auto& [name, value] : a.items()) {
        std::string k = key + "." + name;
        if (name == "at") continue;
        any = true;
        if (name == "set") {
          action.set = ParseVariables(value, path, k);
        } else if (name == "click") {
          if (!value.is_object() || !value.contains("gauge") || !value["gauge"].is_string())
            Fail(path, k, "must be {\"gauge\": NAME, \"x\": N, \"y\": N}");
          action.click = true;
          action.clickGauge = value["gauge"];
          action.clickX = int(Integer(value.value("x", json()), path, k + ".x", 0, 10000));
          action.clickY = int(Integer(value.value("y", json()), path, k + ".y", 0, 10000));
        } else if (name == "snapshot") {
          if (!value.is_string() || value.get<std::string>().empty())
            Fail(path, k, "must be a file name");
          action.snapshot = value;
        } else if (name == "print") {
          if (!value.is_boolean()) Fail(path, k, "must be true or false");
          action.print = value;
        } else if (name == "shm") {
          if (!value.is_object() || !value.contains("area") || !value["area"].is_string())
            Fail(path, k, "must be {\"area\": NAME, \"offset\": N, \"value\": N}");
          action.shmArea = value["area"];
          action.shmOffset =
              uint32_t(Integer(value.value("offset", json()), path, k + ".offset", 0, 65532));
          action.shmValue = int32_t(
              Integer(value.value("value", json()), path, k + ".value", INT32_MIN, INT32_MAX));
        } else {
          Fail(path, k, "unknown action (set, click, snapshot, print, shm)");
        }
      }
      if (!any) Fail(path, key, "names no action");
      s.timeline.push_back(action);
    }
    std::stable_sort(s.timeline.begin(), s.timeline.end(),
                     [](const ScenarioAction& a, const ScenarioAction& b) { return a.at < b.at; });
  }
  return s;
}

Scenario LoadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(path, "(file)", "cannot be read");
  std::stringstream text;
  text << in.rdbuf();
  return ParseScenario(text.str(), path);
}

static std::string Hex(uint32_t v) {
  std::ostringstream out;
  out << "0x" << std::uppercase << std::hex << v;
  return out.str();
}

static std::string Rgb(uint32_t c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return text;
}

static const char* KindName(int32_t kind) {
  switch (kind) {
    case kImageElement:
      return "image";
    case kNeedleElement:
      return "needle";
    case kStringElement:
      return "string";
    case kSliderElement:
      return "slider";
  }
  return "?";
}

// Prints -0.00 as 0.00.
static double Tidy(double v) { return v == 0.0 ? 0.0 : v; }

std::string DescribeScreens(Host& host) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(2);
  for (const auto& g : host.Gauges()) {
    out << "== " << g->name << "  update " << host.UpdateCount() << " ==\n";
    for (size_t i = 0; i < g->elements.size(); ++i) {
      const GaugeElement* e = g->elements[i];
      const ElementState* s = g->StateOf(e);
      if (!s) continue;
      std::string hidden = (e->flags & kElementHidden) ? "  (hidden)" : "";
      switch (e->kind) {
        case kStringElement:
          out << "  [" << std::setw(2) << i << "] \"" << sys::Cp1252ToUtf8(s->shownText) << "\""
              << hidden << "\n";
          break;
        case kNeedleElement:
          out << "  [" << std::setw(2) << i << "] needle value " << Tidy(s->needleValue)
              << ", angle " << g->NeedleAngle(i) << " deg" << hidden << "\n";
          break;
        case kSliderElement:
          out << "  [" << std::setw(2) << i << "] slider offset (" << Tidy(s->sliderX) << ", "
              << Tidy(s->sliderY) << ") px" << hidden << "\n";
          break;
        default:
          if (!hidden.empty()) out << "  [" << std::setw(2) << i << "] image" << hidden << "\n";
          break;
      }
    }
  }
  return out.str();
}

// A copy of a field of a packed record: json would bind a reference to it, and
// most fields of the shared records are not aligned.
template <typename T>
static T Value(T field) {
  return field;
}

static json GeoJson(const GeoCoord& g) {
  char hemisphere[2] = {g.hemisphere, 0};
  return {{"hemisphere", sys::Cp1252ToUtf8(hemisphere)},
          {"degrees", Value(g.degrees)},
          {"minutes", Value(g.minutes)},
          {"seconds", Value(g.seconds)},
          {"decimalMinutes", Value(g.decimalMinutes)}};
}

// The status record as another process sees it now, or null when no unit holds it.
static json ComAreaJson() {
  sys::SharedArea* area = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  if (!area) return nullptr;
  ComArea c = ReadComArea(sys::SharedAreaView(area));
  sys::CloseSharedArea(area);
  return {{"aircraftLat", GeoJson(c.aircraftLat)},
          {"aircraftLon", GeoJson(c.aircraftLon)},
          {"desiredTrack", Value(c.desiredTrack)},
          {"commandedHeading", Value(c.commandedHeading)},
          {"aircraftHeading", Value(c.aircraftHeading)},
          {"aircraftAltitude", Value(c.aircraftAltitude)},
          {"groundSpeed", Value(c.groundSpeed)},
          {"distanceNm", Value(c.distanceNm)},
          {"etaHours", Value(c.etaHours)},
          {"etaMinutes", Value(c.etaMinutes)},
          {"headingCoupled", Value(c.headingCoupled)},
          {"windCorrected", Value(c.windCorrected)},
          {"windWarning", Value(c.windWarning)},
          {"programChecksum", Value(c.programChecksum)},
          {"legCount", Value(c.legCount)},
          {"activeLeg", Value(c.activeLeg)},
          {"modelCode", Value(c.modelCode)},
          {"reloadRequest", Value(c.reloadRequest)},
          {"legRequest", Value(c.legRequest)},
          {"powerFailRequest", Value(c.powerFailRequest)}};
}

std::string TraceRecord(Host& host) {
  json record;
  record["update"] = host.UpdateCount();
  json gauges = json::array();
  for (const auto& g : host.Gauges()) {
    json elements = json::array();
    for (size_t i = 0; i < g->elements.size(); ++i) {
      const GaugeElement* e = g->elements[i];
      const ElementState* s = g->StateOf(e);
      json el{{"i", i}, {"kind", KindName(e->kind)}, {"hidden", (e->flags & kElementHidden) != 0}};
      if (s) {
        if (e->kind == kStringElement) {
          el["text"] = sys::Cp1252ToUtf8(s->shownText);
          el["colour"] = Rgb(s->shownTextColour);
          el["background"] = Rgb(s->shownBackgroundColour);
        } else if (e->kind == kNeedleElement) {
          el["value"] = s->needleValue;
          el["angle"] = g->NeedleAngle(i);
        } else if (e->kind == kSliderElement) {
          el["dx"] = s->sliderX;
          el["dy"] = s->sliderY;
        }
      }
      elements.push_back(el);
    }
    gauges.push_back({{"name", g->name}, {"elements", elements}});
  }
  record["gauges"] = gauges;
  json events = json::array();
  for (const auto& k : host.KeyEvents())
    if (k.update == host.UpdateCount())
      events.push_back({{"gauge", k.gauge}, {"event", Hex(k.eventId)}, {"value", k.value}});
  record["keyEvents"] = events;
  record["com"] = ComAreaJson();
  record["sim"] = {
      {"latitude", host.Sim().Latitude()},      {"longitude", host.Sim().Longitude()},
      {"heading", host.Sim().Get(0x51)},        {"headingBug", host.Sim().Get(0x11A)},
      {"autopilot", host.Sim().Get(0x67) != 0}, {"headingHold", host.Sim().Get(0x6A) != 0},
      {"paused", host.Sim().Paused()}};
  return record.dump(-1, ' ', false, json::error_handler_t::replace);
}

// Writes one 32-bit word into a named shared area as another process would.
static void WriteSharedWord(const ScenarioAction& a, const std::string& path) {
  sys::SharedArea* area = sys::OpenSharedArea(a.shmArea.c_str(), a.shmOffset + 4);
  if (!area)
    throw ScenarioError(path + ": shm: area " + a.shmArea + " is not there (or too small)");
  std::memcpy(static_cast<char*>(sys::SharedAreaView(area)) + a.shmOffset, &a.shmValue, 4);
  sys::CloseSharedArea(area);
}

static void SaveSnapshot(Host& host, const std::string& name, const RunOptions& options) {
  QString file =
      QDir(QString::fromStdString(options.snapshotDir)).filePath(QString::fromStdString(name));
  QDir().mkpath(QFileInfo(file).absolutePath());
  if (!host.RenderPanel().save(file, "PNG"))
    throw ScenarioError("cannot write snapshot " + file.toStdString());
  if (options.screen) *options.screen << "snapshot " << file.toStdString() << "\n";
}

static void RunAction(Host& host, const Scenario& s, const ScenarioAction& a,
                      const RunOptions& options) {
  for (const auto& [token, value] : a.set) host.Sim().Set(token, value);
  if (a.click) {
    Gauge* gauge = host.FindGauge(a.clickGauge);
    if (!gauge) throw ScenarioError(s.path + ": click: no gauge named " + a.clickGauge);
    host.Click(*gauge, a.clickX, a.clickY);
  }
  if (!a.shmArea.empty()) WriteSharedWord(a, s.path);
  if (a.print && options.screen) *options.screen << DescribeScreens(host) << std::flush;
  if (!a.snapshot.empty()) SaveSnapshot(host, a.snapshot, options);
}

void StartAircraft(Host& host, const ScenarioAircraft& a) {
  SimState& sim = host.Sim();
  sim.Set(0x155, a.outsideAirTemperature);
  sim.Set(0x52, a.variation);
  sim.Set(0x4A, a.altitude);
  sim.SetLatitude(a.latitude);
  sim.SetLongitude(a.longitude);
  sim.Set(0x67, a.autopilot ? 1.0 : 0.0);
  sim.Set(0x6A, a.headingHold ? 1.0 : 0.0);
  sim.Set(0x11A, a.headingBug);
  FlightModel& flight = host.EnableFlightModel();
  flight.SetWind({a.windFrom, a.windKnots});
  flight.SetTrueHeading(a.trueHeading);
  flight.SetTrueAirspeed(a.trueAirspeed);
}

uint64_t RunScenario(Host& host, const Scenario& s, const RunOptions& options) {
  if (s.flies) StartAircraft(host, s.aircraft);
  host.SetTimeRate(s.timeRate);
  for (const auto& [token, value] : s.variables) host.Sim().Set(token, value);
  for (const auto& g : s.gauges) host.Load(g.file, g.x, g.y);
  size_t next = 0;
  while (next < s.timeline.size() && s.timeline[next].at == 0)
    RunAction(host, s, s.timeline[next++], options);
  uint64_t run = 0;
  for (uint64_t n = 1; n <= s.updates; ++n) {
    if (options.stopFlag && *options.stopFlag) break;
    host.Update();
    ++run;
    while (next < s.timeline.size() && s.timeline[next].at == n)
      RunAction(host, s, s.timeline[next++], options);
    if (s.printEvery && n % s.printEvery == 0 && options.screen)
      *options.screen << DescribeScreens(host) << std::flush;
    if (options.trace) *options.trace << TraceRecord(host) << "\n";
    if (options.summary) {
      bool arrivedBefore = options.summary->Arrived();
      options.summary->Observe(host);
      if (!arrivedBefore && options.summary->Arrived() && !s.arrivalSnapshot.empty())
        SaveSnapshot(host, s.arrivalSnapshot, options);
    }
    if (s.stopWhenPaused && host.Sim().Paused()) break;
  }
  return run;
}

}  // namespace host
