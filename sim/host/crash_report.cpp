// Crash reports: a fault, an abort or an exception that escapes a script
// ends the run with exit status 1 and a report. Natively the faults are
// signals, handled on a stack of their own so that a script's overflowed
// stack can still be reported; under Windows they are exceptions that
// nothing handled, and an abort is the C runtime's SIGABRT.

#include "crash_report.h"

#include <cxxabi.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <typeinfo>

#include "native_table.h"
#include "reference_natives.h"

#if defined(_WIN32)
#include <windows.h>
#include <winternl.h>
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

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// "a script crashed" and the like, naming what ran.
const char* headline(const char* what) {
  static char text[160];
  std::snprintf(text, sizeof text, "%s %s", running_subject(), what);
  return text;
}

[[noreturn]] void report_exception(const char* message) {
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
                "\n  address:      not known: it was thrown inside the plug-in and left its code\n",
                type_name);
  if (message != nullptr) {
    const size_t used = std::strlen(details);
    std::snprintf(details + used, sizeof details - used, "  message:      %s\n", message);
  }
  end_run_with_report(headline("ended with an unhandled C++ exception"), details);
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

constexpr DWORD gcc_exception = 0x20474343;
constexpr DWORD msvc_exception = 0xE06D7363;

// The code, address and (for an access violation) the address accessed.
const char* describe_exception(const EXCEPTION_RECORD& r) {
  char where[512];
  describe_address(r.ExceptionAddress, where, sizeof where);
  static char details[1024];
  int used = std::snprintf(
      details, sizeof details, "  code:         0x%08lX (%s)\n  address:      %s\n",
      static_cast<unsigned long>(r.ExceptionCode), exception_name(r.ExceptionCode), where);
  if (r.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r.NumberParameters >= 2) {
    const ULONG_PTR how = r.ExceptionInformation[0];
    std::snprintf(details + used, sizeof details - static_cast<size_t>(used),
                  "  accessing:    0x%016llX (%s)\n",
                  static_cast<unsigned long long>(r.ExceptionInformation[1]),
                  how == 0   ? "reading"
                  : how == 1 ? "writing"
                             : "executing");
  }
  return details;
}

LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS* pointers) {
  end_run_with_report(headline("crashed"), describe_exception(*pointers->ExceptionRecord));
}

// The loader calls a plug-in's DllMain inside a handler of its own, which
// takes whatever escapes it. What was raised meanwhile on the loading thread
// is kept, to report once it is known that DllMain did not return.
struct LoaderWatch {
  std::atomic<DWORD> thread{0};  // 0: not watching
  bool raised = false;
  bool thrown = false;  // a C++ exception
  char details[1024] = {};
};
LoaderWatch loader_watch;

LONG WINAPI keep_loader_exception(EXCEPTION_POINTERS* pointers) {
  if (loader_watch.thread.load(std::memory_order_acquire) != GetCurrentThreadId()) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const EXCEPTION_RECORD& r = *pointers->ExceptionRecord;
  // Errors only: the system raises notices (a debug string, say) as exceptions too.
  const bool thrown = r.ExceptionCode == gcc_exception || r.ExceptionCode == msvc_exception;
  if ((r.ExceptionCode & 0xC0000000) != 0xC0000000 && !thrown) return EXCEPTION_CONTINUE_SEARCH;
  // Described now: a load that fails takes the plug-in's module away.
  if (thrown) {
    std::snprintf(loader_watch.details, sizeof loader_watch.details,
                  "  code:         0x%08lX (%s)\n  address:      not known: thrown inside the "
                  "plug-in\n  message:      not known: the system loader took the exception\n",
                  static_cast<unsigned long>(r.ExceptionCode), exception_name(r.ExceptionCode));
  } else {
    std::snprintf(loader_watch.details, sizeof loader_watch.details, "%s", describe_exception(r));
  }
  loader_watch.raised = true;
  loader_watch.thrown = thrown;
  return EXCEPTION_CONTINUE_SEARCH;
}

void watch_loader() {
  static PVOID handler = AddVectoredExceptionHandler(1, keep_loader_exception);
  (void)handler;
  loader_watch.raised = false;
  loader_watch.thread.store(GetCurrentThreadId(), std::memory_order_release);
}

// DllMain did not return: what it raised last ends the run.
void report_loader_exception() {
  loader_watch.thread.store(0, std::memory_order_release);
  if (!loader_watch.raised) return;
  end_run_with_report(
      headline(loader_watch.thrown ? "ended with an unhandled C++ exception" : "crashed"),
      loader_watch.details);
}

