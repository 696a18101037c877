#include "host.h"

#include <algorithm>
#include <cstdio>

#include "game_process.h"
#include "host_natives.h"
#include "memory_probe.h"
#include "native_row.h"
#include "plugin_clock.h"
#include "protocol.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace sim {

uint32_t os_thread_id() {
#if defined(_WIN32)
  return GetCurrentThreadId();
#else
  // One system call per thread, not one per host call; and initial-exec, as
  // every native's arguments pass this check and the host library is loaded
  // with the program, so its own thread storage is a fixed offset away.
  static thread_local uint32_t id __attribute__((tls_model("initial-exec"))) = 0;
  if (id == 0) id = static_cast<uint32_t>(gettid());
  return id;
#endif
}

static std::string file_name(const std::string& path) {
  return path.substr(path.find_last_of("/\\") + 1);
}

Host::Host() : game_thread_(os_thread_id()) {}

Host& Host::instance() { return get(); }

void Host::reset() {
  game_thread_ = os_thread_id();
  unload_plugins();
  file_other_threads();
  const Run ended = std::exchange(run_, Run{});
  run_.world->strict = strict_;
  in_turn_ = false;
}

// The timeline closes what the script still waited on.
void Host::script_ended(const Script& s, const char* how) {
  run_.world->journal.write<EntryKind::ended>({.script = s.journal_name(), .how = how});
}

std::string Host::plugin_name(HMODULE module) const {
  for (const Plugin& p : run_.plugins) {
    if (p.module == module) return p.file;
  }
  if (run_.attaching != nullptr) return run_.attaching->file;  // its loader has not returned yet
  char text[32];
  std::snprintf(text, sizeof text, "module %p", static_cast<void*>(module));
  return text;
}

HMODULE Host::calling_module() const {
  if (run_.current != nullptr) return run_.current->module;
  return run_.attaching != nullptr ? run_.attaching->module : nullptr;
}

std::string Host::Script::name() const { return script_name(index + 1, plugin); }

ScriptName Host::Script::journal_name() const {
  return {number, static_cast<uint32_t>(index + 1), plugin};
}

HMODULE Host::load_plugin(const std::string& path) {
  Plugin loading{nullptr, file_name(path)};
  const size_t handlers_before = run_.keyboard_handlers.size();
  run_.attaching = &loading;
#if defined(_WIN32)
  HMODULE module = nullptr;
  {
    const PluginCodeMark marked(loading.file, "a plug-in's load",
                                "its load (DllMain, process attach)", run_.world->frame());
    // The loader runs its attach; the game's clocks are bound before it.
    module = load_library(path.c_str(), run_.world->wall_clock ? nullptr : bind_plugin_clocks);
  }
  run_.attaching = nullptr;
  if (module == nullptr) {
    run_.world->violation("cannot load plug-in " + path);
    return nullptr;
  }
#else
  HMODULE module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    run_.attaching = nullptr;
    run_.world->violation("cannot load plug-in " + path + ": " + dlerror());
    return nullptr;
  }
  auto attach = reinterpret_cast<void (*)(HMODULE)>(dlsym(module, "plugin_attach"));
  if (attach == nullptr) {
    run_.attaching = nullptr;
    run_.world->violation("plug-in " + path + " has no attach function");
    dlclose(module);
    return nullptr;
  }
  loading.module = module;
  run_plugin_code(loading.file, "a plug-in's load", "its load (plugin_attach)", run_.world->frame(),
                  [&] { attach(module); });
  run_.attaching = nullptr;
#endif
  run_.plugins.push_back({module, loading.file});
  // Under Windows its registrations came before the loader named its module.
  for (auto& s : run_.scripts) {
    if (s->module == module) s->plugin = loading.file;
  }
  for (size_t n = handlers_before; n < run_.keyboard_handlers.size(); ++n) {
    run_.keyboard_handlers[n].module = module;
  }
  run_.world->owners.name_creator(PluginId{module}, loading.file);
  run_.world->journal.write<EntryKind::loaded>({.file = loading.file});
  run_.world->journal.latest().at.by = PluginId{module};
  return module;
}

