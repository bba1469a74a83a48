// A V1/V2/V4 panel compiled into the test with the engine, against the recording
// host: each test sets GpsState and the panel flags directly, runs routines and
// reads the field buffers. Buffers are exactly maxChars + 1 bytes on the heap, as
// the host allocates them, so a write past a field's maximum is an ASan error.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "panels/v124/v124_panel.h"
#include "support/recording_services.h"

extern "C" GaugeImportTable ImportTable;

class RoutineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ImportTable.services = &testsupport::ResetRecording().table;
    gps = GpsState{};
    for (int i = 0; i < kBindingCount; ++i) gps.bindings[i].token = kBindingTokens[i];
    coordDecimal = showCommandedHeading = showWaypointPosition = 0;
    buffers_.clear();
    for (StringElement* field : panelFields) {
      if (!field) continue;
      buffers_.push_back(std::make_unique<char[]>(size_t(field->maxChars) + 1));
      field->textBuffer = buffers_.back().get();
      field->textBuffer[0] = '\0';
    }
  }
  void TearDown() override {
    for (StringElement* field : panelFields)
      if (field) field->textBuffer = nullptr;
  }

  static std::string Text(FieldRole role) { return panelFields[role]->textBuffer; }
  static uint32_t Colour(FieldRole role) { return panelFields[role]->textColour; }

  // A valid program of `count` legs: idents "W01".., names "POINT 01"..
  static void LoadProgram(int count) {
    gps.legCount = count;
    for (int i = 0; i < count; ++i) {
      std::snprintf(gps.legs[i].ident, sizeof gps.legs[i].ident, "W%02d", i + 1);
      std::snprintf(gps.legs[i].name, sizeof gps.legs[i].name, "POINT %02d", i + 1);
    }
  }

  std::vector<std::unique_ptr<char[]>> buffers_;
};

inline GeoCoord Coord(char hemisphere, int degrees, double decimalMinutes) {
  GeoCoord c{};
  c.hemisphere = hemisphere;
  c.degrees = degrees;
  c.decimalMinutes = decimalMinutes;
  c.minutes = int(decimalMinutes);
  c.seconds = int((decimalMinutes - c.minutes) * 60.0);
  return c;
}