// The loader's record of a module, which holds the entry it calls (the
// first of the fields the system's header leaves unnamed after DllBase).
LDR_DATA_TABLE_ENTRY* loader_record(HMODULE module) {
  LIST_ENTRY* head = &NtCurrentTeb()->ProcessEnvironmentBlock->Ldr->InMemoryOrderModuleList;
  for (LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
    auto* record = CONTAINING_RECORD(link, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
    if (record->DllBase == module) return record;
  }
  return nullptr;
}

// The plug-in's DllMain, which the loader calls through guarded_entry while
// the host loads or unloads it: a C++ exception is caught there, before the
// loader's own handler can take it.
using DllEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
struct GuardedEntry {
  DllEntry entry = nullptr;  // the plug-in's own; null: none guarded
  DWORD reason = 0;          // the call the host waits on: attach or detach
  bool returned = false;     // from that call: a failed attach is followed by a detach
};
GuardedEntry guarded;

BOOL WINAPI guarded_entry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  BOOL result = FALSE;
  run_guarded([&] { result = guarded.entry(module, reason, reserved); });
  if (reason == guarded.reason) guarded.returned = true;
  return result;
}

void guard_entry(LDR_DATA_TABLE_ENTRY* record, DWORD reason) {
  guarded.entry = record != nullptr ? reinterpret_cast<DllEntry>(record->Reserved3[0]) : nullptr;
  guarded.reason = reason;
  guarded.returned = false;
  if (guarded.entry != nullptr) record->Reserved3[0] = reinterpret_cast<void*>(guarded_entry);
}

// Its own entry back in the record, if the module is still loaded.
void unguard_entry(HMODULE module) {
  if (guarded.entry == nullptr) return;
  if (LDR_DATA_TABLE_ENTRY* record = module != nullptr ? loader_record(module) : nullptr) {
    record->Reserved3[0] = reinterpret_cast<void*>(guarded.entry);
  }
  guarded.entry = nullptr;
}

// At a load the entry is guarded from ntdll's notice of a module loaded,
// which comes once the module is mapped and before its entry runs. An
// ntdll without it leaves the load to the loader watch.
struct LoadedModule {
  ULONG flags;
  const UNICODE_STRING* full_name;
  const UNICODE_STRING* base_name;
  void* base;
  ULONG size;
};
using LoadNotice = void(CALLBACK*)(ULONG reason, const LoadedModule* module, void* context);
using RegisterLoadNotice = LONG(NTAPI*)(ULONG flags, LoadNotice notice, void* context,
                                        void** cookie);
constexpr ULONG module_loaded = 1;

// The plug-in being loaded: its file name, as the notice names its module.
struct Loading {
  std::atomic<DWORD> thread{0};  // 0: none
  wchar_t name[MAX_PATH] = {};
  bool noticed = false;
};
Loading loading;

bool same_name(const UNICODE_STRING& name, const wchar_t* other) {
  const size_t length = name.Length / sizeof(wchar_t);
  return std::wcslen(other) == length && _wcsnicmp(name.Buffer, other, length) == 0;
}

void CALLBACK on_module_loaded(ULONG reason, const LoadedModule* module, void*) {
  // Only the plug-in itself: not a module it or another thread loads meanwhile.
  if (reason != module_loaded ||
      loading.thread.load(std::memory_order_acquire) != GetCurrentThreadId() || loading.noticed ||
      module->base_name == nullptr || !same_name(*module->base_name, loading.name)) {
    return;
  }
  loading.noticed = true;
  guard_entry(loader_record(static_cast<HMODULE>(module->base)), DLL_PROCESS_ATTACH);
}

bool listen_for_loads() {
  static const bool listening = [] {
    const auto register_notice = reinterpret_cast<RegisterLoadNotice>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrRegisterDllNotification")));
    void* cookie = nullptr;
    return register_notice != nullptr &&
           register_notice(0, on_module_loaded, nullptr, &cookie) >= 0;
  }();
  return listening;
}

