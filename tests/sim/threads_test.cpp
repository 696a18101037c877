// The host knows the game's thread by the operating system's id: a call to
// any export from another thread, during a script's turn or between frames,
// is refused as a violation naming it, and never touches the open call, the
// scripts' contexts or the world.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "exports.h"
#include "host.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;

namespace {

class Threads : public test_support::HostTest {};

void no_keys(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {}
void nothing() {}

TEST_F(Threads, EveryExportCalledFromAnotherThreadBetweenFramesIsRefusedByName) {
  const int32_t ped = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  int handles[4] = {};
  int count = -1;
  BYTE* block = reinterpret_cast<BYTE*>(1);
  uint64_t* global = nullptr;
  std::thread other([&] {
    nativeInit(0x096275889B8E0EE0);  // PLAYER_PED_ID
    nativePush64(1);
    nativeCall();
    scriptWait(0);
    scriptRegister(test_support::test_module(), nothing);
    scriptRegisterAdditionalThread(test_support::test_module(), nothing);
    scriptUnregister(test_support::test_module());
    scriptUnregisterEntry(nothing);
    keyboardHandlerRegister(no_keys);
    keyboardHandlerUnregister(no_keys);
    global = getGlobalPtr(3);
    count = worldGetAllPeds(handles, 4);
    block = getScriptHandleBaseAddress(ped);
    getGameVersion();
  });
  other.join();
  Host::get().run_frame();  // the game's thread files the reports
  for (const char* name : {"nativeInit", "nativePush64", "nativeCall", "scriptWait",
                           "scriptRegister", "scriptRegisterAdditionalThread", "scriptUnregister",
                           "keyboardHandlerRegister", "keyboardHandlerUnregister", "getGlobalPtr",
                           "worldGetAllPeds", "getScriptHandleBaseAddress", "getGameVersion"}) {
    EXPECT_GE(violations_with(std::string(name) + " from another thread between frames"), 1u)
        << name;
  }
  EXPECT_EQ(violations_with("from another thread"), 14u);
  EXPECT_EQ(Host::get().script_count(), 0u) << "nothing registered from there";
  EXPECT_EQ(Host::get().keyboard_handler_count(), 0u);
  EXPECT_EQ(world().count_calls("PLAYER_PED_ID"), 0u) << "no call made from there";
  EXPECT_EQ(count, 0);
  EXPECT_EQ(block, nullptr);
  ASSERT_NE(global, nullptr) << "a writable slot, as for a bad index";
}

TEST_F(Threads, AWaitFromAnotherThreadDuringATurnReturnsAndTheScriptGoesOn) {
  std::vector<uint64_t> frames;
  bool waited_elsewhere = false;
  test_support::start_script([&] {
    frames.push_back(world().frame());
    std::thread other([&] {
      scriptWait(0);  // must not switch the game thread's fiber from here
      waited_elsewhere = true;
    });
    other.join();
    player_ped_id();  // the script's own call still goes through
    scriptWait(0);
    frames.push_back(world().frame());
  });
  Host::get().run_frames(3);
  EXPECT_TRUE(waited_elsewhere);
  EXPECT_EQ(frames, (std::vector<uint64_t>{1, 2}));
  EXPECT_EQ(violations_with("scriptWait from another thread while a script runs"), 1u);
  EXPECT_EQ(world().violations().size(), 1u);
  EXPECT_EQ(world().count_calls("PLAYER_PED_ID"), 1u);
}

TEST_F(Threads, TheGameThreadIsTheOneThatResetTheHost) {
  EXPECT_EQ(Host::get().game_thread(), sim::os_thread_id());
  uint32_t elsewhere = 0;
  std::thread other([&] { elsewhere = sim::os_thread_id(); });
  other.join();
  EXPECT_NE(elsewhere, Host::get().game_thread());
}

}  // namespace
