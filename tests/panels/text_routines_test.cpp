// The text routines of the V1/V2/V4 panels as tables of state and expected text:
// placeholders while the program is invalid, the HDG colours and blink, the ETA
// speed display, bounded texts for values too long for their fields, and empty
// fields during a power failure. Built for V1 and for V2.
#include <cmath>

#include "routine_fixture.h"

#ifdef __SANITIZE_ADDRESS__
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace {

using TextTest = RoutineTest;

// Counts the heap allocations made while `counting` is set (sanitizer builds).
volatile bool counting = false;
volatile int allocations = 0;
void CountAllocation(const volatile void*, size_t) {
  if (counting) allocations = allocations + 1;
}
void IgnoreFree(const volatile void*) {}

TEST_F(TextTest, LegAndIdentLines) {
  struct Case {
    const char* what;
    int32_t invalid, countdown, hold, activeLeg, legCount;
    const char *leg, *ident;
  };
  const Case cases[] = {
      {"normal", 0, 0, 0, 1, 5, "02/05", "W02"},
      {"hold", 0, 0, 1, 2, 5, "03-SD", "W03"},
      {"reloading", 1, 7, 0, 1, 5, "--/--", "-----"},
      {"load error", 1, 0, 0, 1, 1, "--/--", "ERROR"},
      // A failed reload leaves activeLeg where it was: the number is cut at the
      // field's width and the ident comes from the last table entry.
      {"stale leg", 0, 0, 0, 150, 1, "151/0", "W99"},
      {"negative leg", 0, 0, 0, -5, 5, "-4/05", "W01"},
  };
  LoadProgram(99);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gps.programInvalid = c.invalid;
    gps.reloadCountdown = c.countdown;
    gps.holdMode = c.hold;
    gps.activeLeg = c.activeLeg;
    gps.legCount = c.legCount;
    LegText(0.0);
    IdentText(0.0);
    EXPECT_EQ(Text(kLegField), c.leg);
    EXPECT_EQ(Text(kIdentField), c.ident);
  }
}

TEST_F(TextTest, IdentAndNameWithoutTheirNulStopAtTheField) {
  LoadProgram(2);
  std::memcpy(gps.legs[0].ident, "ABCDEF", 6);                 // no NUL in the record
  std::memcpy(gps.legs[0].name, "NAME-WITH-21-CHARS-XY", 21);  // no NUL either
  IdentText(0.0);
  NameText(0.0);
  EXPECT_EQ(Text(kIdentField), "ABCDE");
  EXPECT_EQ(Text(kNameField), "NAME-WITH-21-CHARS-X");
}

TEST_F(TextTest, NameCarriesTheReloadMessageWhileInvalid) {
  LoadProgram(3);
  gps.activeLeg = 1;
  std::strcpy(gps.legs[1].name, "DATA RELOADING");
  gps.programInvalid = 1;
  NameText(0.0);
  EXPECT_EQ(Text(kNameField), "DATA RELOADING");
}

