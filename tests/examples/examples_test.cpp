// The example plug-ins, each played through its own scenario.

#include <gtest/gtest.h>

#include "play_runs.h"

namespace play_test {
namespace {

PlayRun play_example(const std::string& name, const std::string& options = "") {
  return play_command(options + " --plugin '" + EXAMPLES_NATIVE_DIR + "/" + name + ".so' '" +
                      EXAMPLE_SCENARIOS_DIR + "/" + name + ".scenario'");
}

TEST(FaultNoWait, TheWatchdogEndsItsEndlessTurnNamingWhereItWas) {
  const PlayRun run = play_example("fault_no_wait", "--watchdog 1");
  EXPECT_EQ(run.status, 1) << run.out;
  for (const char* part :
       {"play: watchdog: a script's turn did not yield within 1 s",
        "plug-in:      fault_no_wait.so", "script:       1 (", "frame:        122",
        "last native:  HAS_MODEL_LOADED", "why:          it runs without calling scriptWait"}) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part << '\n' << run.out;
  }
}

}  // namespace
}  // namespace play_test
