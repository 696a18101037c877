#pragma once
// The stand-in for the script-hook host: it loads plug-ins, runs their
// scripts one frame at a time on contexts of their own, passes keyboard
// messages, and answers native calls from the simulated world, strictly.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "crash_report.h"
#include "exports.h"
#include "native_table.h"
#include "script_fiber.h"
#include "world.h"

namespace sim {

// The value getGameVersion answers: fixed, the stand-in is no particular build.
constexpr int stand_in_game_version = 1491;
// The size of the block getScriptHandleBaseAddress hands out per entity.
constexpr size_t entity_block_bytes = 0x400;

// The operating system's id of the calling thread.
uint32_t os_thread_id();

class Host {
 public:
  // Inline: every native call of every plug-in comes through here. The
  // runner, outside the host's DLL, reaches the DLL's one host through
  // instance(): an inline function's static would be a second host there.
#if defined(SIM_HOST_IMPORTED)
  static Host& get() { return instance(); }
#else
  static Host& get() {
    static Host host;
    return host;
  }
#endif
  static Host& instance();

  World& world() { return *run_.world; }
  // The strict host: what the game tolerates is a violation all the same.
  // It holds across resets, for every run after.
  void set_strict(bool on) {
    strict_ = on;
    run_.world->strict = on;
  }
  bool strict() const { return strict_; }

  // Unloads every plug-in, forgets every script and handler, and starts a
  // fresh world.
  void reset();

  // A plug-in file: a .asi under Windows, a shared object natively. Returns
  // its module handle, or null (with a violation) when it cannot be loaded.
  HMODULE load_plugin(const std::string& path);
  void unload_plugin(HMODULE module);

  // One game frame: the world moves on, then each script whose wait is over
  // runs until it waits again.
  void run_frame();
  void run_frames(int frames);
  bool run_until(const std::function<bool()>& done, int max_frames);
  void run_for_ms(uint32_t ms);  // frames until the game timer has moved on that far

  void send_key(DWORD key, WORD repeat_count, BYTE scan_code, BOOL is_extended, BOOL alt_down,
                BOOL was_down, BOOL is_up);

  // Every plug-in unloads, last loaded first, as at the game's exit.
  void unload_plugins();

  size_t script_count() const { return run_.scripts.size(); }
  size_t keyboard_handler_count() const { return run_.keyboard_handlers.size(); }
  bool has_script(HMODULE module) const;
  bool has_keyboard_handler(KeyboardHandler handler) const;
  uint64_t waits() const { return run_.waits; }  // scriptWait calls of all scripts so far

  // The game's thread: the one that resets the host and runs its frames.
  // Any host call from another thread is refused as a violation.
  uint32_t game_thread() const { return game_thread_; }

  // The exports land here.
  void script_register(HMODULE module, ScriptEntry entry, bool additional = false);
  void script_unregister(HMODULE module);
  void script_unregister(ScriptEntry entry);
  void keyboard_handler_register(KeyboardHandler handler);
  void keyboard_handler_unregister(KeyboardHandler handler);
  void script_wait(DWORD ms);
  void native_init(uint64_t hash);
  void native_push(uint64_t value);
  uint64_t* native_call();
  uint64_t* global_ptr(int index);
  int world_get_all(const char* what, EntityKind kind, int* handles, int capacity);
  BYTE* script_handle_base_address(int handle);
  int game_version();

  // A script as the host keeps it, with what tells it apart in a report.
  struct Script {
    HMODULE module = nullptr;
    ScriptEntry entry = nullptr;
    std::string plugin;   // the plug-in's file name, or the module's address
    int index = 0;        // 0 for the module's first script, then each additional one
    uint64_t number = 0;  // from 1 in the order registered since the reset, never given twice
    std::unique_ptr<ScriptFiber> fiber;
    uint64_t wake_frame = 0;
    uint64_t wake_elapsed_ms = 0;  // on the world's elapsed time, which never jumps
    bool finished = false;
    uint64_t last_native = 0;  // the hash of its latest native call
    uint64_t last_frame = 0;   // the frame of its latest turn
    ScriptInfo info;           // what a crash report or the watchdog says of it
    std::string name() const;  // "script 1 of cinema.so"
    ScriptName journal_name() const;
  };
  const std::vector<std::unique_ptr<Script>>& scripts() const { return run_.scripts; }

 private:
  Host();

  struct Plugin {
    HMODULE module = nullptr;
    std::string file;
  };
  struct Handler {
    KeyboardHandler handler = nullptr;
    HMODULE module = nullptr;  // the plug-in that registered it, when known
  };
  struct Global {
    uint64_t value = 0;  // the slot the plug-in holds the address of
    uint64_t seen = 0;   // its value when the host last looked
  };
  static void run_script(void* script);
  bool due(const Script& s) const;
  void run_turn(Script& s);
  std::string plugin_name(HMODULE module) const;
  HMODULE calling_module() const;  // the plug-in being loaded, unloaded or run
  // What the host did: a plug-in loaded, a script registered, a global
  // handed out; the journal of the run keeps it.
  void script_ended(const Script& s, const char* how);
  void note_global_writes(const std::string& when);
  void forget_dead_blocks();

  // Everything that lasts one run, from one reset to the next: a reset
  // replaces it whole. Destroyed in reverse, its world last.
  bool strict_ = false;
  struct Run {
    std::unique_ptr<World> world = std::make_unique<World>();
    std::vector<std::unique_ptr<Script>> scripts;
    std::vector<std::unique_ptr<Script>> retired;  // unregistered while running
    uint64_t scripts_numbered = 0;
    std::vector<Handler> keyboard_handlers;
    std::vector<Plugin> plugins;
    Plugin* attaching = nullptr;  // the plug-in whose load or unload runs now
    bool unloading = false;
    bool in_keyboard_handler = false;
    Script* current = nullptr;
    NativeCall call;
    bool call_open = false;
    bool call_to_host = false;  // the open call's row is one of the host's own
    uint64_t waits = 0;
    uint64_t last_hash = 0;  // the last call of the running script, for the wait entry
    uint64_t last_arg = 0;
    uint64_t last_result = 0;

    std::map<int, Global> globals;  // nodes stay put: plug-ins keep their addresses
    uint64_t negative_global = 0;   // what a negative index gets instead of a crash
    // A zeroed block per live entity, reused like a pool's slot once it dies.
    std::deque<std::array<uint8_t, entity_block_bytes>> blocks;
    std::map<int32_t, size_t> block_of;
    std::vector<size_t> free_blocks;
  };
  Run run_;

  uint32_t game_thread_ = 0;
  // Calls from other threads are refused and reported; the report waits here,
  // under a spin lock (mingw's threads have no std::mutex), until the game's
  // thread files it as a violation.
  std::atomic_flag other_threads_lock_ = ATOMIC_FLAG_INIT;
  std::vector<std::string> other_threads_;
  std::atomic<bool> other_threads_waiting_{false};
  std::atomic<bool> in_turn_{false};  // read by other threads for their report
  bool off_thread(const char* what) {
    if (os_thread_id() == game_thread_) return false;
    return refuse_other_thread(what);
  }
  bool refuse_other_thread(const char* what);
  // Checked on every native call; the filing itself is rare.
  void file_other_threads() {
    if (other_threads_waiting_.load(std::memory_order_relaxed)) file_waiting_reports();
  }
  void file_waiting_reports();
  static std::string native_label(uint64_t hash);  // its name and hash, or the hash
};

}  // namespace sim
