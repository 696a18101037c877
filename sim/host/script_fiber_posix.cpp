#include <ucontext.h>

#include <cstdint>
#include <cstdlib>

#include "script_fiber.h"

namespace sim {

constexpr size_t script_stack_bytes = size_t{1024} * 1024;

struct ScriptFiber::Impl {
  ucontext_t script{};
  ucontext_t host{};
  void* stack = nullptr;
  Body body = nullptr;
  void* arg = nullptr;
};

static void start(unsigned hi, unsigned lo) {
  auto* impl = reinterpret_cast<ScriptFiber::Impl*>((static_cast<uintptr_t>(hi) << 32) | lo);
  impl->body(impl->arg);
}

ScriptFiber::ScriptFiber(Body body, void* arg) : impl_(new Impl) {
  impl_->body = body;
  impl_->arg = arg;
  impl_->stack = std::malloc(script_stack_bytes);
  getcontext(&impl_->script);
  impl_->script.uc_stack.ss_sp = impl_->stack;
  impl_->script.uc_stack.ss_size = script_stack_bytes;
  impl_->script.uc_link = &impl_->host;
  const auto address = reinterpret_cast<uintptr_t>(impl_);
  makecontext(&impl_->script, reinterpret_cast<void (*)()>(start), 2,
              static_cast<unsigned>(address >> 32), static_cast<unsigned>(address & 0xFFFFFFFFu));
}

ScriptFiber::~ScriptFiber() {
  std::free(impl_->stack);
  delete impl_;
}

void ScriptFiber::resume() { swapcontext(&impl_->host, &impl_->script); }
void ScriptFiber::yield() { swapcontext(&impl_->script, &impl_->host); }

}  // namespace sim