void Host::unload_plugin(HMODULE module) {
  auto it = std::find_if(run_.plugins.begin(), run_.plugins.end(),
                         [&](const Plugin& p) { return p.module == module; });
  if (it == run_.plugins.end()) return;
  Plugin plugin = *it;
  run_.plugins.erase(it);
  run_.attaching = &plugin;
  run_.unloading = true;
#if defined(_WIN32)
  {
    const PluginCodeMark marked(plugin.file, "a plug-in's unload",
                                "its unload (DllMain, process detach)", run_.world->frame());
    free_library(module);  // the loader runs its detach
  }
#else
  if (auto detach = reinterpret_cast<void (*)(HMODULE)>(dlsym(module, "plugin_detach"))) {
    run_plugin_code(plugin.file, "a plug-in's unload", "its unload (plugin_detach)",
                    run_.world->frame(), [&] { detach(module); });
  }
#endif
  run_.unloading = false;
  run_.attaching = nullptr;
  // Nothing of an unloaded plug-in may run again: its code is gone.
  for (auto s = run_.scripts.begin(); s != run_.scripts.end();) {
    if ((*s)->module != module) {
      ++s;
      continue;
    }
    run_.world->violation((*s)->name() + " is still registered after its plug-in's unload");
    s = run_.scripts.erase(s);
  }
  for (auto h = run_.keyboard_handlers.begin(); h != run_.keyboard_handlers.end();) {
    if (h->module != module) {
      ++h;
      continue;
    }
    run_.world->violation("a keyboard handler of " + plugin.file +
                          " is still registered after its unload");
    h = run_.keyboard_handlers.erase(h);
  }
#if !defined(_WIN32)
  dlclose(module);
#endif
  memory::libraries_changed();
  run_.world->journal.write<EntryKind::unloaded>({.file = plugin.file});
}

void Host::unload_plugins() {
  while (!run_.plugins.empty()) unload_plugin(run_.plugins.back().module);
}

// Waits count down in the world's elapsed time, so that a jump of the game
// timer, forwards or across its wrap, moves no script's wake-up.
bool Host::due(const Script& s) const {
  if (s.finished || run_.world->frame() < s.wake_frame) return false;
  return run_.world->elapsed_ms() >= s.wake_elapsed_ms;
}

void Host::run_script(void* script) {
  auto* s = static_cast<Script*>(script);
  run_script_entry(s->entry);
  s->finished = true;  // the host ends a script whose entry returns
  get().script_ended(*s, " returned; the host ends it");
}

void Host::run_turn(Script& s) {
  const bool resumed = s.fiber != nullptr;
  if (!s.fiber) {
    s.fiber = std::make_unique<ScriptFiber>(run_script, &s);
    s.info.plugin = run_.world->owners.name_of(PluginId{s.module});  // named once its load is over
    run_.world->journal.write<EntryKind::started>({.script = s.journal_name()});
  }
  run_.current = &s;
  in_turn_ = true;
  s.last_frame = run_.world->frame();
  run_.world->owners.creator = PluginId{s.module};  // what the script makes is its plug-in's
  JournalClock& clock = run_.world->journal.clock;
  clock.by = PluginId{s.module};
  clock.script = s.number;
  if (resumed) run_.world->journal.write<EntryKind::resumed>();
  begin_turn(s.info, run_.world->frame(), s.last_native);
  s.fiber->resume();
  s.last_native = end_turn();
  in_turn_ = false;
  run_.current = nullptr;
  run_.world->owners.creator = PluginId{};
  clock.by = {};
  clock.script = 0;
}

void Host::run_frame() {
  file_other_threads();
  run_.world->advance_frame();
  run_.world->observe(false);
  forget_dead_blocks();
  for (size_t n = 0; n < run_.scripts.size(); ++n) {
    Script* s = run_.scripts[n].get();
    if (!due(*s)) continue;
    if (!run_.globals.empty()) note_global_writes("between turns");
    const uint64_t calls_before = run_.world->total_calls();
    run_turn(*s);
    run_.world->owners.count_calls(PluginId{s->module}, run_.world->total_calls() - calls_before);
    if (!run_.globals.empty()) note_global_writes("by " + s->name());
  }
  run_.retired.clear();
  file_other_threads();
  run_.world->observe(true);
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
  const uint64_t until = run_.world->elapsed_ms() + ms;
  while (run_.world->elapsed_ms() < until) run_frame();
}

