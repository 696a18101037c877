// Registration at load and unload, and the key table.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "plugin_entry.h"
#include "test_script.h"

using sim::Host;

static int main_loop_passes = 0;

void plugin_main_loop() {
  for (;;) {
    ++main_loop_passes;
    scriptWait(0);
  }
}

// The host's exports and the system's clock, seen on their way: each is
// passed on to the stand-in's own.
static std::vector<std::string> host_calls;
static int tick_reads = 0;

template <class F>
static F next_definition(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

extern "C" void scriptUnregister(HMODULE module) {
  host_calls.emplace_back("scriptUnregister");
  next_definition<void (*)(HMODULE)>("scriptUnregister")(module);
}

extern "C" void keyboardHandlerUnregister(KeyboardHandler handler) {
  host_calls.emplace_back("keyboardHandlerUnregister");
  next_definition<void (*)(KeyboardHandler)>("keyboardHandlerUnregister")(handler);
}

extern "C" uint32_t GetTickCount() {
  ++tick_reads;
  return next_definition<uint32_t (*)()>("GetTickCount")();
}

namespace {

class Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    Host::get().set_strict(true);  // our plug-ins are held to the table
    Host::get().reset();
    std::memset(key_table, 0, sizeof key_table);
    main_loop_passes = 0;
    host_calls.clear();
    tick_reads = 0;
  }
  void TearDown() override { Host::get().reset(); }
  HMODULE module() { return test_support::test_module(); }
};

TEST_F(Entry, AttachRegistersTheScriptAndTheKeyboardHandler) {
  EXPECT_TRUE(plugin_load_handler(module(), load_reason_process_attach, nullptr));
  EXPECT_TRUE(Host::get().has_script(module()));
  EXPECT_TRUE(Host::get().has_keyboard_handler(key_callback));
  Host::get().run_frames(5);
  EXPECT_EQ(main_loop_passes, 5) << "the script entry runs the main loop, a pass a frame";
  EXPECT_TRUE(Host::get().world().violations().empty());
}

TEST_F(Entry, DetachUnregistersEvenWhenTheScriptNeverRan) {
  plugin_load_handler(module(), load_reason_process_attach, nullptr);
  EXPECT_TRUE(plugin_load_handler(module(), load_reason_process_detach, nullptr));
  EXPECT_FALSE(Host::get().has_script(module()));
  EXPECT_FALSE(Host::get().has_keyboard_handler(key_callback));
  Host::get().run_frames(3);
  EXPECT_EQ(main_loop_passes, 0);
}

TEST_F(Entry, DetachUnregistersTheScriptThenTheKeyboardHandler) {
  plugin_load_handler(module(), load_reason_process_attach, nullptr);
  Host::get().run_frames(2);
  plugin_load_handler(module(), load_reason_process_detach, nullptr);
  EXPECT_EQ(host_calls,
            (std::vector<std::string>{"scriptUnregister", "keyboardHandlerUnregister"}));
}

TEST_F(Entry, ThreadNotificationsChangeNothingAndSucceed) {
  EXPECT_TRUE(plugin_load_handler(module(), load_reason_thread_attach, nullptr));
  EXPECT_TRUE(plugin_load_handler(module(), load_reason_thread_detach, nullptr));
  EXPECT_EQ(Host::get().script_count(), 0u);
  EXPECT_EQ(Host::get().keyboard_handler_count(), 0u);
}

TEST_F(Entry, KeyMessagesFillTheKeyTableOutsideTheScript) {
  plugin_load_handler(module(), load_reason_process_attach, nullptr);
  Host::get().send_key(0, 1, 0, 0, 1, 0, 0);
  Host::get().send_key(254, 1, 0, 0, 0, 1, 1);
  EXPECT_TRUE(key_table[0].alt_down);
  EXPECT_NE(key_table[0].tick, 0u);
  EXPECT_TRUE(key_table[254].was_down);
  EXPECT_TRUE(key_table[254].is_up);
  EXPECT_TRUE(Host::get().world().violations().empty()) << "the callback calls no native";
}

// The table ends at 254. A code past it returns before the clock is read,
// so no entry is stamped; this holds in every build, where a write past the
// table is caught only under the sanitizer.
TEST_F(Entry, KeyCode254IsTheLastKeptAndCodesFrom255OnAreIgnored) {
  Host::get().world().set_tick_count(0x12345678);
  key_callback(254, 1, 0, 0, 1, 0, 1);
  EXPECT_EQ(key_table[254].tick, 0x12345678u) << "the system's tick count at the message";
  EXPECT_TRUE(key_table[254].alt_down);
  EXPECT_FALSE(key_table[254].was_down);
  EXPECT_TRUE(key_table[254].is_up);

  KeyRecord before[key_table_size];
  std::memcpy(before, key_table, sizeof before);
  EXPECT_EQ(tick_reads, 1);
  for (const DWORD key : {255u, 256u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    const int reads = tick_reads;
    key_callback(key, 1, 0, 0, 0, 1, 0);
    EXPECT_EQ(tick_reads, reads) << "the clock read for key " << key << ", past the table";
  }
  EXPECT_EQ(std::memcmp(before, key_table, sizeof before), 0);
}

TEST_F(Entry, TheLastMessageForAKeyWins) {
  key_callback(0x41, 1, 0x1E, 0, 1, 1, 0);
  key_callback(0x41, 3, 0x1E, 1, 0, 0, 1);
  EXPECT_FALSE(key_table[0x41].alt_down);
  EXPECT_FALSE(key_table[0x41].was_down);
  EXPECT_TRUE(key_table[0x41].is_up);
}

TEST(Plugins, TwoLoadedSideBySideKeepTheirOwnRegistration) {
  Host& host = Host::get();
  host.reset();
  HMODULE cinema = host.load_plugin(CINEMA_PLUGIN);
  HMODULE toytrain = host.load_plugin(TOYTRAIN_PLUGIN);
  ASSERT_NE(cinema, nullptr);
  ASSERT_NE(toytrain, nullptr);
  EXPECT_EQ(host.script_count(), 2u);
  EXPECT_EQ(host.keyboard_handler_count(), 2u) << "each has its own callback and key table";
  host.run_frames(3);
  host.unload_plugin(cinema);
  EXPECT_FALSE(host.has_script(cinema));
  EXPECT_TRUE(host.has_script(toytrain));
  EXPECT_EQ(host.keyboard_handler_count(), 1u);
  host.run_frames(3);
  EXPECT_TRUE(host.world().violations().empty());
  host.reset();
}

}  // namespace
