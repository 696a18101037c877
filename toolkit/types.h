#pragma once
// Types shared by the plug-ins and the game's natives.

#include <cstddef>
#include <cstdint>

using Hash = uint32_t;
using Entity = int32_t;
using Ped = int32_t;
using Object = int32_t;
using Blip = int32_t;
using Prompt = int32_t;

// The game's vector: each float sits in its own 64-bit slot, the same layout
// as a vector result in three result slots.
struct Vector3 {
  alignas(8) float x;
  alignas(8) float y;
  alignas(8) float z;
};
static_assert(sizeof(Vector3) == 24 && offsetof(Vector3, y) == 8 && offsetof(Vector3, z) == 16,
              "Vector3 must match the game's slot layout");

// A speech line for the game's ambient speech native: eight 64-bit slots,
// strings by address, integers in the low half.
struct SpeechRequest {
  uint64_t slot[8];
};

// A record of seven 64-bit slots, as the feed notification native reads them.
struct FeedRecord {
  uint64_t slot[7];
};
