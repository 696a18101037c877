#pragma once
// Runs test code as a script inside the stand-in host, so it may call
// natives and wait like a plug-in does.

#include <functional>

#include "host.h"

namespace test_support {

inline std::function<void()>& script_body() {
  static std::function<void()> body;
  return body;
}

inline void script_entry_for_tests() {
  script_body()();
  for (;;) scriptWait(0);
}

inline HMODULE test_module() {
  static int module_tag;
  return reinterpret_cast<HMODULE>(&module_tag);
}
// The plug-in the tests' scripts stand for, as the world's books name it.
inline sim::PluginId test_plugin() { return sim::PluginId{test_module()}; }

// Registers `body` as a script; it starts at the next frame.
inline void start_script(std::function<void()> body) {
  script_body() = std::move(body);
  scriptUnregister(test_module());  // a test's earlier script: one entry is registered once
  scriptRegister(test_module(), script_entry_for_tests);
}

// Runs `body` as a script until it returns; false if it did not within
// `max_frames` frames.
inline bool run_script(std::function<void()> body, int max_frames = 600) {
  bool done = false;
  start_script([body = std::move(body), &done] {
    body();
    done = true;
  });
  return sim::Host::get().run_until([&] { return done; }, max_frames);
}

}  // namespace test_support
