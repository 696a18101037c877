#pragma once
// When a plug-in crashes, loops or throws, the run ends with exit status 1
// and a report on stderr that names the plug-in's file, the script, the
// frame and the last native the script called. What the report needs is
// kept where a signal handler and the watchdog's thread can read it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "exports.h"

namespace sim {

// A script as reports name it; kept on the host's record of the script.
struct ScriptInfo {
  std::string plugin;  // the plug-in's file name
  int number = 0;      // 1 for the plug-in's first script, and so on
  ScriptEntry entry = nullptr;
};

// The script turn now running, or the plug-in code the host runs outside
// every turn (a load, an unload, a keyboard handler), if any: written by the
// host's thread, read by the watchdog and by the handlers of a crash.
struct RunningTurn {
  std::atomic<const ScriptInfo*> script{nullptr};
  // Outside a turn: `plugin` and `doing` say whose code and what it is;
  // written before plugin_code is set, read after.
  std::atomic<bool> plugin_code{false};
  const char* subject = "";  // "a plug-in's load"
  char plugin[256] = {};
  char doing[96] = {};
  std::atomic<uint64_t> frame{0};
  std::atomic<uint64_t> last_native{0};  // hash of the script's last call, 0: none yet
  std::atomic<int64_t> started_ns{0};    // steady clock at the turn's start; 0: no turn
  // Set by the watchdog: the turn that started then ends at its next native
  // call, on the game's thread, where the run can still be told to its end.
  // Once the game's thread takes the bite it holds bite_taken, so that the
  // watchdog, however long the telling takes, does not end the run as well.
  std::atomic<int64_t> bitten_ns{0};
  static constexpr int64_t bite_taken = -1;
  const char* bitten_headline = "";
  const char* bitten_details = "";
};
// Constant-initialised, so a handler may read it at any moment; a variable,
// not a function's static, as every native call writes to it.
extern RunningTurn the_running_turn;
inline RunningTurn& running_turn() { return the_running_turn; }

// The clock a turn's start is told by (RunningTurn::started_ns).
inline int64_t turn_clock_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The host, around each turn and at each native call.
inline void begin_turn(const ScriptInfo& script, uint64_t frame, uint64_t last_native) {
  RunningTurn& t = running_turn();
  t.script.store(&script, std::memory_order_relaxed);
  t.frame.store(frame, std::memory_order_relaxed);
  t.last_native.store(last_native, std::memory_order_relaxed);
  t.started_ns.store(turn_clock_ns(), std::memory_order_release);
}
// The watchdog's bite, taken on the game's thread (see RunningTurn::bitten_ns).
void bitten_at_native();
inline void note_native(uint64_t hash) {
  RunningTurn& t = running_turn();
  if (t.bitten_ns.load(std::memory_order_relaxed) != 0) [[unlikely]]
    bitten_at_native();
  t.last_native.store(hash, std::memory_order_relaxed);
}
// The script's last native, to keep for its next turn.
inline uint64_t end_turn() {
  RunningTurn& t = running_turn();
  t.started_ns.store(0, std::memory_order_release);
  t.script.store(nullptr, std::memory_order_release);
  return t.last_native.load(std::memory_order_relaxed);
}

// Marks a plug-in's code that runs outside every script's turn (a load, an
// unload, a keyboard handler) for as long as it lives: `subject` names it in
// the headline ("a plug-in's load"), `doing` in the details ("its load
// (plugin_attach)").
class PluginCodeMark {
 public:
  PluginCodeMark(const std::string& plugin, const char* subject, const char* doing, uint64_t frame);
  ~PluginCodeMark();
  PluginCodeMark(const PluginCodeMark&) = delete;
  PluginCodeMark& operator=(const PluginCodeMark&) = delete;
};

// What ran when things went wrong, as a report's headline names it: "a
// script", "a plug-in's load" and so on.
const char* running_subject();

// From now on, a fault, an abort or an unhandled exception anywhere in the
// process ends it with a report and exit status 1. Idempotent.
void install_crash_reports();

// Inside a handler of any exception: the report of it, and the end of the run.
[[noreturn]] void report_current_exception();

// Runs a plug-in's code; an exception escaping it ends the run with a report.
template <class Code>
void run_guarded(Code&& code) {
  try {
    code();
  } catch (...) {
    report_current_exception();
  }
}
void run_script_entry(ScriptEntry entry);

// A plug-in's code outside every turn, marked and guarded.
template <class Code>
void run_plugin_code(const std::string& plugin, const char* subject, const char* doing,
                     uint64_t frame, Code&& code) {
  const PluginCodeMark marked(plugin, subject, doing, frame);
  run_guarded(code);
}

#if defined(_WIN32)
// Under Windows the system loader runs a plug-in's DllMain and handles what
// escapes it itself: the load fails, the unload goes on as if nothing
// happened. The host loads and unloads through these, which have the loader
// call DllMain through a guard of the host's, and report what escapes it.
// `before_entry`, when given, runs on the module once the loader has bound
// its imports, before its DllMain (after it, where the loader tells nothing).
HMODULE load_library(const char* path, void (*before_entry)(HMODULE) = nullptr);
void free_library(HMODULE module);
#endif

// Ends the process with exit status 1 after flushing stdout (the timeline so
// far) and writing the report: a headline, then the running turn's details,
// then `details` (lines, each ending in a newline). Safe to call from a
// signal handler: nothing is allocated.
[[noreturn]] void end_run_with_report(const char* headline, const char* details);

// What the tool that drives the run tells before a report ends it (the
// timeline up to the fault). Called only when the report comes on the
// thread that set it, the game's: another thread's report (the watchdog's)
// must not touch what the game's thread may be writing.
void before_report(void (*tell)());

// The report that ends the run, once written (inside the function given to
// before_report, as it tells the run); empty until then.
const char* crash_report_text();

// "file+0x1a2b" for an address inside a loaded module, else the bare address.
void describe_address(const void* address, char* out, size_t size);

}  // namespace sim
