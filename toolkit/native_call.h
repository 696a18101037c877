#pragma once
// The one way a native is called: nativeInit, one 64-bit slot per argument,
// nativeCall, and the result read at once from the host's slots.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "script_hook.h"
#include "types.h"

namespace native_detail {

template <typename T>
inline constexpr bool unsupported = false;

// What a native argument slot can carry; anything else fails to compile.
template <typename T>
concept NativeArgument =
    std::is_same_v<T, bool> || std::is_same_v<T, float> ||
    (std::is_integral_v<T> && sizeof(T) == 4) ||
    std::is_same_v<T, int64_t> || std::is_same_v<T, uint64_t> || std::is_pointer_v<T>;

// A text formatter's tail opens with the name of its format.
template <typename... Args>
inline constexpr bool opens_with_text = false;
template <typename First, typename... Rest>
inline constexpr bool opens_with_text<First, Rest...> = std::is_convertible_v<First, const char*>;

template <NativeArgument T>
inline uint64_t encode(T value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value ? 1u : 0u;
  } else if constexpr (std::is_same_v<T, float>) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  } else if constexpr (std::is_pointer_v<T>) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(value));
  } else if constexpr (std::is_integral_v<T> && sizeof(T) == 4) {
    // 32-bit kinds are zero-extended: -1 goes as 0x00000000FFFFFFFF.
    return static_cast<uint32_t>(value);
  } else {
    // A full slot, for the few natives that take a 64-bit value.
    return static_cast<uint64_t>(value);
  }
}

template <typename R>
inline R decode(const uint64_t* slots) {
  if constexpr (std::is_void_v<R>) {
    return;
  } else {
    // A host that hands back no slots is treated like a native that failed.
    static constexpr uint64_t no_result[3] = {};
    if (slots == nullptr) slots = no_result;
    if constexpr (std::is_same_v<R, bool>) {
      return static_cast<uint32_t>(slots[0]) != 0;
    } else if constexpr (std::is_same_v<R, float>) {
      const auto bits = static_cast<uint32_t>(slots[0]);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    } else if constexpr (std::is_integral_v<R> && sizeof(R) == 4) {
      return static_cast<R>(static_cast<uint32_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, uint64_t>) {
      return slots[0];
    } else if constexpr (std::is_same_v<R, const char*>) {
      return reinterpret_cast<const char*>(static_cast<uintptr_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, Vector3>) {
      Vector3 v;
      std::memcpy(&v, slots, sizeof v);
      return v;
    } else {
      static_assert(unsupported<R>, "this result type has no native decoding");
    }
  }
}

}  // namespace native_detail

// A text's slot in a record the game reads through its address (a speech
// request, a feed post), as a native argument would carry it.
inline uint64_t text_slot(const char* text) { return native_detail::encode(text); }

template <typename R = void, typename... Args>
inline R invoke(uint64_t hash, Args... args) {
  nativeInit(hash);
  (nativePush64(native_detail::encode(args)), ...);
  return native_detail::decode<R>(nativeCall());
}
