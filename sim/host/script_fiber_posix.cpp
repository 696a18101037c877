// Script contexts natively: Boost.Context's fcontext switches stacks in user
// space. ucontext's swapcontext saved and restored the signal mask with a
// system call on every switch, two per script per frame.

#include <sys/mman.h>

#include <boost/context/detail/fcontext.hpp>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "memory_probe.h"
#include "script_fiber.h"

#if defined(__SANITIZE_ADDRESS__)
#define SIM_ASAN_FIBERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SIM_ASAN_FIBERS 1
#endif
#endif

#if defined(SIM_ASAN_FIBERS)
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

namespace sim {

namespace fc = boost::context::detail;

constexpr size_t script_stack_bytes = size_t{1024} * 1024;
// Below each stack a page no one may touch: a script that overflows its
// stack faults there, and the crash report says so, instead of writing over
// the host's heap.
constexpr size_t guard_bytes = 4096;

struct ScriptFiber::Impl {
  fc::fcontext_t script = nullptr;  // where the script goes on
  fc::fcontext_t host = nullptr;    // where the host goes on
  void* stack = nullptr;
  Body body = nullptr;
  void* arg = nullptr;
  // The address sanitizer is told of every switch, or it takes the script's
  // stack for a corrupted one.
  void* host_fake_stack = nullptr;
  void* script_fake_stack = nullptr;
  const void* host_stack_bottom = nullptr;
  size_t host_stack_size = 0;
};

#if defined(SIM_ASAN_FIBERS)
static void entering_script(ScriptFiber::Impl& f) {
  __sanitizer_start_switch_fiber(&f.host_fake_stack, f.stack, script_stack_bytes);
}
static void entered_script(ScriptFiber::Impl& f) {
  __sanitizer_finish_switch_fiber(f.script_fake_stack, &f.host_stack_bottom, &f.host_stack_size);
}
static void leaving_script(ScriptFiber::Impl& f) {
  __sanitizer_start_switch_fiber(&f.script_fake_stack, f.host_stack_bottom, f.host_stack_size);
}
static void back_in_host(ScriptFiber::Impl& f) {
  __sanitizer_finish_switch_fiber(f.host_fake_stack, nullptr, nullptr);
}
#else
static void entering_script(ScriptFiber::Impl&) {}
static void entered_script(ScriptFiber::Impl&) {}
static void leaving_script(ScriptFiber::Impl&) {}
static void back_in_host(ScriptFiber::Impl&) {}
#endif

static void start(fc::transfer_t from) {
  auto* f = static_cast<ScriptFiber::Impl*>(from.data);
  f->host = from.fctx;
  entered_script(*f);
  f->body(f->arg);
  // A finished script is never resumed, but a context must not return.
  for (;;) {
    leaving_script(*f);
    f->host = fc::jump_fcontext(f->host, nullptr).fctx;
    entered_script(*f);
  }
}

ScriptFiber::ScriptFiber(Body body, void* arg) : impl_(new Impl) {
  impl_->body = body;
  impl_->arg = arg;
  void* mapped = mmap(nullptr, guard_bytes + script_stack_bytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  mprotect(mapped, guard_bytes, PROT_NONE);
  impl_->stack = static_cast<char*>(mapped) + guard_bytes;
#if defined(SIM_ASAN_FIBERS)
  // The mapping may lie where an earlier fiber's stack was, whose frames
  // never returned: their redzones would still be poisoned.
  __asan_unpoison_memory_region(impl_->stack, script_stack_bytes);
#endif
  memory::add_stack(impl_->stack, static_cast<char*>(impl_->stack) + script_stack_bytes);
  // The stack grows down from its top.
  impl_->script = fc::make_fcontext(static_cast<char*>(impl_->stack) + script_stack_bytes,
                                    script_stack_bytes, start);
}

ScriptFiber::~ScriptFiber() {
  memory::remove_stack(impl_->stack);
  munmap(static_cast<char*>(impl_->stack) - guard_bytes, guard_bytes + script_stack_bytes);
  delete impl_;
}

void ScriptFiber::resume() {
  entering_script(*impl_);
  impl_->script = fc::jump_fcontext(impl_->script, impl_).fctx;
  back_in_host(*impl_);
}

void ScriptFiber::yield() {
  leaving_script(*impl_);
  impl_->host = fc::jump_fcontext(impl_->host, nullptr).fctx;
  entered_script(*impl_);
}

}  // namespace sim
