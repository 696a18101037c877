#include "host.h"

#include <algorithm>

#include "host_natives.h"
#include "protocol.h"
#include "reference_natives.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sim {

Host& Host::get() {
  static Host host;
  return host;
}

Host::Host() : world_(std::make_unique<World>()) {}

void Host::reset() {
  while (!plugins_.empty()) unload_plugin(plugins_.back());
  scripts_.clear();
  retired_.clear();
  keyboard_handlers_.clear();
  current_ = nullptr;
  call_open_ = false;
  waits_ = 0;
  wait_record_.clear();
  recording_waits = false;
  last_hash_ = last_arg_ = last_result_ = 0;
  world_ = std::make_unique<World>();
}

HMODULE Host::load_plugin(const std::string& path) {
#if defined(_WIN32)
  HMODULE module = LoadLibraryA(path.c_str());  // the loader runs its attach
  if (module == nullptr) {
    world_->violation("cannot load plug-in " + path);
    return nullptr;
  }
#else
  HMODULE module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    world_->violation("cannot load plug-in " + path + ": " + dlerror());
    return nullptr;
  }
  auto attach = reinterpret_cast<void (*)(HMODULE)>(dlsym(module, "plugin_attach"));
  if (attach == nullptr) {
    world_->violation("plug-in " + path + " has no attach function");
    dlclose(module);
    return nullptr;
  }
  attach(module);
#endif
  plugins_.push_back(module);
  world_->owners.name_creator(module, path.substr(path.find_last_of("/\\") + 1));
  return module;
}

void Host::unload_plugin(HMODULE module) {
  auto it = std::find(plugins_.begin(), plugins_.end(), module);
  if (it == plugins_.end()) return;
  plugins_.erase(it);
#if defined(_WIN32)
  FreeLibrary(module);  // the loader runs its detach
#else
  if (auto detach = reinterpret_cast<void (*)(HMODULE)>(dlsym(module, "plugin_detach"))) {
    detach(module);
  }
  dlclose(module);
#endif
}

bool Host::due(const Script& s) const {
  if (s.finished || world_->frame() < s.wake_frame) return false;
  return static_cast<int32_t>(world_->game_timer() - s.wake_ms) >= 0;
}

void Host::run_script(void* script) {
  auto* s = static_cast<Script*>(script);
  run_script_entry(s->entry);
  s->finished = true;  // a script that returns is simply over
}

void Host::run_frame() {
  world_->advance_frame();
  std::chrono::nanoseconds spent{0};
  for (size_t n = 0; n < scripts_.size(); ++n) {
    Script* s = scripts_[n].get();
    if (!due(*s)) continue;
    if (!s->fiber) {
      s->fiber = std::make_unique<ScriptFiber>(run_script, s);
      s->info.plugin = world_->owners.name_of(s->module);  // named once its load is over
    }
    current_ = s;
    world_->owners.creator = s->module;  // what the script makes is its plug-in's
    script_thread_ = std::this_thread::get_id();
    const auto start = std::chrono::steady_clock::now();
    begin_turn(
        s->info, world_->frame(), s->last_native,
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count());
    s->fiber->resume();
    s->last_native = end_turn();
    spent += std::chrono::steady_clock::now() - start;
    current_ = nullptr;
    world_->owners.creator = nullptr;
  }
  retired_.clear();
  last_script_time_ = spent;
}

void Host::run_frames(int frames) {
  for (int n = 0; n < frames; ++n) run_frame();
}

bool Host::run_until(const std::function<bool()>& done, int max_frames) {
  for (int n = 0; n < max_frames; ++n) {
    if (done()) return true;
    run_frame();
  }
  return done();
}

void Host::run_for_ms(uint32_t ms) {
  const uint32_t start = world_->game_timer();
  while (world_->game_timer() - start < ms) run_frame();
}

void Host::send_key(DWORD key, WORD repeat_count, BYTE scan_code, BOOL is_extended, BOOL alt_down,
                    BOOL was_down, BOOL is_up) {
  const auto handlers = keyboard_handlers_;
  for (KeyboardHandler h : handlers) {
    h(key, repeat_count, scan_code, is_extended, alt_down, was_down, is_up);
  }
}

bool Host::has_script(HMODULE module) const {
  return std::any_of(scripts_.begin(), scripts_.end(),
                     [&](const auto& s) { return s->module == module; });
}

bool Host::has_keyboard_handler(KeyboardHandler handler) const {
  return std::find(keyboard_handlers_.begin(), keyboard_handlers_.end(), handler) !=
         keyboard_handlers_.end();
}

void Host::script_register(HMODULE module, ScriptEntry entry) {
  if (entry == nullptr) {
    world_->violation("scriptRegister without an entry");
    return;
  }
  auto s = std::make_unique<Script>();
  s->module = module;
  s->entry = entry;
  s->wake_frame = world_->frame() + 1;
  s->wake_ms = world_->game_timer();
  s->info.number =
      1 + static_cast<int>(std::count_if(scripts_.begin(), scripts_.end(),
                                         [&](const auto& o) { return o->module == module; }));
  s->info.entry = entry;
  scripts_.push_back(std::move(s));
}

