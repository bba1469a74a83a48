#include "gauge.h"

#include <cmath>

namespace host {

static constexpr double kDegreesPerRadian = 57.29577951308232;

const ElementState* Gauge::StateOf(const GaugeElement* element) const {
  auto it = state.find(element);
  return it == state.end() ? nullptr : &it->second;
}

std::string Gauge::ShownText(size_t index) const {
  const ElementState* s = StateOf(Element(index));
  return s ? s->shownText : std::string();
}

bool Gauge::Hidden(size_t index) const {
  const GaugeElement* e = Element(index);
  return e && (e->flags & kElementHidden) != 0;
}

double Gauge::NeedleAngle(size_t index) const {
  const GaugeElement* e = Element(index);
  const ElementState* s = StateOf(e);
  if (!e || !s || e->kind != kNeedleElement) return 0.0;
  return NeedleAngleFor(*reinterpret_cast<const NeedleElement*>(e), s->needleValue);
}

static double Wrap360(double degrees) {
  double d = std::fmod(degrees, 360.0);
  return d < 0 ? d + 360.0 : d;
}

// Angle from the pivot toward a scale point, degrees counter-clockwise with y up.
static double AngleTo(const GaugeElement& e, const ScaleEntry& entry) {
  return Wrap360(std::atan2(-(double(entry.y) - e.y), double(entry.x) - e.x) * kDegreesPerRadian);
}

double NeedleAngleFor(const NeedleElement& needle, double value) {
  const ScaleEntry* scale = needle.scale;
  int count = needle.scaleCount;
  if (!scale || count <= 0) return 0.0;
  if (count == 1 || !(value == value)) return AngleTo(needle.base, scale[0]);
  // Entries run in either direction of value; find the pair that brackets it and
  // interpolate the angle the short way round between their two points.
  bool rising = scale[count - 1].value >= scale[0].value;
  auto before = [&](double a, double b) { return rising ? a <= b : a >= b; };
  if (before(value, scale[0].value)) return AngleTo(needle.base, scale[0]);
  if (before(scale[count - 1].value, value)) return AngleTo(needle.base, scale[count - 1]);
  for (int i = 0; i + 1 < count; ++i) {
    const ScaleEntry& a = scale[i];
    const ScaleEntry& b = scale[i + 1];
    if (!(before(a.value, value) && before(value, b.value))) continue;
    double span = b.value - a.value;
    double t = span == 0.0 ? 0.0 : (value - a.value) / span;
    double from = AngleTo(needle.base, a), to = AngleTo(needle.base, b);
    double sweep = std::remainder(to - from, 360.0);
    return Wrap360(from + t * sweep);
  }
  return AngleTo(needle.base, scale[count - 1]);
}

}  // namespace host
