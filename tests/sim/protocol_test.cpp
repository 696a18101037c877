// The stand-in host is strict: every breach of the calling protocol is a
// violation that fails the test that caused it.

#include "protocol.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <string>
#include <thread>

#include "host.h"
#include "natives.h"
#include "reference_natives.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;
using test_support::run_script;

namespace {

class Protocol : public test_support::HostTest {};

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
    invoke(0xDF993EE5E90ABA25, 5, false);  // SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT(Ped, BOOL)
    swimming = invoke<int32_t>(0x9DE327631295B4C2, 5);         // IS_PED_SWIMMING(Ped) -> BOOL
    invoke(0xDF993EE5E90ABA25, 5);                             // one argument short
    invoke(0xDF993EE5E90ABA25, uint64_t{0x100000005}, false);  // a Ped with its upper half set
    invoke(0x33A8F7F7D5F7F33C, 5, 0.5f);                       // SET_PED_HEARING_RANGE(Ped, float)
  }));
  EXPECT_EQ(swimming, 0) << "it answers 0";
  EXPECT_EQ(violations().size(), 2u);
  EXPECT_TRUE(violated("SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT: 1 arguments, expects 2"));
  EXPECT_TRUE(violated("SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT: argument 1 upper half not zero"));
  const auto& calls = Host::get().world().calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].text(), "SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT(5, 0)");
  EXPECT_EQ(calls[4].text(), "SET_PED_HEARING_RANGE(5, 0.5)");
  // Each told once, at its first call, and every call counted.
  const sim::World& world = Host::get().world();
  std::vector<uint64_t> told;
  world.journal.each(sim::EntryKind::unsimulated,
                     [&](const sim::Entry& e) { told.push_back(e.unsimulated.hash); });
  EXPECT_EQ(told,
            (std::vector<uint64_t>{0xDF993EE5E90ABA25, 0x9DE327631295B4C2, 0x33A8F7F7D5F7F33C}))
      << "simulated natives are not told";
  EXPECT_EQ(world.calls_to(0xDF993EE5E90ABA25), 3u);
  EXPECT_EQ(world.calls_to(0x9DE327631295B4C2), 1u);
}

TEST_F(Protocol, ANativeTheWorldDoesNotSimulateWritesZerosIntoItsOutParameters) {
  uint64_t weapon = 0xAAAAAAAAAAAAAAAAull;  // the caller's stack, as it was
  Vector3 right{7, 7, 7}, forward{7, 7, 7}, up{7, 7, 7}, at{7, 7, 7};
  ASSERT_TRUE(run_script([&] {
    invoke<bool>(0x1017582BCD3832DC, 5, &weapon);  // GET_CURRENT_PED_VEHICLE_WEAPON(Ped, Hash*)
    invoke(0x3A9B1120AF13FBF2, 5, &right, &forward, &up, &at);  // GET_ENTITY_MATRIX
  }));
  EXPECT_EQ(weapon, 0xAAAAAAAA00000000ull) << "a 32-bit value written, the rest untouched";
  for (const Vector3& v : {right, forward, up, at}) {
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
  }
  EXPECT_TRUE(violations().empty());
}

TEST_F(Protocol, AnAnswerForANativeOfAVectorGivesAllThreeCoordinates) {
  sim::World::Answer answer;
  answer.result[0] = sim::NativeCall::float_bits(1.5f);
  answer.result[1] = sim::NativeCall::float_bits(-2.0f);
  answer.result[2] = sim::NativeCall::float_bits(3.25f);
  Host::get().world().set_answer(0x17C07FC640E86B4E, answer);  // GET_PED_BONE_COORDS
  Vector3 at{};
  ASSERT_TRUE(
      run_script([&] { at = invoke<Vector3>(0x17C07FC640E86B4E, 5, 0, 0.0f, 0.0f, 0.0f); }));
  EXPECT_EQ(at.x, 1.5f);
  EXPECT_EQ(at.y, -2.0f);
  EXPECT_EQ(at.z, 3.25f);
}