TEST_F(TextTest, HeadingShowsTrackOrBlinkingCommandedHeading) {
  struct Case {
    const char* what;
    int32_t invalid, windCorrected, showCommanded, windWarning, blink, track, commanded;
    const char* text;
    uint32_t colour;
    int32_t showCommandedAfter;
  };
  const Case cases[] = {
      {"invalid", 1, 0, 0, 0, 0, 90, 95, "---", kRed, 0},
      {"track 0 shows 360", 0, 0, 0, 0, 0, 0, 5, "360", kRed, 0},
      {"track 7", 0, 0, 0, 0, 0, 7, 5, "007", kRed, 0},
      {"track 359", 0, 0, 0, 0, 0, 359, 5, "359", kRed, 0},
      {"no correction clears the choice", 0, 0, 1, 0, 0, 42, 50, "042", kRed, 0},
      {"correction not chosen", 0, 1, 0, 0, 0, 42, 50, "042", kRed, 0},
      {"commanded heading", 0, 1, 1, 0, 1, 42, 50, "050", kYellow, 1},
      {"commanded 0 shows 360", 0, 1, 1, 0, 0, 42, 0, "360", kYellow, 1},
      {"warning, on phase", 0, 1, 1, 1, 0, 42, 50, "050", kYellow, 1},
      {"warning, off phase", 0, 1, 1, 1, 1, 42, 50, "050", kFieldBackground, 1},
      {"oversized value is cut", 0, 0, 0, 0, 0, 12345, 0, "123", kRed, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gps.programInvalid = c.invalid;
    gps.windCorrected = c.windCorrected;
    showCommandedHeading = c.showCommanded;
    gps.windWarning = c.windWarning;
    gps.blinkPhase = c.blink;
    gps.desiredTrack = c.track;
    gps.commandedHeading = c.commanded;
    panelFields[kHeadingField]->textColour = 0;
    HeadingText(0.0);
    EXPECT_EQ(Text(kHeadingField), c.text);
    EXPECT_EQ(Colour(kHeadingField), c.colour);
    if (!c.invalid) {
      EXPECT_EQ(showCommandedHeading, c.showCommandedAfter);
    }
  }
}

TEST_F(TextTest, EtaAndDistance) {
  struct Case {
    const char* what;
    int32_t invalid, etaValid, speedCount, speed, hours, minutes;
    double distance;
    const char *eta, *dist;
  };
  const Case cases[] = {
      {"invalid", 1, 1, 0, 250, 1, 5, 12.9, "--:--", "-----nm"},
      {"no eta", 0, 0, 4, 250, 1, 5, 12.9, "--:--", "   12nm"},
      {"time", 0, 1, 0, 250, 1, 5, 12.9, "01:05", "   12nm"},
      {"speed", 0, 1, 4, 250, 1, 5, 0.2, " 250", "    0nm"},
      {"speed, last cycle", 0, 1, 1, 87, 1, 5, 99999.9, " 87", "99999nm"},
      {"five-digit speed is cut", 0, 1, 2, 12345, 0, 0, 123456.0, " 1234", "123456n"},
      {"huge distance is cut", 0, 1, 0, 0, 0, 0, 1e300, "00:00", "2147483"},
      {"no distance", 0, 1, 0, 0, 0, 0, std::nan(""), "00:00", "    0nm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gps.programInvalid = c.invalid;
    gps.etaValid = c.etaValid;
    gps.speedDisplayCount = c.speedCount;
    gps.groundSpeed = c.speed;
    gps.etaHours = c.hours;
    gps.etaMinutes = c.minutes;
    gps.distanceNm = c.distance;
    EtaText(0.0);
    DistanceText(0.0);
    EXPECT_EQ(Text(kEtaField), c.eta);
    EXPECT_EQ(Text(kDistanceField), c.dist);
  }
}

TEST_F(TextTest, StatusAndArrivalAction) {
  struct Case {
    int32_t coupled, windCorrected, windWarning, blink;
    const char* text;
    uint32_t colour;
  };
  const Case cases[] = {
      {0, 1, 1, 1, "STANDBY", kRed},      {1, 0, 0, 0, "ACTIVE", kGreen},
      {1, 1, 0, 1, "ACTIVE WND", kGreen}, {1, 1, 1, 0, "ACTIVE WND", kGreen},
      {1, 1, 1, 1, "ACTIVE WND", kRed},
  };
  for (const Case& c : cases) {
    gps.headingCoupled = c.coupled;
    gps.windCorrected = c.windCorrected;
    gps.windWarning = c.windWarning;
    gps.blinkPhase = c.blink;
    StatusText(0.0);
    EXPECT_EQ(Text(kStatusField), c.text);
    EXPECT_EQ(Colour(kStatusField), c.colour) << c.text;
  }
  const char* actions[] = {"Of", "Ps", "Ci", ""};
  for (int32_t action = 0; action < 4; ++action) {
    gps.arrivalAction = action;
    ArrivalActionText(0.0);
    EXPECT_EQ(Text(kArrivalActionField), actions[action]);
  }
}

TEST_F(TextTest, StatusSourceFollowsCouplingUnlessThePowerFailed) {
  ModuleVar binding{};
  binding.value.real = 0.5;
  gps.headingCoupled = 1;
  EXPECT_EQ(StatusSourceValue(&binding), 1.0);
  gps.headingCoupled = 0;
  EXPECT_EQ(StatusSourceValue(&binding), 0.0);
  gps.powerFailed = 1;
  gps.headingCoupled = 1;
  EXPECT_EQ(StatusSourceValue(&binding), 0.5);
}

TEST_F(TextTest, PowerFailureEmptiesEveryFieldAndConvertsNothing) {
  LoadProgram(3);
  int64_t latitude = int64_t(4500786) << 32;
  panelFields[kPresentLatField]->sources[0].storage = &latitude;
  gps.presentLat = Coord('S', 10, 1.5);
  gps.powerFailed = 1;
  double (*const routines[])(double) = {
      LegText, IdentText,    NameText,       WaypointLatText, WaypointLonText, HeadingText,
      EtaText, DistanceText, PresentLatText, PresentLonText,  StatusText,      ArrivalActionText};
  for (StringElement* field : panelFields)
    if (field) std::strcpy(field->textBuffer, "X");
  for (auto routine : routines) EXPECT_EQ(routine(2.5), 2.5);
  for (StringElement* field : panelFields)
    if (field) EXPECT_STREQ(field->textBuffer, "");
  EXPECT_EQ(char(gps.presentLat.hemisphere), 'S');
  EXPECT_EQ(int(gps.presentLat.degrees), 10);
  panelFields[kPresentLatField]->sources[0].storage = nullptr;
}

// The host runs the text routines on every update: they format into its buffers
// and never touch the heap, whatever they show.
TEST_F(TextTest, TextRoutinesAllocateNothing) {
#ifndef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "needs the sanitizer's allocation hooks";
#else
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;
  ASSERT_TRUE(installed);
  LoadProgram(5);
  int64_t latitude = int64_t(4500786) << 32, longitude = int64_t(0xF0000000u) << 32;
  panelFields[kPresentLatField]->sources[0].storage = &latitude;
  panelFields[kPresentLonField]->sources[0].storage = &longitude;
  gps.etaValid = gps.headingCoupled = gps.windCorrected = 1;
  gps.distanceNm = 1e300;
  double (*const routines[])(double) = {
      LegText, IdentText,    NameText,       WaypointLatText, WaypointLonText, HeadingText,
      EtaText, DistanceText, PresentLatText, PresentLonText,  StatusText,      ArrivalActionText};
  counting = true;
  for (int decimal = 0; decimal < 2; ++decimal)
    for (int invalid = 0; invalid < 2; ++invalid) {
      coordDecimal = decimal;
      gps.programInvalid = invalid;
      for (auto routine : routines) routine(0.0);
    }
  counting = false;
  EXPECT_EQ(allocations, 0);
  panelFields[kPresentLatField]->sources[0].storage = nullptr;
  panelFields[kPresentLonField]->sources[0].storage = nullptr;
#endif
}

TEST_F(TextTest, UnboundPositionFieldKeepsTheLastPosition) {
  panelFields[kPresentLatField]->sources[0].storage = nullptr;
  gps.presentLat = Coord('N', 12, 30.0);
  PresentLatText(0.0);
  EXPECT_EQ(int(gps.presentLat.degrees), 12);
  EXPECT_EQ(Text(kPresentLatField),
            "N 12\xBA"
            "30'00\"");
}

#ifndef TERVANE_GPS_MODEL_V2
TEST_F(TextTest, WaypointLinesInBothFormsAndPlaceholders) {
  LoadProgram(2);
  gps.activeLeg = 1;
  gps.legs[1].latitude = Coord('N', 51, 28.75);
  gps.legs[1].longitude = Coord('W', 0, 27.68);
  struct Case {
    int32_t invalid, decimal;
    const char *lat, *lon;
  };
  const Case cases[] = {
      {0, 0,
       "N 51\xBA"
       "28'45\"",
       "W  0\xBA"
       "27'40\""},
      {0, 1,
       "N 51\xBA"
       "28.75'",
       "W  0\xBA"
       "27.68'"},
      {1, 0, " ---\xBA--'--\"", " ---\xBA--'--\""},
      {1, 1, " ---\xBA--.--'", " ---\xBA--.--'"},
  };
  for (const Case& c : cases) {
    gps.programInvalid = c.invalid;
    coordDecimal = c.decimal;
    WaypointLatText(0.0);
    WaypointLonText(0.0);
    EXPECT_EQ(Text(kWaypointLatField), c.lat);
    EXPECT_EQ(Text(kWaypointLonField), c.lon);
  }
}
#else
TEST_F(TextTest, V2PositionLinesShowAircraftOrWaypoint) {
  LoadProgram(2);
  gps.legs[0].latitude = Coord('N', 51, 28.75);
  gps.legs[0].longitude = Coord('W', 0, 27.68);
  int64_t latitude = int64_t(4500786) << 32;  // N 40 30
  int64_t longitude = 0;                      // E 0
  panelFields[kPresentLatField]->sources[0].storage = &latitude;
  panelFields[kPresentLonField]->sources[0].storage = &longitude;
  struct Case {
    int32_t waypoint, invalid;
    const char *lat, *lon;
    uint32_t colour;
  };
  const Case cases[] = {
      {0, 0,
       "N 40\xBA"
       "30'00\"",
       "E  0\xBA"
       "00'00\"",
       kLightGrey},
      {1, 0,
       "N 51\xBA"
       "28'45\"",
       "W  0\xBA"
       "27'40\"",
       kYellow},
      {1, 1, " ---\xBA--'--\"", " ---\xBA--'--\"", kYellow},
      {0, 1,
       "N 40\xBA"
       "30'00\"",
       "E  0\xBA"
       "00'00\"",
       kLightGrey},
  };
  for (const Case& c : cases) {
    showWaypointPosition = c.waypoint;
    gps.programInvalid = c.invalid;
    gps.presentLat = {};
    PresentLatText(0.0);
    PresentLonText(0.0);
    EXPECT_EQ(Text(kPresentLatField), c.lat);
    EXPECT_EQ(Text(kPresentLonField), c.lon);
    EXPECT_EQ(Colour(kPresentLatField), c.colour);
    EXPECT_EQ(Colour(kPresentLonField), c.colour);
    // The aircraft position is converted whatever the lines show.
    EXPECT_EQ(int(gps.presentLat.degrees), 40);
    EXPECT_EQ(int(gps.comImage.aircraftLat.degrees), 40);
  }
  panelFields[kPresentLatField]->sources[0].storage = nullptr;
  panelFields[kPresentLonField]->sources[0].storage = nullptr;
}
#endif

}  // namespace