void on_abort(int) {
  end_run_with_report(headline("aborted"),
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
  end_run_with_report(headline(signal == SIGABRT ? "aborted" : "crashed"), details);
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

void run_script_entry(ScriptEntry entry) { run_guarded(entry); }

void report_current_exception() {
  try {
    throw;
  } catch (const std::exception& e) {
    report_exception(e.what());
  } catch (...) {
    report_exception(nullptr);
  }
}

PluginCodeMark::PluginCodeMark(const std::string& plugin, const char* subject, const char* doing,
                               uint64_t frame) {
  RunningTurn& t = running_turn();
  std::snprintf(t.plugin, sizeof t.plugin, "%s", plugin.c_str());
  std::snprintf(t.doing, sizeof t.doing, "%s", doing);
  t.subject = subject;
  t.frame.store(frame, std::memory_order_relaxed);
  t.last_native.store(0, std::memory_order_relaxed);
  t.plugin_code.store(true, std::memory_order_release);
  t.started_ns.store(now_ns(), std::memory_order_release);
}

PluginCodeMark::~PluginCodeMark() {
  RunningTurn& t = running_turn();
  t.started_ns.store(0, std::memory_order_release);
  t.plugin_code.store(false, std::memory_order_release);
}

const char* running_subject() {
  const RunningTurn& t = running_turn();
  if (t.script.load(std::memory_order_acquire) != nullptr) return "a script";
  if (t.plugin_code.load(std::memory_order_acquire)) return t.subject;
  return "the run, outside every plug-in's script, load, unload and keyboard handler,";
}

#if defined(_WIN32)

HMODULE load_library(const char* path) {
  loading.noticed = false;
  loading.name[0] = L'\0';
  if (listen_for_loads()) {
    MultiByteToWideChar(CP_ACP, 0, file_name(path), -1, loading.name, MAX_PATH);
    loading.thread.store(GetCurrentThreadId(), std::memory_order_release);
  }
  watch_loader();
  HMODULE module = LoadLibraryA(path);
  loading.thread.store(0, std::memory_order_release);
  if (module == nullptr && !(guarded.entry != nullptr && guarded.returned)) {
    report_loader_exception();
  }
  loader_watch.thread.store(0, std::memory_order_release);
  unguard_entry(module);
  return module;
}

void free_library(HMODULE module) {
  guard_entry(loader_record(module), DLL_PROCESS_DETACH);
  watch_loader();
  FreeLibrary(module);
  if (guarded.entry != nullptr && !guarded.returned) report_loader_exception();
  loader_watch.thread.store(0, std::memory_order_release);
  unguard_entry(module);  // still loaded (loaded more than once)
}

#endif

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

namespace {

unsigned long this_thread() {
#if defined(_WIN32)
  return GetCurrentThreadId();
#else
  return static_cast<unsigned long>(gettid());
#endif
}

void (*last_words)() = nullptr;
unsigned long last_words_thread = 0;

}  // namespace

void before_report(void (*tell)()) {
  last_words = tell;
  last_words_thread = this_thread();
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
  if (last_words != nullptr && last_words_thread == this_thread()) {
    void (*tell)() = last_words;
    last_words = nullptr;  // once, should telling fault too
    tell();
  }
  std::fflush(stdout);  // the timeline so far
  const RunningTurn& turn = running_turn();
  const ScriptInfo* script = turn.script.load(std::memory_order_acquire);
  static char text[4096];
  int used = std::snprintf(text, sizeof text, "play: %s\n", headline);
  const auto add = [&](const char* line) {
    if (used < 0 || static_cast<size_t>(used) >= sizeof text) return;
    used += std::snprintf(text + used, sizeof text - static_cast<size_t>(used), "%s", line);
  };
  char line[1024];
  if (script != nullptr) {
    char entry[512];
    describe_address(reinterpret_cast<const void*>(script->entry), entry, sizeof entry);
    std::snprintf(line, sizeof line, "  plug-in:      %s\n", script->plugin.c_str());
    add(line);
    std::snprintf(line, sizeof line, "  script:       %d (entry at %s)\n", script->number, entry);
    add(line);
  } else if (turn.plugin_code.load(std::memory_order_acquire)) {
    std::snprintf(line, sizeof line, "  plug-in:      %s\n  during:       %s\n", turn.plugin,
                  turn.doing);
    add(line);
  } else {
    add("  plug-in:      none running\n");
    add("  script:       none (outside every script's turn)\n");
  }
  std::snprintf(line, sizeof line, "  frame:        %llu\n",
                static_cast<unsigned long long>(turn.frame.load()));
  add(line);
  const uint64_t last = turn.last_native.load(std::memory_order_relaxed);
  if (last != 0) {
    std::snprintf(line, sizeof line, "  last native:  %s (0x%016llX)\n", native_name(last),
                  static_cast<unsigned long long>(last));
    add(line);
  } else {
    add("  last native:  none yet\n");
  }
  add(details);
  write_stderr(text);
  end_process();
}

}  // namespace sim
