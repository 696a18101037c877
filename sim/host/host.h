#pragma once
// The stand-in for the script-hook host: it loads plug-ins, runs their
// scripts one frame at a time on contexts of their own, passes keyboard
// messages, and answers native calls from the simulated world, strictly.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../../toolkit/script_hook.h"
#include "crash_report.h"
#include "native_table.h"
#include "script_fiber.h"
#include "world.h"

namespace sim {

// A scriptWait as the host saw it, with the native call the script made
// just before it: a wait inside a pass waits on what that call tested.
struct WaitRecord {
  uint64_t frame = 0;
  uint32_t game_ms = 0;     // the game timer when the script began to wait
  uint32_t ms = 0;          // as asked; 0 resumes the script at the next frame
  size_t calls_before = 0;  // calls in the world's record before it
  uint64_t last_hash = 0;   // the script's last native call before the wait
  uint64_t last_arg = 0;    // its first argument
  uint64_t last_result = 0;
};

class Host {
 public:
  static Host& get();

  World& world() { return *world_; }

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

  size_t script_count() const { return scripts_.size(); }
  size_t keyboard_handler_count() const { return keyboard_handlers_.size(); }
  bool has_script(HMODULE module) const;
  bool has_keyboard_handler(KeyboardHandler handler) const;
  uint64_t waits() const { return waits_; }  // scriptWait calls of all scripts so far
  std::chrono::nanoseconds last_frame_script_time() const { return last_script_time_; }

  // Every scriptWait since the last clear, when asked to keep them.
  bool recording_waits = false;
  const std::vector<WaitRecord>& wait_record() const { return wait_record_; }
  void clear_wait_record() { wait_record_.clear(); }

  // The eight exports land here.
  void script_register(HMODULE module, ScriptEntry entry);
  void script_unregister(HMODULE module);
  void keyboard_handler_register(KeyboardHandler handler);
  void keyboard_handler_unregister(KeyboardHandler handler);
  void script_wait(DWORD ms);
  void native_init(uint64_t hash);
  void native_push(uint64_t value);
  uint64_t* native_call();

 private:
  Host();

  struct Script {
    HMODULE module = nullptr;
    ScriptEntry entry = nullptr;
    std::unique_ptr<ScriptFiber> fiber;
    uint64_t wake_frame = 0;
    uint32_t wake_ms = 0;
    bool finished = false;
    ScriptInfo info;           // what a crash report or the watchdog says of it
    uint64_t last_native = 0;  // its last call, kept across its turns
  };
  static void run_script(void* script);
  bool due(const Script& s) const;

  std::unique_ptr<World> world_;
  std::vector<std::unique_ptr<Script>> scripts_;
  std::vector<std::unique_ptr<Script>> retired_;  // unregistered while running
  std::vector<KeyboardHandler> keyboard_handlers_;
  std::vector<HMODULE> plugins_;
  Script* current_ = nullptr;
  NativeCall call_;
  bool call_open_ = false;
  std::thread::id script_thread_;  // the thread that runs the scripts
  // A script's own thread is the only one that may call while it runs; a call
  // from any other is refused before it touches the open call.
  bool off_thread(const char* what) {
    if (current_ == nullptr || std::this_thread::get_id() == script_thread_) return false;
    return refuse_other_thread(what);
  }
  bool refuse_other_thread(const char* what);
  uint64_t waits_ = 0;
  std::vector<WaitRecord> wait_record_;
  uint64_t last_hash_ = 0;  // the last call of the running script, for the wait record
  uint64_t last_arg_ = 0;
  uint64_t last_result_ = 0;
  std::chrono::nanoseconds last_script_time_{0};
};

}  // namespace sim
