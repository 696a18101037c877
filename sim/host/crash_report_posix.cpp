// Crash reports natively: the faults are signals, handled on a stack of
// their own so that a script's overflowed stack can still be reported.

#include <dlfcn.h>
#include <ucontext.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "crash_report.h"
#include "crash_report_platform.h"

namespace sim {

namespace crash {

namespace {

const char* signal_name(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV (access violation)";
    case SIGBUS:
      return "SIGBUS (bus error)";
    case SIGFPE:
      return "SIGFPE (arithmetic fault)";
    case SIGILL:
      return "SIGILL (illegal instruction)";
    case SIGABRT:
      return "SIGABRT (abort)";
    default:
      return "a signal";
  }
}

void on_signal(int signal, siginfo_t* info, void* context) {
  const void* pc = nullptr;
#if defined(__x86_64__)
  pc = reinterpret_cast<const void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  pc = reinterpret_cast<const void*>(static_cast<ucontext_t*>(context)->uc_mcontext.pc);
#else
  (void)context;
#endif
  char where[512];
  describe_address(pc, where, sizeof where);
  static char details[1024];
  int used = std::snprintf(details, sizeof details, "  code:         %s\n  address:      %s\n",
                           signal_name(signal), where);
  if (signal != SIGABRT) {
    std::snprintf(details + used, sizeof details - static_cast<size_t>(used),
                  "  accessing:    0x%016llX\n", as_number(info->si_addr));
  }
  end_run_with_report(headline(signal == SIGABRT ? "aborted" : "crashed"), details);
}

}  // namespace

void install_handlers() {
  // Room to report a script that overflowed its stack.
  static char alternate_stack[64 * 1024];
  stack_t ss{};
  ss.ss_sp = alternate_stack;
  ss.ss_size = sizeof alternate_stack;
  sigaltstack(&ss, nullptr);
  struct sigaction action {};
  action.sa_sigaction = on_signal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(signal, &action, nullptr);
}

void write_stderr(const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t n = write(STDERR_FILENO, text, left);
    if (n <= 0) break;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

void end_process() { _exit(1); }

void wait_forever() {
  for (;;) pause();
}

unsigned long this_thread() { return static_cast<unsigned long>(gettid()); }

const char thrown_code[] = "";

}  // namespace crash

void describe_address(const void* address, char* out, size_t size) {
  Dl_info info{};
  if (address != nullptr && dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
    std::snprintf(out, size, "0x%llx (%s+0x%llx)", crash::as_number(address),
                  crash::file_name(info.dli_fname),
                  static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                  static_cast<const char*>(info.dli_fbase)));
    return;
  }
  std::snprintf(out, size, "0x%llx", crash::as_number(address));
}

}  // namespace sim
