#pragma once
// A test in a fresh simulated game: the host is reset before and after, and
// the test fails on any breach of the calling protocol it caused.

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"

namespace test_support {

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Host::get().reset(); }
  void TearDown() override {
    expect_no_violations(world());
    sim::Host::get().reset();
  }
  sim::Host& host() { return sim::Host::get(); }
  sim::World& world() { return sim::Host::get().world(); }
};

}  // namespace test_support
