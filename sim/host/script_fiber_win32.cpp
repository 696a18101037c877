#include <windows.h>

#include "script_fiber.h"

namespace sim {

struct ScriptFiber::Impl {
  void* fiber = nullptr;
  void* host = nullptr;
  Body body = nullptr;
  void* arg = nullptr;
};

static void WINAPI start(void* param) {
  auto* impl = static_cast<ScriptFiber::Impl*>(param);
  impl->body(impl->arg);
  // A fiber must never return; the body yields for good before it gets here.
  for (;;) SwitchToFiber(impl->host);
}

ScriptFiber::ScriptFiber(Body body, void* arg) : impl_(new Impl) {
  impl_->body = body;
  impl_->arg = arg;
  impl_->fiber = CreateFiber(1024 * 1024, start, impl_);
}

ScriptFiber::~ScriptFiber() {
  if (impl_->fiber != nullptr) DeleteFiber(impl_->fiber);
  delete impl_;
}

void ScriptFiber::resume() {
  if (!IsThreadAFiber()) ConvertThreadToFiber(nullptr);
  impl_->host = GetCurrentFiber();
  SwitchToFiber(impl_->fiber);
}

void ScriptFiber::yield() { SwitchToFiber(impl_->host); }

}  // namespace sim
