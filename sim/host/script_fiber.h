#pragma once
// A script's own execution context: Windows fibers in the DLL build, as the
// real host uses, and ucontext natively. Only the host thread drives them.

#include <cstddef>

namespace sim {

class ScriptFiber {
 public:
  using Body = void (*)(void* arg);
  ScriptFiber(Body body, void* arg);
  ~ScriptFiber();
  ScriptFiber(const ScriptFiber&) = delete;
  ScriptFiber& operator=(const ScriptFiber&) = delete;

  void resume();  // host side: run the script until it yields
  void yield();   // script side: hand control back to the host

  struct Impl;

 private:
  Impl* impl_;
};

}  // namespace sim
