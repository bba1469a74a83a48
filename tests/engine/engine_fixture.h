// The fixture of the engine unit tests: the engine state at its load-time values,
// the recording service table as the host, the fake panel's counters cleared, and
// a fresh temporary folder as the current directory (the GPS memory file is read
// from there). The suite name carries the model the test binary was built for, so
// the three builds of the same tests have distinct names.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/area_publishing.h"
#include "engine/engine.h"
#include "engine/panel_interface.h"
#include "fake_panel.h"
#include "program_text.h"
#include "support/recording_services.h"

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gps = GpsState{};
    fakepanel::PanelCalls() = fakepanel::Calls{};
    headElement.base.children[0]->flags = 1;  // the overlay as the panel declares it
    ImportTable.services = &testsupport::ResetRecording().table;
  }
  void TearDown() override {
    ReleaseAreas();
    ImportTable.services = nullptr;
  }

  testsupport::RecordingServices& Host() { return testsupport::Recording(); }
  fakepanel::Calls& Panel() { return fakepanel::PanelCalls(); }
  void WriteGpsMemory(const std::string& text) { enginetest::WriteFile("TERVANE.dat", text); }

  enginetest::ScopedTempDir dir;
};

// ENGINE_SUITE is defined per test binary (EngineV1, EngineV3, EngineKln90b).
class ENGINE_SUITE : public EngineFixture {};