void Host::send_key(DWORD key, WORD repeat_count, BYTE scan_code, BOOL is_extended, BOOL alt_down,
                    BOOL was_down, BOOL is_up) {
  // As the real host does: on the game's thread, between frames, outside
  // every script's turn; a handler has no script context to call from.
  const auto handlers = run_.keyboard_handlers;
  char doing[96];
  std::snprintf(doing, sizeof doing, "its keyboard handler, key 0x%02X %s",
                static_cast<unsigned>(key),
                is_up      ? "up"
                : was_down ? "held"
                           : "down");
  run_.world->journal.write<EntryKind::key>({.code = static_cast<uint32_t>(key),
                                             .message = is_up      ? KeyMessage::up
                                                        : was_down ? KeyMessage::repeated
                                                                   : KeyMessage::down});
  run_.in_keyboard_handler = true;
  for (const Handler& h : handlers) {
    run_.world->journal.clock.by = PluginId(h.module);
    run_plugin_code(
        plugin_name(h.module), "a plug-in's keyboard handler", doing, run_.world->frame(),
        [&] { h.handler(key, repeat_count, scan_code, is_extended, alt_down, was_down, is_up); });
  }
  run_.in_keyboard_handler = false;
  run_.world->journal.clock.by = {};
}

std::string Host::native_label(uint64_t hash) {
  const NativeRow* row = native_row(hash).row;
  return row != nullptr ? std::string(row->name) + " (" + hex_text(hash) + ")" : hex_text(hash);
}

bool Host::has_script(HMODULE module) const {
  return std::any_of(run_.scripts.begin(), run_.scripts.end(),
                     [&](const auto& s) { return s->module == module; });
}

bool Host::has_keyboard_handler(KeyboardHandler handler) const {
  return std::any_of(run_.keyboard_handlers.begin(), run_.keyboard_handlers.end(),
                     [&](const Handler& h) { return h.handler == handler; });
}

void Host::script_register(HMODULE module, ScriptEntry entry, bool additional) {
  const char* what = additional ? "scriptRegisterAdditionalThread" : "scriptRegister";
  if (off_thread(what)) return;
  if (entry == nullptr) {
    run_.world->violation(std::string(what) + " without an entry");
    return;
  }
  const std::string plugin = plugin_name(module);
  int index = 0;
  auto after = run_.scripts.end();  // an additional script runs after its module's others
  for (auto it = run_.scripts.begin(); it != run_.scripts.end(); ++it) {
    if ((*it)->module != module) continue;
    if ((*it)->entry == entry) {
      run_.world->violation(std::string(what) + ": " + (*it)->name() + " is registered twice");
      return;
    }
    index = std::max(index, (*it)->index + 1);
    after = it + 1;
  }
  if (!additional) after = run_.scripts.end();
  // Under Windows the loader names the module only to the plug-in's attach.
  if (run_.attaching != nullptr && run_.attaching->module == nullptr)
    run_.attaching->module = module;
  auto s = std::make_unique<Script>();
  s->module = module;
  s->entry = entry;
  s->plugin = plugin;
  s->index = index;
  s->number = ++run_.scripts_numbered;
  s->wake_frame = run_.world->frame() + 1;
  s->wake_elapsed_ms = run_.world->elapsed_ms();
  s->info.number = index + 1;
  s->info.entry = entry;
  run_.world->journal.write<EntryKind::registered>(
      {.script = s->journal_name(), .additional = additional});
  run_.world->journal.latest().at.by = PluginId{module};
  run_.scripts.insert(after, std::move(s));
}

void Host::script_unregister(HMODULE module) {
  if (off_thread("scriptUnregister")) return;
  for (auto it = run_.scripts.begin(); it != run_.scripts.end();) {
    if ((*it)->module != module) {
      ++it;
      continue;
    }
    script_ended(**it, " unregistered");
    // A script's own context cannot be freed while it runs on it.
    if (it->get() == run_.current) run_.retired.push_back(std::move(*it));
    it = run_.scripts.erase(it);
  }
}

void Host::script_unregister(ScriptEntry entry) {
  if (off_thread("scriptUnregister")) return;
  auto it = std::find_if(run_.scripts.begin(), run_.scripts.end(),
                         [&](const auto& s) { return s->entry == entry; });
  if (it == run_.scripts.end()) return;  // as harmless as deleting what is gone
  script_ended(**it, " unregistered");
  if (it->get() == run_.current) run_.retired.push_back(std::move(*it));
  run_.scripts.erase(it);
}

