#pragma once
// The stand-in's table of the natives it knows. A row names the native, its
// parameters (one letter each) and its result; the handler, when there is
// one, acts on the world, and the touch says what of a plug-in's things it
// makes, removes or changes. A native without a handler is recorded and
// answers 0. A domain's row gives only which native it answers, its handler
// and its touch: the hash, name and letters come from the game's table
// (reference_natives.h).
//
// The letters of parameters and results are in native_letters.def.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sim {

// Each native of the game's table, by its name (native_words.h, made by the build).
enum class Native : uint16_t;
enum class HostNativeName : uint8_t;

class World;
struct NativeCall;
using NativeHandler = void (*)(World&, NativeCall&);

// What a native does to a thing a plug-in may own, for the ownership check
// (ownership.h). Most natives only read, and say nothing.
enum class Thing : uint8_t { entity, prompt, blip, point, effect, scene, target, count };
enum class Act : uint8_t { reads, make, remove, change };
struct Touch {
  Act act = Act::reads;
  Thing thing = Thing::entity;
  // The argument naming the thing: its handle, the address of its handle
  // (an 'h' parameter), or a render target's name. What is made is the result.
  int arg = 0;
};
constexpr Touch makes(Thing t) { return {Act::make, t, 0}; }
constexpr Touch removes(Thing t) { return {Act::remove, t, 0}; }
constexpr Touch changes(Thing t, int arg = 0) { return {Act::change, t, arg}; }

struct NativeRow {
  uint64_t hash;
  const char* name;
  std::string_view params;  // a view: the per-call check needs its length, not a strlen
  char result;
  NativeHandler handler;
  Touch touch = {};
};

constexpr int max_native_args = 32;

struct NativeCall {
  uint64_t hash = 0;
  const NativeRow* row = nullptr;
  uint64_t args[max_native_args] = {};
  int count = 0;
  bool simulated = true;           // false: a row from the reference, no handler
  const NativeRow* via = nullptr;  // the host's own row it was sent on from
  // Arguments, one bit each, whose address the host found it cannot read:
  // nothing reads them, not even the record.
  uint32_t unreadable = 0;
  bool readable(int n) const { return ((unreadable >> n) & 1u) == 0; }
  uint64_t result[4] = {};

  int32_t i(int n) const { return static_cast<int32_t>(static_cast<uint32_t>(args[n])); }
  uint32_t u(int n) const { return static_cast<uint32_t>(args[n]); }
  bool b(int n) const { return static_cast<uint32_t>(args[n]) != 0; }
  float f(int n) const {
    const auto bits = static_cast<uint32_t>(args[n]);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  const char* s(int n) const {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(args[n]));
  }
  template <typename T>
  T* p(int n) const {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(args[n]));
  }

  void ret_int(int32_t v) { result[0] = static_cast<uint32_t>(v); }
  void ret_bool(bool v) { result[0] = v ? 1 : 0; }
  void ret_float(float v) { result[0] = float_bits(v); }
  void ret_text(const char* text) { result[0] = reinterpret_cast<uintptr_t>(text); }
  void ret_vector(float x, float y, float z) {
    result[0] = float_bits(x);
    result[1] = float_bits(y);
    result[2] = float_bits(z);
  }

  static uint64_t float_bits(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
  }
};

// What the text formatter's further argument n (counted from the first
// after the format) is, by its format name: 's' a text, 'i' a 32-bit value,
// 'f' a float, '?' a format the stand-in does not know (world.cpp).
char formatter_arg_kind(const NativeCall& call, int n);

// A hash or slot as the tables and reports write it: 0x and 16 hex digits.
std::string hex_text(uint64_t value);
// "(x, y, z)", from its three numbers as written.
std::string vector_text(const std::string& x, const std::string& y, const std::string& z);

// Every row the stand-in knows, from all domains.
const NativeRow* find_native(uint64_t hash);
const NativeRow* find_native_named(const std::string& name);
const NativeRow* native_rows_begin();
size_t native_row_count();

// A domain's row: the native it answers, its handler and what it touches.
// Where the stand-in checks the arguments otherwise than the reference's
// types read, the row says so with checked_as (the native table's test
// lists each such row, and why it is sound).
struct RowNative {
  Native native;
  const char* params = nullptr;  // null: the letters of the reference's types
  // A row names its native as a bare word.
  constexpr RowNative(Native n) : native(n) {}
  constexpr RowNative(Native n, const char* letters) : native(n), params(letters) {}
};
constexpr RowNative checked_as(Native native, const char* letters) { return {native, letters}; }

struct DomainRow {
  RowNative native;
  NativeHandler handler;
  Touch touch = {};
};

// Rows of each domain, from the domain's own file; native_table.cpp joins
// them with their facts.
struct NativeRows {
  const DomainRow* rows;
  size_t count;
};
NativeRows core_native_rows();  // world.cpp
NativeRows entities_native_rows();
NativeRows prompt_native_rows();
NativeRows particles_native_rows();
NativeRows blips_native_rows();
NativeRows interiors_native_rows();
NativeRows scenario_points_native_rows();
NativeRows peds_native_rows();
NativeRows speech_native_rows();
NativeRows anim_scenes_native_rows();
NativeRows money_native_rows();
NativeRows tv_native_rows();
NativeRows clock_native_rows();
NativeRows text_native_rows();
NativeRows player_native_rows();
NativeRows controls_native_rows();
NativeRows tasks_native_rows();
NativeRows vehicles_native_rows();
NativeRows weapons_native_rows();
NativeRows camera_native_rows();
NativeRows screen_native_rows();
NativeRows streaming_native_rows();
NativeRows environment_native_rows();

}  // namespace sim
