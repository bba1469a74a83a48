// Scenario files: bad ones are refused with the file, the key and the problem;
// good ones run through the host; tervane-sim ends cleanly on SIGTERM.
#include "scenario.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "host.h"

namespace {

TEST(Scenario, RefusesBadFilesNamingTheKeyAndProblem) {
  struct Case {
    const char* json;
    const char* key;
    const char* problem;
  };
  const Case cases[] = {
      {"[1]", "(file)", "JSON object"},
      {"{", "(file)", "not valid JSON"},
      {R"({"gauges":[{"file":"A.gau"}]})", "updates", "missing"},
      {R"({"updates":-1,"gauges":[{"file":"A.gau"}]})", "updates", "between"},
      {R"({"updates":1,"gauges":[]})", "gauges", "non-empty"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"speed":3})", "speed", "unknown key"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"variables":{"warp":1}})", "variables.warp",
       "unknown variable"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"variables":{"altitude":"high"}})",
       "variables.altitude", "number"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"timeline":[{"set":{}}]})", "timeline[0].at",
       "missing"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"timeline":[{"at":1}]})", "timeline[0]",
       "no action"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"timeline":[{"at":1,"jump":1}]})",
       "timeline[0].jump", "unknown action"},
      {R"({"updates":1,"gauges":[{"file":"A.gau"}],"timeline":[{"at":1,"click":{"gauge":"A","x":-4,"y":0}}]})",
       "timeline[0].click.x", "between"},
  };
  for (const Case& c : cases) {
    try {
      host::ParseScenario(c.json, "bad.json");
      ADD_FAILURE() << c.json << " was accepted";
    } catch (const host::ScenarioError& e) {
      std::string what = e.what();
      EXPECT_EQ(what.rfind("bad.json: " + std::string(c.key) + ": ", 0), 0u) << what;
      EXPECT_NE(what.find(c.problem), std::string::npos) << what;
    }
  }
}

TEST(Scenario, RunsTheTimelineAndTracesEveryUpdate) {
  host::Scenario s = host::ParseScenario(R"({
    "updates": 3,
    "gauges": [{"file": "TEST_RECORDER.gau"}],
    "variables": {"outside_air_temperature": 5},
    "timeline": [{"at": 1, "set": {"0x155": -7.5}}, {"at": 3, "click": {"gauge": "TEST_RECORDER", "x": 12, "y": 12}}]
  })",
                                         "inline");
  host::Host panel(TEST_SIM_DIR);
  std::ostringstream trace, screen;
  host::RunOptions options;
  options.trace = &trace;
  options.screen = &screen;
  EXPECT_EQ(host::RunScenario(panel, s, options), 3u);
  std::vector<std::string> lines;
  std::istringstream in(trace.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  // A value set after update 1 shows from update 2 on: routines run inside updates.
  EXPECT_NE(lines[0].find("\"text\":\"5.0|0\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\"text\":\"-7.5|0\""), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("\"text\":\"click 1\""), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find("\"event\":\"0xF008\""), std::string::npos)
      << lines[2];  // the click's report
}

// tervane-sim on a long scenario, stopped by SIGTERM, kills its gauges and exits 0.
TEST(Scenario, SigtermEndsTheRunCleanly) {
  std::string dir = ::testing::TempDir();
  std::string scenario = dir + "/long.json";
  std::ofstream(scenario) << R"({"updates": 100000000, "gauges": [{"file": "TEST_RECORDER.gau"}]})";
  std::string out = dir + "/long.out";
  pid_t pid = fork();
  if (pid == 0) {
    freopen(out.c_str(), "w", stdout);
    execl(TERVANE_SIM_BIN, TERVANE_SIM_BIN, "run", scenario.c_str(), "--sim-dir", TEST_SIM_DIR,
          nullptr);
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::stringstream text;
  text << std::ifstream(out).rdbuf();
  EXPECT_NE(text.str().find("stopped early by a signal"), std::string::npos) << text.str();
}

}  // namespace