// The game's own host reads what a call left; a mod built on an older
// header works in the game, and so it does here, with a warning.
TEST_F(Protocol, OutsideTheStrictHostAShortCallReadsTheSlotsAnEarlierCallLeft) {
  host().set_strict(false);
  bool exists = false;
  Object box = 0;
  ASSERT_TRUE(run_script([&] {
    // SET_ENTITY_ALPHA(Entity, int, BOOL) sent by a header that lost its flag.
    const Hash crate = get_hash_key("p_crate01x");
    request_model(crate, false);
    while (!has_model_loaded(crate)) scriptWait(0);
    box = create_object(crate, 0, 0, 0, false, false, true, false, false);
    invoke(0x9CC8314DFEDE441E, box, 0.0f, 0.0f, 0.0f, 2, true);  // SET_ENTITY_ROTATION
    invoke(0x0DF7692B1D9E7BA7, box, 120);
    invoke(0x0DF7692B1D9E7BA7, box, 130);
    invoke(0x0DF7692B1D9E7BA7, box, 140, true, 7);  // one more than the table's
    exists = invoke<bool>(0xD42BD6EB2E0F1677, uint64_t{static_cast<uint32_t>(box)} | 0x100000000);
  }));
  ASSERT_NE(box, 0);
  EXPECT_EQ(world().entity(box)->alpha, 140) << "the call acted";
  EXPECT_TRUE(exists) << "the game reads a 32-bit slot's low half";
  EXPECT_TRUE(violations().empty());
  const auto& t = world().tolerated();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t.at("SET_ENTITY_ALPHA/2").calls, 2u) << "counted per call, told once";
  EXPECT_EQ(t.at("SET_ENTITY_ALPHA/2").what,
            "SET_ENTITY_ALPHA: 2 arguments, expects 3; the game reads argument 3 as "
            "0x0000000000000000, left there by an earlier call");
  EXPECT_EQ(t.at("SET_ENTITY_ALPHA/4").what,
            "SET_ENTITY_ALPHA: 4 arguments, expects 3; the game reads none past argument 3");
  size_t told = 0;
  world().journal.each(sim::EntryKind::tolerated, [&](const sim::Entry&) { ++told; });
  EXPECT_EQ(told, 3u);
  host().set_strict(true);
}

TEST_F(Protocol, AShortCallLeavingAnAddressSlotToChanceIsAViolationAllTheSame) {
  host().set_strict(false);
  ASSERT_TRUE(run_script([&] {
    invoke(0x0BE7F4E3CDBAFB28, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 1);
    // GET_GROUND_Z_FOR_3D_COORD(x, y, z, float*, BOOL) with no address to write to
    invoke<bool>(0x24FA4267BB8D2431, 1.0f, 2.0f, 3.0f);
  }));
  EXPECT_TRUE(violated("GET_GROUND_Z_FOR_3D_COORD: argument 4"));
  host().set_strict(true);
}

TEST_F(Protocol, WrongArgumentCountIsCaught) {
  ASSERT_TRUE(run_script([] {
    invoke<bool>(0xD42BD6EB2E0F1677, 1, 2);  // DOES_ENTITY_EXIST takes one
    invoke(0xFA925AC00EB830B9, 10);          // the formatter needs its format too
  }));
  EXPECT_TRUE(violated("DOES_ENTITY_EXIST: 2 arguments, expects 1"));
  EXPECT_TRUE(violated("VAR_STRING: 1 arguments, expects at least 2"));
}

TEST_F(Protocol, AnIntArgumentsUpperHalfIsZeroOrTheSignOfItsLowHalf) {
  int32_t drawn = 0;
  ASSERT_TRUE(run_script([&] {
    // GET_RANDOM_INT_IN_RANGE(-3, -2), its bounds sign-extended as 64-bit headers send them
    drawn = invoke<int32_t>(0xD53343AA4FB7DD28, int64_t{-3}, int64_t{-2});
    invoke<bool>(0xD42BD6EB2E0F1677, int64_t{-1});                   // DOES_ENTITY_EXIST(-1): sound
    invoke<bool>(0xD42BD6EB2E0F1677, uint64_t{0xFFFFFFFF00000005});  // a positive low half
    invoke<bool>(0xD42BD6EB2E0F1677, uint64_t{0x0000000180000000});  // an upper half of 1
  }));
  EXPECT_EQ(drawn, -3) << "the game reads the low half";
  EXPECT_EQ(violations().size(), 2u);
  EXPECT_TRUE(violated("DOES_ENTITY_EXIST: argument 1 upper half not zero (0xFFFFFFFF00000005)"));
  EXPECT_TRUE(violated("DOES_ENTITY_EXIST: argument 1 upper half not zero (0x0000000180000000)"));
}

