// Crash reports under Windows: the faults are exceptions that nothing
// handled, and an abort is the C runtime's SIGABRT. The system loader runs a
// plug-in's DllMain inside a handler of its own, so a load and an unload go
// through a guard of the host's.

#include <windows.h>
#include <winternl.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "crash_report.h"
#include "crash_report_platform.h"

namespace sim {

using crash::as_number;
using crash::file_name;
using crash::headline;

namespace {

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
  void (*before_entry)(HMODULE) = nullptr;
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
  if (loading.before_entry != nullptr) loading.before_entry(static_cast<HMODULE>(module->base));
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

}  // namespace

void crash::install_handlers() {
  SetUnhandledExceptionFilter(on_unhandled_exception);
  std::signal(SIGABRT, on_abort);
}

void crash::write_stderr(const char* text) {
  // Straight to the handle: the same bytes as a native run, no CR added.
  std::fflush(stderr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
}

void crash::end_process() {
  // Not ExitProcess: a crashed plug-in's detach must not run.
  TerminateProcess(GetCurrentProcess(), 1);
  _exit(1);
}

void crash::wait_forever() {
  for (;;) Sleep(1000);
}

unsigned long crash::this_thread() { return GetCurrentThreadId(); }

const char crash::thrown_code[] = " (0x20474343)";

HMODULE load_library(const char* path, void (*before_entry)(HMODULE)) {
  loading.noticed = false;
  loading.name[0] = L'\0';
  loading.before_entry = before_entry;
  if (listen_for_loads()) {
    MultiByteToWideChar(CP_ACP, 0, file_name(path), -1, loading.name, MAX_PATH);
    loading.thread.store(GetCurrentThreadId(), std::memory_order_release);
  }
  watch_loader();
  HMODULE module = LoadLibraryA(path);
  loading.thread.store(0, std::memory_order_release);
  if (module != nullptr && before_entry != nullptr && !loading.noticed) before_entry(module);
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

void describe_address(const void* address, char* out, size_t size) {
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
  std::snprintf(out, size, "0x%llx", as_number(address));
}

}  // namespace sim