void Host::script_unregister(HMODULE module) {
  for (auto it = scripts_.begin(); it != scripts_.end();) {
    if ((*it)->module != module) {
      ++it;
      continue;
    }
    // A script's own context cannot be freed while it runs on it.
    if (it->get() == current_) retired_.push_back(std::move(*it));
    it = scripts_.erase(it);
  }
}

void Host::keyboard_handler_register(KeyboardHandler handler) {
  if (handler != nullptr) keyboard_handlers_.push_back(handler);
}

void Host::keyboard_handler_unregister(KeyboardHandler handler) {
  std::erase(keyboard_handlers_, handler);
}

void Host::script_wait(DWORD ms) {
  if (current_ == nullptr) {
    world_->violation("scriptWait outside the script context");
    return;
  }
  if (off_thread("scriptWait")) return;
  if (call_open_) {
    world_->violation("a native call opened with nativeInit is left open across scriptWait");
    call_open_ = false;
  }
  ++waits_;
  if (recording_waits) {
    wait_record_.push_back({world_->frame(), world_->game_timer(), static_cast<uint32_t>(ms),
                            world_->calls().size(), last_hash_, last_arg_, last_result_});
  }
  last_hash_ = last_arg_ = last_result_ = 0;
  Script* s = current_;
  s->wake_frame = world_->frame() + 1;
  s->wake_ms = world_->game_timer() + static_cast<uint32_t>(ms);
  s->fiber->yield();
}

bool Host::refuse_other_thread(const char* what) {
  world_->violation(std::string(what) + " from another thread while a script runs");
  return true;
}

void Host::native_init(uint64_t hash) {
  if (off_thread("nativeInit")) return;
  if (current_ == nullptr) world_->violation("native call outside the script context");
  if (call_open_) world_->violation("nativeInit while another call is open");
  // Only what a call reads is reset: argument slots past the count are never read.
  call_.count = 0;
  for (uint64_t& slot : call_.result) slot = stale_result;
  call_.hash = hash;
  call_.simulated = true;
  call_.via = nullptr;
  call_.row = find_native(hash);
  if (call_.row == nullptr) call_.row = host_native_row(hash);
  if (call_.row == nullptr) {
    call_.row = reference_row(hash);
    call_.simulated = false;
  }
  call_open_ = true;
}

void Host::native_push(uint64_t value) {
  if (off_thread("nativePush64")) return;
  if (!call_open_) {
    world_->violation("nativePush64 without nativeInit");
    return;
  }
  if (call_.count == max_native_args) {
    world_->violation("more than 32 arguments");
    return;
  }
  call_.args[call_.count++] = value;
}

uint64_t* Host::native_call() {
  static uint64_t refused[4] = {stale_result, stale_result, stale_result, stale_result};
  if (off_thread("nativeCall")) return refused;
  if (!call_open_) {
    world_->violation("nativeCall without nativeInit");
    call_ = NativeCall{};
    return call_.result;
  }
  call_open_ = false;
  note_native(call_.hash);
  const bool sound = check_protocol(*world_, call_);
  if (is_host_native(call_.row)) {
    answer_host_native(*world_, call_, sound);
  } else {
    world_->perform(call_, sound);
  }
  last_hash_ = call_.hash;
  last_arg_ = call_.count > 0 ? call_.args[0] : 0;
  last_result_ = call_.result[0];
  mark_result(call_);
  return call_.result;
}

}  // namespace sim

// The host's exports. Natively they keep their plain names; the Windows DLL
// exports them under the host's decorated names (ScriptHookRDR2.def).
#if defined(_WIN32)
#define SIM_EXPORT
#else
#define SIM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
SIM_EXPORT void scriptRegister(HMODULE module, ScriptEntry entry) {
  sim::Host::get().script_register(module, entry);
}
SIM_EXPORT void scriptUnregister(HMODULE module) { sim::Host::get().script_unregister(module); }
SIM_EXPORT void keyboardHandlerRegister(KeyboardHandler handler) {
  sim::Host::get().keyboard_handler_register(handler);
}
SIM_EXPORT void keyboardHandlerUnregister(KeyboardHandler handler) {
  sim::Host::get().keyboard_handler_unregister(handler);
}
SIM_EXPORT void scriptWait(DWORD ms) { sim::Host::get().script_wait(ms); }
SIM_EXPORT void nativeInit(uint64_t hash) { sim::Host::get().native_init(hash); }
SIM_EXPORT void nativePush64(uint64_t value) { sim::Host::get().native_push(value); }
SIM_EXPORT uint64_t* nativeCall() { return sim::Host::get().native_call(); }
#if !defined(_WIN32)
// Natively the system's tick count comes from here, where a Windows build
// reads kernel32's, so that a test can set it.
SIM_EXPORT uint32_t GetTickCount() { return sim::Host::get().world().tick_count(); }
#endif
}