void Host::keyboard_handler_register(KeyboardHandler handler) {
  if (off_thread("keyboardHandlerRegister")) return;
  if (handler == nullptr) {
    run_.world->violation("keyboardHandlerRegister without a handler");
    return;
  }
  const HMODULE module = calling_module();
  if (has_keyboard_handler(handler)) {
    run_.world->violation("keyboardHandlerRegister: a keyboard handler of " + plugin_name(module) +
                          " is registered twice");
    return;
  }
  run_.keyboard_handlers.push_back({handler, module});
  run_.world->journal.write<EntryKind::handler_registered>({.file = plugin_name(module)});
}

void Host::keyboard_handler_unregister(KeyboardHandler handler) {
  if (off_thread("keyboardHandlerUnregister")) return;
  auto it = std::find_if(run_.keyboard_handlers.begin(), run_.keyboard_handlers.end(),
                         [&](const Handler& h) { return h.handler == handler; });
  if (it == run_.keyboard_handlers.end()) return;
  run_.world->journal.write<EntryKind::handler_unregistered>({.file = plugin_name(it->module)});
  run_.keyboard_handlers.erase(it);
}

void Host::script_wait(DWORD ms) {
  // Checked first: another thread must not touch a fiber.
  if (off_thread("scriptWait")) return;
  if (run_.in_keyboard_handler) {
    run_.world->violation("scriptWait called from a keyboard handler");
    return;
  }
  if (run_.current == nullptr) {
    run_.world->violation("scriptWait outside the script context");
    return;
  }
  if (run_.call_open) {
    run_.world->violation("a native call opened with nativeInit is left open across scriptWait");
    run_.call_open = false;
  }
  ++run_.waits;
  run_.world->journal.write<EntryKind::wait>({.ms = ms,
                                              .last_hash = run_.last_hash,
                                              .last_arg = run_.last_arg,
                                              .last_result = run_.last_result});
  run_.last_hash = run_.last_arg = run_.last_result = 0;
  Script* s = run_.current;
  s->wake_frame = run_.world->frame() + 1;
  s->wake_elapsed_ms = run_.world->elapsed_ms() + ms;
  s->fiber->yield();
}

bool Host::refuse_other_thread(const char* what) {
  std::string report = std::string(what) + " from another thread";
  report += in_turn_ ? " while a script runs" : " between frames";
  report += " (thread " + std::to_string(os_thread_id()) + "; the game's is " +
            std::to_string(game_thread_) + ")";
  while (other_threads_lock_.test_and_set(std::memory_order_acquire)) {
  }
  other_threads_.push_back(std::move(report));
  other_threads_waiting_ = true;
  other_threads_lock_.clear(std::memory_order_release);
  return true;
}

// On the game's thread only: the world is not for other threads to touch.
void Host::file_waiting_reports() {
  std::vector<std::string> reports;
  while (other_threads_lock_.test_and_set(std::memory_order_acquire)) {
  }
  reports.swap(other_threads_);
  other_threads_waiting_ = false;
  other_threads_lock_.clear(std::memory_order_release);
  for (const std::string& r : reports) run_.world->violation(r);
}

void Host::native_init(uint64_t hash) {
  if (run_.in_keyboard_handler) {
    // Refused: its arguments are taken and it answers nothing.
    run_.world->violation("native " + native_label(hash) + " called from a keyboard handler");
    run_.call = NativeCall{};
    run_.call_to_host = false;
    run_.call.hash = hash;
    run_.call_open = true;
    return;
  }
  if (off_thread("nativeInit")) return;
  file_other_threads();
  if (run_.unloading && run_.attaching != nullptr) {
    run_.world->violation("a native called during the unload of " + run_.attaching->file);
  } else if (run_.current == nullptr) {
    run_.world->violation("native call outside the script context");
  }
  if (run_.call_open) run_.world->violation("nativeInit while another call is open");
  // Only what a call reads is reset: argument slots past the count are never read.
  run_.call.count = 0;
  for (uint64_t& slot : run_.call.result) slot = stale_result;
  run_.call.hash = hash;
  run_.call.via = nullptr;
  const FoundRow found = native_row(hash);
  run_.call.row = found.row;
  run_.call.simulated = found.simulated();
  run_.call_to_host = found.from == RowSource::host;
  run_.call_open = true;
}

void Host::native_push(uint64_t value) {
  if (off_thread("nativePush64")) return;
  if (!run_.call_open) {
    run_.world->violation("nativePush64 without nativeInit");
    return;
  }
  if (run_.call.count == max_native_args) {
    run_.world->violation("more than 32 arguments");
    return;
  }
  run_.call.args[run_.call.count++] = value;
}

