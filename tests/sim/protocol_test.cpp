// The stand-in host is strict: every breach of the calling protocol is a
// violation that fails the test that caused it.

#include "protocol.h"

#include <gtest/gtest.h>

#include <thread>

#include "host.h"
#include "natives.h"
#include "test_script.h"

using sim::Host;
using test_support::run_script;

namespace {

class Protocol : public ::testing::Test {
 protected:
  void SetUp() override { Host::get().reset(); }
  void TearDown() override { Host::get().reset(); }
  const std::vector<std::string>& violations() { return Host::get().world().violations(); }
  bool violated(const std::string& fragment) {
    for (const auto& v : violations()) {
      if (v.find(fragment) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(Protocol, SoundCallsRaiseNoViolation) {
  ASSERT_TRUE(run_script([] {
    does_entity_exist(player_ped_id());
    get_distance_between_coords(0, 0, 0, 1, 1, 1, true);
    var_string(10, "LITERAL_STRING", "Sit");
  }));
  EXPECT_TRUE(violations().empty());
}

TEST_F(Protocol, UnknownNativeIsCaught) {
  ASSERT_TRUE(run_script([] { invoke(0x1234567812345678ULL, 1); }));
  EXPECT_TRUE(violated("unknown native 0x1234567812345678"));
}

TEST_F(Protocol, ANativeTheStandInDoesNotSimulateIsCheckedAgainstTheGamesTable) {
  int32_t swimming = -1;
  ASSERT_TRUE(run_script([&] {
    invoke(0xB128377056A54E2A, 5, false);               // SET_PED_CAN_RAGDOLL(Ped, BOOL)
    swimming = invoke<int32_t>(0x9DE327631295B4C2, 5);  // IS_PED_SWIMMING(Ped) -> BOOL
    invoke(0xB128377056A54E2A, 5);                      // one argument short
    invoke(0xB128377056A54E2A, int64_t{-1}, false);     // a Ped sign-extended
    invoke(0x25ACFC650B65C538, 5, 0.5f);                // _SET_PED_SCALE(Ped, float)
  }));
  EXPECT_EQ(swimming, 0) << "it answers 0";
  EXPECT_EQ(violations().size(), 2u);
  EXPECT_TRUE(violated("SET_PED_CAN_RAGDOLL: 1 arguments, expects 2"));
  EXPECT_TRUE(violated("SET_PED_CAN_RAGDOLL: argument 1 upper half not zero"));
  const auto& calls = Host::get().world().calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].text(), "SET_PED_CAN_RAGDOLL(5, 0)");
  EXPECT_EQ(calls[4].text(), "_SET_PED_SCALE(5, 0.5)");
  const auto& unsimulated = Host::get().world().unsimulated_calls();
  EXPECT_EQ(unsimulated.at(0xB128377056A54E2A), 3u);
  EXPECT_EQ(unsimulated.at(0x9DE327631295B4C2), 1u);
  EXPECT_EQ(unsimulated.count(0x096275889B8E0EE0), 0u) << "simulated natives are not listed";
}

TEST_F(Protocol, WrongArgumentCountIsCaught) {
  ASSERT_TRUE(run_script([] {
    invoke<bool>(0xD42BD6EB2E0F1677, 1, 2);  // DOES_ENTITY_EXIST takes one
    invoke(0xFA925AC00EB830B9, 10);          // the formatter needs its format too
  }));
  EXPECT_TRUE(violated("DOES_ENTITY_EXIST: 2 arguments, expects 1"));
  EXPECT_TRUE(violated("VAR_STRING: 1 arguments, expects at least 2"));
}

TEST_F(Protocol, UpperHalfOfA32BitArgumentMustBeZero) {
  ASSERT_TRUE(run_script([] {
    invoke<bool>(0xD42BD6EB2E0F1677, int64_t{-1});  // sign-extended where it must not be
  }));
  EXPECT_TRUE(violated("DOES_ENTITY_EXIST: argument 1 upper half not zero"));
}

TEST_F(Protocol, SignExtendedArgumentMustBeSignExtended) {
  ASSERT_TRUE(run_script([] {
    set_object_prompt_name_from_gxt_entry(int64_t{-5}, 1);  // sound
    invoke(0xD503D6F0986D58BC, uint64_t{0xFFFFFFFBu}, 1u);  // -5 zero-extended
  }));
  ASSERT_EQ(violations().size(), 1u);
  EXPECT_TRUE(violated("not sign-extended"));
}

TEST_F(Protocol, NullStringIsCaught) {
  ASSERT_TRUE(run_script([] { get_hash_key(nullptr); }));
  EXPECT_TRUE(violated("GET_HASH_KEY: argument 1 null address"));
}

TEST_F(Protocol, CallWithoutInitIsCaught) {
  ASSERT_TRUE(run_script([] { nativeCall(); }));
  EXPECT_TRUE(violated("nativeCall without nativeInit"));
}

TEST_F(Protocol, InterleavedCallsAreCaught) {
  ASSERT_TRUE(run_script([] {
    nativeInit(0x096275889B8E0EE0);
    nativeInit(0x096275889B8E0EE0);
    nativeCall();
  }));
  EXPECT_TRUE(violated("nativeInit while another call is open"));
}

TEST_F(Protocol, ACallLeftOpenAcrossAWaitIsCaught) {
  ASSERT_TRUE(run_script([] {
    nativeInit(0x096275889B8E0EE0);
    scriptWait(0);
    player_ped_id();  // the next call starts afresh, without a second report
  }));
  EXPECT_TRUE(violated("left open across scriptWait"));
  EXPECT_EQ(violations().size(), 1u);
}

TEST_F(Protocol, TheFormattersFurtherArgumentsAreCheckedByItsFormat) {
  ASSERT_TRUE(run_script([] {
    var_string(2, "CASH_STRING", 100);                            // sound
    invoke(0xFA925AC00EB830B9, 2, "CASH_STRING", int64_t{-100});  // sign-extended tail
    invoke(0xFA925AC00EB830B9, 10, "LITERAL_STRING", static_cast<const char*>(nullptr));
  }));
  EXPECT_TRUE(violated("VAR_STRING: argument 3 upper half not zero"));
  EXPECT_TRUE(violated("VAR_STRING: argument 3 null address"));
  EXPECT_EQ(violations().size(), 2u);
}

TEST_F(Protocol, AFlagIsZeroOrOne) {
  ASSERT_TRUE(run_script([] {
    set_entity_visible(5, true);       // sound
    invoke(0x1794B4FCC84D812F, 5, 2);  // SET_ENTITY_VISIBLE with a 2
  }));
  EXPECT_TRUE(violated("SET_ENTITY_VISIBLE: argument 2 a flag other than 0 or 1"));
  EXPECT_EQ(violations().size(), 1u);
}

TEST_F(Protocol, ACallFromAnotherThreadWhileTheScriptRunsIsCaught) {
  ASSERT_TRUE(run_script([] {
    std::thread other([] { player_ped_id(); });
    other.join();
    player_ped_id();  // the script's own call still goes through
  }));
  EXPECT_TRUE(violated("nativeInit from another thread while a script runs"));
  EXPECT_EQ(Host::get().world().count_calls("PLAYER_PED_ID"), 1u);
}

TEST_F(Protocol, ResultSlotsReadAfterTheNextCallHoldNonsense) {
  uint64_t late = 0;
  ASSERT_TRUE(run_script([&] {
    nativeInit(0x096275889B8E0EE0);  // PLAYER_PED_ID
    const uint64_t* slots = nativeCall();
    nativeInit(0x4F67E8ECA7D3F667);  // GET_GAME_TIMER
    late = slots[0];                 // the player's ped, read too late
    nativeCall();
  }));
  EXPECT_EQ(late, sim::stale_result) << "not the ped, nor a 0 that reads as a failed native";
}

TEST_F(Protocol, AThirtyTwoBitResultReadAsSixtyFourBitsIsWrong) {
  uint64_t whole = 0;
  Ped low = 0;
  ASSERT_TRUE(run_script([&] {
    whole = invoke<uint64_t>(0x096275889B8E0EE0);
    low = player_ped_id();
  }));
  EXPECT_EQ(low, Host::get().world().player_ped()) << "the low half is the result";
  EXPECT_NE(whole, static_cast<uint64_t>(static_cast<uint32_t>(low)));
}

void native_from_key_handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) { player_ped_id(); }
void wait_from_key_handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) { scriptWait(0); }

TEST_F(Protocol, NativeCallOutsideTheScriptContextIsCaught) {
  keyboardHandlerRegister(native_from_key_handler);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_TRUE(violated("native call outside the script context"));
}

TEST_F(Protocol, WaitOutsideTheScriptContextIsCaught) {
  keyboardHandlerRegister(wait_from_key_handler);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_TRUE(violated("scriptWait outside the script context"));
}

TEST_F(Protocol, WaitZeroResumesAtTheNextFrame) {
  std::vector<uint64_t> frames;
  test_support::start_script([&] {
    for (int n = 0; n < 3; ++n) {
      frames.push_back(Host::get().world().frame());
      scriptWait(0);
    }
  });
  Host::get().run_frames(5);
  EXPECT_EQ(frames, (std::vector<uint64_t>{1, 2, 3}));
}

TEST_F(Protocol, TimedWaitLastsAtLeastThatLongInGameTime) {
  uint32_t before = 0;
  uint32_t after = 0;
  ASSERT_TRUE(run_script([&] {
    before = static_cast<uint32_t>(get_game_timer());
    scriptWait(2000);
    after = static_cast<uint32_t>(get_game_timer());
  }));
  EXPECT_GE(after - before, 2000u);
  EXPECT_LT(after - before, 2000u + 17u);  // resumed in the first frame past the wait
}

TEST_F(Protocol, TimedWaitSurvivesTheTimerWrapping) {
  Host::get().world().set_game_timer(0xFFFFFF00u);
  uint32_t before = 0;
  uint32_t after = 0;
  ASSERT_TRUE(run_script([&] {
    before = static_cast<uint32_t>(get_game_timer());
    scriptWait(1000);
    after = static_cast<uint32_t>(get_game_timer());
  }));
  EXPECT_LT(after, before);  // wrapped
  EXPECT_GE(after - before, 1000u);
  EXPECT_LT(after - before, 1017u);
}

TEST_F(Protocol, EveryCallIsRecordedWithDecodedArguments) {
  ASSERT_TRUE(run_script([] {
    task_look_at_entity(5, 6, -1, 0, 2048, 3);
    set_blip_scale(7, 0.1f);
    get_hash_key("core");
  }));
  const auto& calls = Host::get().world().calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].text(), "TASK_LOOK_AT_ENTITY(5, 6, -1, 0, 2048, 3)");
  EXPECT_EQ(calls[1].text(), "SET_BLIP_SCALE(7, 0.1)");
  EXPECT_EQ(calls[2].text().rfind("GET_HASH_KEY(\"core\") -> ", 0), 0u);
  EXPECT_EQ(calls[0].frame, 1u);
}

}  // namespace
