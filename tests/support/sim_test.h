#pragma once
// A test in a fresh simulated game: the host is reset before and after.
// HostTest is for tests that provoke breaches of the calling protocol and
// look for them; SimTest fails on any breach the test caused.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "finders.h"
#include "host.h"
#include "native_words.h"
#include "reference_natives.h"

namespace test_support {

// A native's hash, from the game's table.
inline uint64_t hash_of(sim::Native native) { return sim::facts_of(native).hash; }

class HostTest : public ::testing::Test {
 protected:
  // Our own plug-ins and tests are held to the table: the strict host.
  void SetUp() override {
    sim::Host::get().set_strict(true);
    sim::Host::get().reset();
  }
  void TearDown() override { sim::Host::get().reset(); }
  sim::Host& host() { return sim::Host::get(); }
  sim::World& world() { return sim::Host::get().world(); }
  std::vector<std::string> violations() { return world().violations(); }
  // How many breaches so far say `fragment`.
  size_t violations_with(const std::string& fragment) {
    const std::vector<std::string> all = violations();
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), [&](const std::string& v) {
      return v.find(fragment) != std::string::npos;
    }));
  }
  bool violated(const std::string& fragment) { return violations_with(fragment) > 0; }
};

class SimTest : public HostTest {
 protected:
  void TearDown() override {
    expect_no_violations(world());
    HostTest::TearDown();
  }
};

}  // namespace test_support