uint64_t* Host::native_call() {
  static uint64_t refused[4] = {stale_result, stale_result, stale_result, stale_result};
  if (off_thread("nativeCall")) return refused;
  if (run_.in_keyboard_handler) {
    run_.call_open = false;
    for (uint64_t& slot : run_.call.result) slot = 0;
    return run_.call.result;
  }
  if (!run_.call_open) {
    run_.world->violation("nativeCall without nativeInit");
    run_.call = NativeCall{};
    run_.call_to_host = false;
    return run_.call.result;
  }
  run_.call_open = false;
  note_native(run_.call.hash);
  const bool sound = check_protocol(*run_.world, run_.call);
  if (run_.call_to_host) {
    answer_host_native(*run_.world, run_.call, sound);
  } else {
    run_.world->perform(run_.call, sound);
  }
  if (run_.current != nullptr) run_.current->last_native = run_.call.hash;
  run_.last_hash = run_.call.hash;
  run_.last_arg = run_.call.count > 0 ? run_.call.args[0] : 0;
  run_.last_result = run_.call.result[0];
  mark_result(run_.call);
  return run_.call.result;
}

uint64_t* Host::global_ptr(int index) {
  if (off_thread("getGlobalPtr") || index < 0) {
    if (index < 0)
      run_.world->violation("getGlobalPtr(" + std::to_string(index) + "): a negative index");
    run_.negative_global = 0;
    return &run_.negative_global;  // the plug-in may write it; nothing reads it
  }
  Global& g = run_.globals[index];
  run_.world->journal.write<EntryKind::global_given>({.index = index, .value = g.value});
  return &g.value;
}

// What was written through the addresses handed out, since the host last looked.
void Host::note_global_writes(const std::string& when) {
  for (auto& [index, g] : run_.globals) {
    if (g.value == g.seen) continue;
    run_.world->journal.write<EntryKind::global_written>(
        {.index = index, .from = g.seen, .to = g.value, .when = when});
    g.seen = g.value;
  }
}

int Host::world_get_all(const char* what, EntityKind kind, int* handles, int capacity) {
  if (off_thread(what)) return 0;
  if (capacity < 0) {
    run_.world->violation(std::string(what) + ": a negative capacity " + std::to_string(capacity));
    return 0;
  }
  if (handles == nullptr && capacity > 0) {
    run_.world->violation(std::string(what) + ": a null array with capacity " +
                          std::to_string(capacity));
    return 0;
  }
  int count = 0;
  for (const auto& [handle, e] : run_.world->entities()) {
    if (count == capacity) break;
    if (!e.exists || e.kind != kind) continue;
    handles[count++] = handle;
  }
  return count;
}

BYTE* Host::script_handle_base_address(int handle) {
  if (off_thread("getScriptHandleBaseAddress")) return nullptr;
  if (run_.world->live_entity(handle) == nullptr) return nullptr;
  auto [at, fresh] = run_.block_of.try_emplace(handle, 0);
  if (fresh) {
    if (run_.free_blocks.empty()) {
      at->second = run_.blocks.size();
      run_.blocks.emplace_back();
      run_.blocks.back().fill(0);
    } else {
      at->second = run_.free_blocks.back();
      run_.free_blocks.pop_back();
    }
  }
  return run_.blocks[at->second].data();
}

// A dead entity's block goes back to the pool, zeroed, as the game's slot
// would: the address stays valid memory for a plug-in that kept it.
void Host::forget_dead_blocks() {
  for (auto it = run_.block_of.begin(); it != run_.block_of.end();) {
    if (run_.world->live_entity(it->first) != nullptr) {
      ++it;
      continue;
    }
    run_.blocks[it->second].fill(0);
    run_.free_blocks.push_back(it->second);
    it = run_.block_of.erase(it);
  }
}

int Host::game_version() {
  off_thread("getGameVersion");
  return stand_in_game_version;
}

}  // namespace sim

// The host's exports. Natively they keep their plain names; the Windows DLL
// exports them under the host's decorated names (ScriptHookRDR2.def).
#if defined(_WIN32)
#define SIM_EXPORT
#else
#define SIM_EXPORT __attribute__((visibility("default")))
#endif

