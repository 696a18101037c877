#pragma once
// Lookups for GoogleTest tests: `must(find_prompt(world(), "Sit"))` is the
// prompt, or a failure of the test, reported at the caller's line, naming
// what was looked for and what the game holds instead. On a miss it hands
// back a blank stand-in, so the test goes on without touching a null; the
// failure is already recorded, so nothing the test then sees can hide it.

#include <gtest/gtest.h>

#include <type_traits>

#include "lookups.h"

namespace test_support {

// Where a test called a finder, so that a miss is reported at the test's
// line. Taken as a defaulted last parameter: `CallSite at = {}`.
struct CallSite {
  CallSite(const char* file_name = __builtin_FILE(), int line_number = __builtin_LINE())
      : file(file_name), line(line_number) {}
  const char* file;
  int line;
};

template <class T>
T& must(const Lookup<T>& lookup, CallSite at = {}) {
  if (lookup.found != nullptr) return *lookup.found;
  ADD_FAILURE_AT(at.file, at.line) << lookup.miss;
  static std::remove_const_t<T> stand_in;
  stand_in = {};
  return stand_in;
}

// Whether the lookup found its thing; a failure naming what is there
// instead when it did not. For helpers that cannot go on without it.
template <class T>
bool expect_found(const Lookup<T>& lookup, CallSite at = {}) {
  if (lookup) return true;
  ADD_FAILURE_AT(at.file, at.line) << lookup.miss;
  return false;
}

// Every breach of the calling protocol, each its own failure.
inline void expect_no_violations(const sim::World& w) {
  for (const std::string& v : w.violations()) ADD_FAILURE() << "violation: " << v;
}

}  // namespace test_support
