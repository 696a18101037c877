// Crash reports: a fault, an abort or an exception that escapes a script
// ends the run with exit status 1 and a report. Natively the faults are
// signals, handled on a stack of their own so that a script's overflowed
// stack can still be reported; under Windows they are exceptions that
// nothing handled, and an abort is the C runtime's SIGABRT.

#include "crash_report.h"

#include <cxxabi.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "native_table.h"
#include "reference_natives.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <ucontext.h>
#include <unistd.h>
#endif

namespace sim {

constinit RunningTurn the_running_turn;

namespace {

const char* file_name(const char* path) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\') name = c + 1;
  }
  return name;
}

unsigned long long as_number(const void* address) {
  return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address));
}

// The native's name without allocating: every row it could be was built
// when the script called it.
const char* native_name(uint64_t hash) {
  if (const NativeRow* row = find_native(hash)) return row->name;
  if (const NativeRow* row = reference_row(hash)) return row->name;
  return "a native the game does not know";
}

void write_stderr(const char* text) {
#if defined(_WIN32)
  // Straight to the handle: the same bytes as a native run, no CR added.
  std::fflush(stderr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
#else
  size_t left = std::strlen(text);
  while (left > 0) {
    const ssize_t n = write(STDERR_FILENO, text, left);
    if (n <= 0) break;
    text += n;
    left -= static_cast<size_t>(n);
  }
#endif
}

[[noreturn]] void end_process() {
#if defined(_WIN32)
  // Not ExitProcess: a crashed plug-in's detach must not run.
  TerminateProcess(GetCurrentProcess(), 1);
#endif
  _exit(1);
}

void report_exception(const char* message) {
  const std::type_info* type = abi::__cxa_current_exception_type();
  const char* type_name = type != nullptr ? type->name() : "unknown";
  int status = 0;
  char* readable = abi::__cxa_demangle(type_name, nullptr, nullptr, &status);
  if (status == 0 && readable != nullptr) type_name = readable;
  static char details[1536];
  std::snprintf(details, sizeof details,
                "  code:         C++ exception %s"
#if defined(_WIN32)
                " (0x20474343)"
#endif
                "\n  address:      not known: it was thrown inside the script and left its entry\n",
                type_name);
  if (message != nullptr) {
    const size_t used = std::strlen(details);
    std::snprintf(details + used, sizeof details - used, "  message:      %s\n", message);
  }
  end_run_with_report("a script ended with an unhandled C++ exception", details);
}

#if defined(_WIN32)

const char* exception_name(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
      return "access violation";
    case EXCEPTION_STACK_OVERFLOW:
      return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION:
      return "privileged instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return "integer division by zero";
    case EXCEPTION_IN_PAGE_ERROR:
      return "page not loaded";
    case EXCEPTION_DATATYPE_MISALIGNMENT:
      return "misaligned data";
    case 0x20474343:
      return "C++ exception (GCC)";
    case 0xE06D7363:
      return "C++ exception (MSVC)";
    default:
      return "exception";
  }
}

LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* r = pointers->ExceptionRecord;
  char where[512];
  describe_address(r->ExceptionAddress, where, sizeof where);
  static char details[1024];
  int used = std::snprintf(
      details, sizeof details, "  code:         0x%08lX (%s)\n  address:      %s\n",
      static_cast<unsigned long>(r->ExceptionCode), exception_name(r->ExceptionCode), where);
  if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2) {
    const ULONG_PTR how = r->ExceptionInformation[0];
    std::snprintf(details + used, sizeof details - static_cast<size_t>(used),
                  "  accessing:    0x%016llX (%s)\n",
                  static_cast<unsigned long long>(r->ExceptionInformation[1]),
                  how == 0   ? "reading"
                  : how == 1 ? "writing"
                             : "executing");
  }
  end_run_with_report("a script crashed", details);
}

void on_abort(int) {
  end_run_with_report("a script aborted",
                      "  code:         SIGABRT (abort)\n  address:      not known: the C runtime's "
                      "abort\n");
}

void install_handlers() {
  SetUnhandledExceptionFilter(on_unhandled_exception);
  std::signal(SIGABRT, on_abort);
}

#else

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
  end_run_with_report(signal == SIGABRT ? "a script aborted" : "a script crashed", details);
}

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

#endif

}  // namespace

void install_crash_reports() {
  static const bool installed = [] {
    install_handlers();
    return true;
  }();
  (void)installed;
}

void run_script_entry(ScriptEntry entry) {
  try {
    entry();
  } catch (const std::exception& e) {
    report_exception(e.what());
  } catch (...) {
    report_exception(nullptr);
  }
}

void describe_address(const void* address, char* out, size_t size) {
#if defined(_WIN32)
  HMODULE module = nullptr;
  char path[MAX_PATH];
  if (address != nullptr &&
      GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module) &&
      GetModuleFileNameA(module, path, sizeof path) > 0) {
    std::snprintf(out, size, "0x%llx (%s+0x%llx)", as_number(address), file_name(path),
                  static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                  reinterpret_cast<const char*>(module)));
    return;
  }
#else
  Dl_info info{};
  if (address != nullptr && dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
    std::snprintf(out, size, "0x%llx (%s+0x%llx)", as_number(address), file_name(info.dli_fname),
                  static_cast<unsigned long long>(static_cast<const char*>(address) -
                                                  static_cast<const char*>(info.dli_fbase)));
    return;
  }
#endif
  std::snprintf(out, size, "0x%llx", as_number(address));
}

void end_run_with_report(const char* headline, const char* details) {
  static std::atomic<bool> ending{false};
  if (ending.exchange(true)) {
    // Another thread is already ending the run.
    for (;;) {
#if defined(_WIN32)
      Sleep(1000);
#else
      pause();
#endif
    }
  }
  std::fflush(stdout);  // the timeline so far
  const RunningTurn& turn = running_turn();
  const ScriptInfo* script = turn.script.load(std::memory_order_acquire);
  static char text[4096];
  int used = std::snprintf(text, sizeof text, "play: %s\n", headline);
  const auto add = [&](const char* format, auto... args) {
    if (used < 0 || static_cast<size_t>(used) >= sizeof text) return;
    used += std::snprintf(text + used, sizeof text - static_cast<size_t>(used), format, args...);
  };
  if (script != nullptr) {
    char entry[512];
    describe_address(reinterpret_cast<const void*>(script->entry), entry, sizeof entry);
    add("  plug-in:      %s\n", script->plugin.c_str());
    add("  script:       %d (entry at %s)\n", script->number, entry);
  } else {
    add("%s", "  plug-in:      none running\n");
    add("%s", "  script:       none (outside every script's turn)\n");
  }
  add("  frame:        %llu\n", static_cast<unsigned long long>(turn.frame.load()));
  const uint64_t last = turn.last_native.load(std::memory_order_relaxed);
  if (last != 0) {
    add("  last native:  %s (0x%016llX)\n", native_name(last),
        static_cast<unsigned long long>(last));
  } else {
    add("%s", "  last native:  none yet\n");
  }
  add("%s", details);
  write_stderr(text);
  end_process();
}

}  // namespace sim
