// Crash reports: a fault, an abort or an exception that escapes a script
// ends the run with exit status 1 and a report. What each platform catches
// and how it writes is in crash_report_posix.cpp and crash_report_win32.cpp.

#include "crash_report.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "crash_report_platform.h"
#include "native_row.h"

namespace sim {

constinit RunningTurn the_running_turn;

namespace crash {

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

const char* headline(const char* what) {
  static char text[160];
  std::snprintf(text, sizeof text, "%s %s", running_subject(), what);
  return text;
}

}  // namespace crash

namespace {

// The native's name without allocating: every row it could be was built
// when the script called it.
const char* native_name(uint64_t hash) {
  if (const NativeRow* row = native_row(hash).row) return row->name;
  return "a native the game does not know";
}

[[noreturn]] void report_exception(const char* message) {
  const std::type_info* type = abi::__cxa_current_exception_type();
  const char* type_name = type != nullptr ? type->name() : "unknown";
  int status = 0;
  char* readable = abi::__cxa_demangle(type_name, nullptr, nullptr, &status);
  if (status == 0 && readable != nullptr) type_name = readable;
  static char details[1536];
  std::snprintf(details, sizeof details,
                "  code:         C++ exception %s%s"
                "\n  address:      not known: it was thrown inside the plug-in and left its code\n",
                type_name, crash::thrown_code);
  if (message != nullptr) {
    const size_t used = std::strlen(details);
    std::snprintf(details + used, sizeof details - used, "  message:      %s\n", message);
  }
  end_run_with_report(crash::headline("ended with an unhandled C++ exception"), details);
}

}  // namespace

void install_crash_reports() {
  static const bool installed = [] {
    crash::install_handlers();
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
  t.started_ns.store(turn_clock_ns(), std::memory_order_release);
}

PluginCodeMark::~PluginCodeMark() {
  RunningTurn& t = running_turn();
  t.started_ns.store(0, std::memory_order_release);
  t.plugin_code.store(false, std::memory_order_release);
}

void bitten_at_native() {
  RunningTurn& t = running_turn();
  int64_t bitten = t.bitten_ns.load(std::memory_order_acquire);
  if (bitten == t.started_ns.load(std::memory_order_acquire) &&
      t.bitten_ns.compare_exchange_strong(bitten, RunningTurn::bite_taken,
                                          std::memory_order_acq_rel)) {
    end_run_with_report(t.bitten_headline, t.bitten_details);
  }
  // A turn since yielded; a bite the watchdog took back stays its own.
  if (bitten != RunningTurn::bite_taken) t.bitten_ns.compare_exchange_strong(bitten, 0);
}

const char* running_subject() {
  const RunningTurn& t = running_turn();
  if (t.script.load(std::memory_order_acquire) != nullptr) return "a script";
  if (t.plugin_code.load(std::memory_order_acquire)) return t.subject;
  return "the run, outside every plug-in's script, load, unload and keyboard handler,";
}

namespace {

void (*last_words)() = nullptr;
unsigned long last_words_thread = 0;
char report_text[4096] = {};

}  // namespace

const char* crash_report_text() { return report_text; }

void before_report(void (*tell)()) {
  last_words = tell;
  last_words_thread = crash::this_thread();
}

void end_run_with_report(const char* headline, const char* details) {
  static std::atomic<bool> ending{false};
  if (ending.exchange(true)) crash::wait_forever();  // another thread is ending the run
  const RunningTurn& turn = running_turn();
  const ScriptInfo* script = turn.script.load(std::memory_order_acquire);
  char* const text = report_text;
  constexpr size_t text_size = sizeof report_text;
  int used = std::snprintf(text, text_size, "play: %s\n", headline);
  const auto add = [&](const char* line) {
    if (used < 0 || static_cast<size_t>(used) >= text_size) return;
    used += std::snprintf(text + used, text_size - static_cast<size_t>(used), "%s", line);
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
  // The report is written before the tool tells the run, so its page can carry it.
  if (last_words != nullptr && last_words_thread == crash::this_thread()) {
    void (*tell)() = last_words;
    last_words = nullptr;  // once, should telling fault too
    tell();
  }
  std::fflush(stdout);  // the timeline so far
  crash::write_stderr(text);
  crash::end_process();
}

}  // namespace sim