// In a game's process every export answers harmlessly and runs nothing
// (game_process.h): no script is registered, so none ever waits.
#if defined(_WIN32)
#define SIM_INERT_RETURN(value) \
  if (sim::in_game_process()) return value
#else
#define SIM_INERT_RETURN(value)
#endif

extern "C" {
SIM_EXPORT void scriptRegister(HMODULE module, ScriptEntry entry) {
  SIM_INERT_RETURN();
  sim::Host::get().script_register(module, entry);
}
SIM_EXPORT void scriptRegisterAdditionalThread(HMODULE module, ScriptEntry entry) {
  SIM_INERT_RETURN();
  sim::Host::get().script_register(module, entry, true);
}
SIM_EXPORT void scriptUnregister(HMODULE module) {
  SIM_INERT_RETURN();
  sim::Host::get().script_unregister(module);
}
SIM_EXPORT void scriptUnregisterEntry(ScriptEntry entry) {
  SIM_INERT_RETURN();
  sim::Host::get().script_unregister(entry);
}
SIM_EXPORT void keyboardHandlerRegister(KeyboardHandler handler) {
  SIM_INERT_RETURN();
  sim::Host::get().keyboard_handler_register(handler);
}
SIM_EXPORT void keyboardHandlerUnregister(KeyboardHandler handler) {
  SIM_INERT_RETURN();
  sim::Host::get().keyboard_handler_unregister(handler);
}
SIM_EXPORT void scriptWait(DWORD ms) {
  SIM_INERT_RETURN();
  sim::Host::get().script_wait(ms);
}
SIM_EXPORT void nativeInit(uint64_t hash) {
  SIM_INERT_RETURN();
  sim::Host::get().native_init(hash);
}
SIM_EXPORT void nativePush64(uint64_t value) {
  SIM_INERT_RETURN();
  sim::Host::get().native_push(value);
}
SIM_EXPORT uint64_t* nativeCall() {
  SIM_INERT_RETURN(sim::zeroed_slots());
  return sim::Host::get().native_call();
}
SIM_EXPORT uint64_t* getGlobalPtr(int index) {
  SIM_INERT_RETURN(sim::zeroed_slots());
  return sim::Host::get().global_ptr(index);
}
SIM_EXPORT int worldGetAllVehicles(int* handles, int capacity) {
  SIM_INERT_RETURN(0);
  return sim::Host::get().world_get_all("worldGetAllVehicles", sim::EntityKind::vehicle, handles,
                                        capacity);
}
SIM_EXPORT int worldGetAllPeds(int* handles, int capacity) {
  SIM_INERT_RETURN(0);
  return sim::Host::get().world_get_all("worldGetAllPeds", sim::EntityKind::ped, handles, capacity);
}
SIM_EXPORT int worldGetAllObjects(int* handles, int capacity) {
  SIM_INERT_RETURN(0);
  return sim::Host::get().world_get_all("worldGetAllObjects", sim::EntityKind::object, handles,
                                        capacity);
}
SIM_EXPORT int worldGetAllPickups(int* handles, int capacity) {
  SIM_INERT_RETURN(0);
  return sim::Host::get().world_get_all("worldGetAllPickups", sim::EntityKind::pickup, handles,
                                        capacity);
}
SIM_EXPORT BYTE* getScriptHandleBaseAddress(int handle) {
  SIM_INERT_RETURN(reinterpret_cast<BYTE*>(sim::zeroed_slots()));
  return sim::Host::get().script_handle_base_address(handle);
}
SIM_EXPORT eGameVersion getGameVersion() {
  SIM_INERT_RETURN(static_cast<eGameVersion>(sim::stand_in_game_version));
  return static_cast<eGameVersion>(sim::Host::get().game_version());
}
#if !defined(_WIN32)
// Natively the system's clocks come from here, where a Windows plug-in's
// imports of them are bound to the same (plugin_clock_win32.cpp).
SIM_EXPORT uint32_t GetTickCount() { return sim::plugin_tick_count(); }
SIM_EXPORT uint64_t GetTickCount64() { return sim::plugin_tick_count64(); }
SIM_EXPORT uint32_t timeGetTime() { return sim::plugin_tick_count(); }
SIM_EXPORT BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (count == nullptr) return 0;
  count->QuadPart = sim::plugin_performance_count();
  return 1;
}
SIM_EXPORT BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (frequency == nullptr) return 0;
  frequency->QuadPart = sim::plugin_performance_frequency;
  return 1;
}
#endif
}
