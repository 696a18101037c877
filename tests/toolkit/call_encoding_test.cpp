// How arguments travel to the host and results come back.

#include <gtest/gtest.h>

#include "../../cinema/site.h"
#include "host.h"
#include "natives.h"
#include "test_script.h"

using native_detail::decode;
using native_detail::encode;
using native_detail::NativeArgument;

namespace {

TEST(ArgumentEncoding, ThirtyTwoBitKindsAreZeroExtended) {
  EXPECT_EQ(encode(-1), 0x00000000FFFFFFFFull);
  EXPECT_EQ(encode(int32_t{-135}), 0x00000000FFFFFF79ull);
  EXPECT_EQ(encode(Hash{0xCA2E9442u}), 0x00000000CA2E9442ull);
  EXPECT_EQ(encode(true), 1u);
  EXPECT_EQ(encode(false), 0u);
}

TEST(ArgumentEncoding, FloatsGoAsTheirBitPatternInTheLowHalf) {
  EXPECT_EQ(encode(45.0f), 0x42340000ull);
  EXPECT_EQ(encode(-1.0f), 0xBF800000ull);
  EXPECT_EQ(encode(0.0f), 0u);
}

TEST(ArgumentEncoding, StringsAndOutParametersGoAsAddresses) {
  const char* text = "LITERAL_STRING";
  Entity handle = 0;
  EXPECT_EQ(encode(text), reinterpret_cast<uintptr_t>(text));
  EXPECT_EQ(encode(&handle), reinterpret_cast<uintptr_t>(&handle));
  EXPECT_EQ(encode(int64_t{-5}), 0xFFFFFFFFFFFFFFFBull) << "a 64-bit value keeps its sign";
}

// Types without an encoding do not compile as native arguments.
static_assert(!NativeArgument<double>);
static_assert(!NativeArgument<Vector3>);
static_assert(!NativeArgument<int16_t>);
static_assert(!NativeArgument<char>);
static_assert(NativeArgument<const char*> && NativeArgument<Vector3*> && NativeArgument<float>);

// The text formatter's tail opens with the name of a format.
template <typename... Tail>
constexpr bool formats_with = requires(Tail... tail) {
  var_string(10, tail...);
};
static_assert(formats_with<const char*> && formats_with<char*, int>);
static_assert(!formats_with<> && !formats_with<int> && !formats_with<Hash, const char*>);

TEST(ResultDecoding, ReadsTheLowHalfOfSlotZero) {
  const uint64_t slots[3] = {0xDEADBEEF00000001ull, 0, 0};
  EXPECT_EQ(decode<int>(slots), 1);
  EXPECT_TRUE(decode<bool>(slots));
  const uint64_t minus_one[3] = {0xFFFFFFFFull, 0, 0};
  EXPECT_EQ(decode<int>(minus_one), -1);
  const uint64_t float_slot[3] = {0x42340000ull, 0, 0};
  EXPECT_EQ(decode<float>(float_slot), 45.0f);
}

TEST(ResultDecoding, VectorComesFromThreeSlots) {
  const uint64_t slots[3] = {0x3F800000ull, 0x40000000ull, 0xC0400000ull};
  const Vector3 v = decode<Vector3>(slots);
  EXPECT_EQ(v.x, 1.0f);
  EXPECT_EQ(v.y, 2.0f);
  EXPECT_EQ(v.z, -3.0f);
}

TEST(ResultDecoding, NoSlotsReadAsAFailedNative) {
  EXPECT_EQ(decode<int>(nullptr), 0);
  EXPECT_EQ(decode<const char*>(nullptr), nullptr);
  EXPECT_EQ(decode<Vector3>(nullptr).z, 0.0f);
}

TEST(NativeCalls, RoundTripThroughTheHost) {
  sim::Host::get().reset();
  sim::World& world = sim::Host::get().world();
  const cinema_site::Point post = cinema_site::post;
  world.place_player(post.x, post.y, post.z);
  Vector3 at{};
  float d = 0;
  ASSERT_TRUE(test_support::run_script([&] {
    at = get_entity_coords(player_ped_id(), true, false);
    d = get_distance_between_coords(at.x, at.y, at.z, at.x + 3.0f, at.y + 4.0f, at.z, true);
  }));
  EXPECT_EQ(at.x, post.x);
  EXPECT_EQ(at.y, post.y);
  EXPECT_EQ(at.z, post.z);
  EXPECT_FLOAT_EQ(d, 5.0f);
  EXPECT_TRUE(world.violations().empty());
  sim::Host::get().reset();
}

}  // namespace