// A float travels in the low half of its slot; what a 64-bit double would
// leave above it is not the game's float.
TEST_F(Protocol, AFloatArgumentsUpperHalfIsZero) {
  ASSERT_TRUE(run_script([] {
    invoke(0x33A8F7F7D5F7F33C, 5, 0.5f);                          // SET_PED_HEARING_RANGE: sound
    invoke(0x33A8F7F7D5F7F33C, 5, uint64_t{0x3FE000003F000000});  // 0.5f below a stray upper half
  }));
  ASSERT_EQ(violations().size(), 1u);
  EXPECT_TRUE(
      violated("SET_PED_HEARING_RANGE: argument 2 upper half not zero (0x3FE000003F000000)"));
}

// The request's slots after the line, voice and parameters are fixed, to its last.
TEST_F(Protocol, ASpeechRequestsFixedSlotsAreCheckedToItsLast) {
  static const char* const line = "WELCOME";
  for (int slot : {2, 4, 5, 6, 7}) {
    SCOPED_TRACE(slot);
    Host::get().reset();
    const int32_t ped = Host::get().world().player_ped();
    uint64_t request[8] = {reinterpret_cast<uintptr_t>(line), 0, 0, 0, 0, 1, 0, 0};
    request[slot] = 9;
    ASSERT_TRUE(run_script([&] { invoke<bool>(0x8E04FEDD28D42462, ped, request); }));
    EXPECT_TRUE(
        violated("PLAY_PED_AMBIENT_SPEECH_NATIVE: request slot " + std::to_string(slot) + " is 9"));
    int said = 0;
    Host::get().world().journal.each(sim::EntryKind::said, [&](const sim::Entry&) { ++said; });
    EXPECT_EQ(said, 0) << "nothing is said";
  }
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
    var_string(2, "CASH_STRING", 100);  // sound
    invoke(0xFA925AC00EB830B9, 2, "CASH_STRING",
           uint64_t{0x1FFFFFF9C});  // junk in the tail's upper half
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

// A keyboard handler runs outside every script's turn: it may not call.
TEST_F(Protocol, ANativeCalledFromAKeyboardHandlerIsAViolationNamingIt) {
  keyboardHandlerRegister(native_from_key_handler);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_TRUE(violated("native PLAYER_PED_ID (0x096275889B8E0EE0) called from a keyboard handler"));
  const uint64_t calls = Host::get().world().total_calls();
  EXPECT_EQ(calls, 0u) << "the call is refused, not answered";
}

TEST_F(Protocol, AWaitFromAKeyboardHandlerIsAViolation) {
  keyboardHandlerRegister(wait_from_key_handler);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_TRUE(violated("scriptWait called from a keyboard handler"));
  Host::get().run_frame();
  EXPECT_EQ(Host::get().waits(), 0u);
}

TEST_F(Protocol, ANativeCalledOutsideAnyScriptOrHandlerIsCaught) {
  nativeInit(0x096275889B8E0EE0);
  nativeCall();
  EXPECT_TRUE(violated("native call outside the script context"));
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

// Addresses a plug-in may pass by mistake: one that was never mapped, one
// unmapped since, and a text whose NUL would lie past readable memory.
struct BadAddresses {
  const char* low = reinterpret_cast<const char*>(uintptr_t{0x10});
  char* gone = nullptr;
  char* unterminated = nullptr;
  void* pages = nullptr;
  // The freed page stays mapped, without access: unmapped, the next stack or
  // heap the run maps could land on it and make it readable again.
  BadAddresses() {
    void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::memcpy(page, "core", 5);
    gone = static_cast<char*>(page);
    mprotect(page, 4096, PROT_NONE);
    pages = mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::memset(pages, 'x', 4096);
    mprotect(static_cast<char*>(pages) + 4096, 4096, PROT_NONE);
    unterminated = static_cast<char*>(pages) + 4096 - 3;
  }
  ~BadAddresses() {
    munmap(gone, 4096);
    munmap(pages, 8192);
  }
};

constexpr uint64_t remove_anim_dict = 0x4763145053A33D46;          // (const char*), not simulated
constexpr uint64_t clear_sequence_task = 0x3841422E9C488D8C;       // (int*), not simulated
constexpr uint64_t set_ped_no_longer_needed = 0x2595DD4236549CE3;  // (Ped*), not simulated

TEST_F(Protocol, ATextThePlugInCannotReadIsAViolationNamingItNeverACrash) {
  const BadAddresses bad;
  const std::string on_heap(200, 'h');
  ASSERT_TRUE(run_script([&] {
    get_hash_key(bad.low);  // simulated
    get_hash_key(bad.gone);
    get_hash_key(bad.unterminated);      // readable, but no end before unreadable memory
    invoke(remove_anim_dict, bad.gone);  // not simulated: checked the same
    invoke(remove_anim_dict, static_cast<const char*>(nullptr));
    var_string(10, "LITERAL_STRING", bad.gone);   // the formatter's further text
    invoke(0xFA925AC00EB830B9, 10, bad.gone, 1);  // its format, before it is read
    char on_stack[] = "stack";
    get_hash_key(on_stack);
    get_hash_key(on_heap.c_str());
    invoke(remove_anim_dict, "mech_inventory@money");
  }));
  const std::string gone = sim::hex_text(reinterpret_cast<uintptr_t>(bad.gone));
  const std::vector<std::string> expected = {
      "GET_HASH_KEY: argument 1 a text the plug-in cannot read (0x0000000000000010)",
      "GET_HASH_KEY: argument 1 a text the plug-in cannot read (" + gone + ")",
      "GET_HASH_KEY: argument 1 a text the plug-in cannot read (" +
          sim::hex_text(reinterpret_cast<uintptr_t>(bad.unterminated)) + ")",
      "REMOVE_ANIM_DICT: argument 1 a text the plug-in cannot read (" + gone + ")",
      "REMOVE_ANIM_DICT: argument 1 null address (0x0000000000000000)",
      "VAR_STRING: argument 3 a text the plug-in cannot read (" + gone + ")",
      "VAR_STRING: argument 2 a text the plug-in cannot read (" + gone + ")",
  };
  EXPECT_EQ(violations(), expected);
  const auto& calls = Host::get().world().calls();
  ASSERT_EQ(calls.size(), 10u);
  EXPECT_EQ(calls[1].text(), "GET_HASH_KEY(unreadable " + gone + ") -> 0")
      << "the record does not read it either, and the native acts on nothing";
  EXPECT_EQ(calls[6].text(), "VAR_STRING(10, unreadable " + gone + ", 1) -> null");
  EXPECT_EQ(calls[7].text().rfind("GET_HASH_KEY(\"stack\") -> ", 0), 0u);
  EXPECT_EQ(calls[8].text().rfind("GET_HASH_KEY(\"hhhh", 0), 0u);
}

TEST_F(Protocol, ANullOrUnreadablePointerWhereTheTableHasOneIsAViolation) {
  const BadAddresses bad;
  ASSERT_TRUE(run_script([&] {
    int32_t sequence = 0;
    invoke(clear_sequence_task, &sequence);  // sound
    invoke(clear_sequence_task, static_cast<int32_t*>(nullptr));
    invoke(clear_sequence_task, reinterpret_cast<const int32_t*>(bad.gone));
    int32_t none = 0;
    invoke(set_ped_no_longer_needed, &none);  // the game answers a call on handle 0
    invoke(set_ped_no_longer_needed, static_cast<int32_t*>(nullptr));
    does_entity_exist(0);  // so does a simulated native
  }));
  const std::vector<std::string> expected = {
      "CLEAR_SEQUENCE_TASK: argument 1 null address (0x0000000000000000)",
      "CLEAR_SEQUENCE_TASK: argument 1 unreadable address (" +
          sim::hex_text(reinterpret_cast<uintptr_t>(bad.gone)) + ")",
      "SET_PED_AS_NO_LONGER_NEEDED: argument 1 null address (0x0000000000000000)",
  };
  EXPECT_EQ(violations(), expected);
}

TEST_F(Protocol, DeletingWhatThePlugInDidNotMakeIsAViolationSimulatedOrNot) {
  sim::World& w = Host::get().world();
  const int32_t stranger = w.create_entity(sim::EntityKind::ped, 1, {}, 0.0f);
  const int32_t own = w.create_entity(sim::EntityKind::ped, 1, {}, 0.0f);
  w.owners.give(sim::Thing::entity, own, test_support::test_plugin());
  ASSERT_TRUE(run_script([&] {
    int32_t player = player_ped_id();
    invoke(set_ped_no_longer_needed, &player);  // not simulated
    int32_t other = stranger;
    invoke(0x4971D2F8162B9674, &other);  // SET_ENTITY_AS_NO_LONGER_NEEDED, not simulated
    int32_t mine = own;
    invoke(set_ped_no_longer_needed, &mine);  // its own: fine
    int32_t gone = 0x7777;
    invoke(set_ped_no_longer_needed, &gone);  // names nothing: nothing happens
  }));
  ASSERT_EQ(violations().size(), 2u) << ::testing::PrintToString(violations());
  EXPECT_EQ(violations()[0],
            "a plug-in: SET_PED_AS_NO_LONGER_NEEDED on entity 0x100 (the player's ped) made by "
            "the game");
  char stranger_text[16];
  std::snprintf(stranger_text, sizeof stranger_text, "%#x", static_cast<unsigned>(stranger));
  EXPECT_EQ(violations()[1], std::string("a plug-in: SET_ENTITY_AS_NO_LONGER_NEEDED on entity ") +
                                 stranger_text + " made by the game");
  EXPECT_TRUE(w.exists(w.player_ped())) << "the world does not simulate it: the check only";
}

TEST(RemovalRule, ANativeDeletesByNameWhatItsFirstArgumentNames) {
  for (const char* deletes :
       {"DELETE_PED", "DELETE_ENTITY", "_DELETE_ENTITY_2", "DELETE_MISSION_TRAIN", "REMOVE_BLIP",
        "SET_OBJECT_AS_NO_LONGER_NEEDED", "FADE_AND_DESTROY_PED", "_FADE_AND_DESTROY_VEHICLE",
        "_UI_PROMPT_DELETE", "_DELETE_ANIM_SCENE", "_SET_PED_TO_BE_REMOVED"}) {
    const sim::NativeRow* row = sim::reference_row_named(deletes);
    ASSERT_NE(row, nullptr) << deletes;
    EXPECT_EQ(row->touch.act, sim::Act::remove) << deletes;
    EXPECT_EQ(row->touch.arg, 0) << deletes;
  }
  // Each of these removes something from the thing, not the thing itself.
  for (const char* keeps :
       {"REMOVE_PED_FROM_GROUP", "REMOVE_ALL_PED_WEAPONS", "_REMOVE_PED_FROM_MOUNT",
        "REMOVE_ANIM_SCENE_ENTITY", "BLIP_REMOVE_MODIFIER", "REMOVE_ANIM_DICT",
        "SET_MODEL_AS_NO_LONGER_NEEDED", "DELETE_CHECKPOINT"}) {
    const sim::NativeRow* row = sim::reference_row_named(keeps);
    ASSERT_NE(row, nullptr) << keeps;
    EXPECT_EQ(row->touch.act, sim::Act::reads) << keeps;
  }
  // Where the world simulates one the rule finds, its row removes the same thing.
  for (size_t n = 0; n < sim::native_row_count(); ++n) {
    const sim::NativeRow& simulated = sim::native_rows_begin()[n];
    const sim::NativeRow* game = sim::reference_row(simulated.hash);
    if (game == nullptr || game->touch.act != sim::Act::remove) continue;
    EXPECT_EQ(simulated.touch.act, sim::Act::remove) << simulated.name;
    EXPECT_EQ(simulated.touch.thing, game->touch.thing) << simulated.name;
  }
}

}  // namespace
