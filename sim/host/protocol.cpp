#include "protocol.h"

#include <string>
#include <string_view>

#include "memory_probe.h"

namespace sim {

// Every argument of every call passes here: the commonest kinds first.
static const char* slot_problem(char kind, uint64_t v) {
  const auto upper = static_cast<uint32_t>(v >> 32);
  const uint32_t sign = (v & 0x80000000u) ? 0xFFFFFFFFu : 0u;
  // Headers that declare a 32-bit value as 64 bits wide send a negative one
  // sign-extended; the game reads the low half.
  if (kind == 'i') return upper != 0 && upper != sign ? "upper half not zero" : nullptr;
  if (kind == 'f') return upper != 0 ? "upper half not zero" : nullptr;
  if (kind == 'b')
    return upper != 0 ? "upper half not zero" : v > 1 ? "a flag other than 0 or 1" : nullptr;
  if (kind == 'x') return upper != sign ? "not sign-extended" : nullptr;
  if (kind == 's' || kind == 'p' || kind == 'h') return v == 0 ? "null address" : nullptr;
  return nullptr;
}

// Whether what an address argument points at can be read, tested without
// reading it: a text up to its NUL, a handle, the first slot of a record.
static const char* memory_problem(char kind, uint64_t v) {
  if (v == 0) return nullptr;
  const auto* at = reinterpret_cast<const char*>(static_cast<uintptr_t>(v));
  if (kind == 's' || kind == 'z') {
    return memory::readable_text(at) ? nullptr : "a text the plug-in cannot read";
  }
  if (kind == 'h') return memory::readable(at, sizeof(int32_t)) ? nullptr : "unreadable address";
  if (kind == 'p') return memory::readable(at, sizeof(uint64_t)) ? nullptr : "unreadable address";
  return nullptr;
}

static std::string slot_text(const NativeRow& row, int n, const char* problem, uint64_t v) {
  return std::string(row.name) + ": argument " + std::to_string(n + 1) + " " + problem + " (" +
         hex_text(v) + ")";
}

// What the game reads harmlessly: the low half of a 32-bit slot, any flag
// but 0 as true. An address it cannot read would bring it down.
static bool tolerable(char kind) {
  return kind == 'i' || kind == 'f' || kind == 'b' || kind == 'x';
}

// A count the table does not give, as the game takes it: it reads its own
// slots, the missing ones as an earlier call left them.
static bool count_tolerated(World& world, NativeCall& call, int fixed, bool variadic) {
  const NativeRow& row = *call.row;
  const int pushed = call.count;
  std::string what = std::string(row.name) + ": " + std::to_string(pushed) +
                     " arguments, expects " + (variadic ? "at least " : "") + std::to_string(fixed);
  if (world.strict) {
    world.violation(what);
    return false;
  }
  if (pushed < fixed) {
    what += "; the game reads ";
    for (int n = pushed; n < fixed; ++n) {
      what += (n > pushed ? ", " : "") + std::string("argument ") + std::to_string(n + 1) + " as " +
              hex_text(call.args[n]);
    }
    what += ", left there by an earlier call";
  } else {
    what += "; the game reads none past argument " + std::to_string(fixed);
  }
  world.tolerate(std::string(row.name) + "/" + std::to_string(pushed), std::move(what));
  call.count = fixed;
  return true;
}

bool check_protocol(World& world, NativeCall& call) {
  call.unreadable = 0;
  const NativeRow* row = call.row;
  if (row == nullptr) {
    world.violation("unknown native " + hex_text(call.hash));
    return false;
  }
  const std::string_view params = row->params;
  const bool variadic = !params.empty() && params.back() == '.';
  const int fixed = static_cast<int>(variadic ? params.size() - 1 : params.size());
  const int pushed = call.count;
  if ((variadic ? call.count < fixed : call.count != fixed) &&
      !count_tolerated(world, call, fixed, variadic)) {
    return false;
  }
  bool sound = true;
  // The fixed arguments first: the formatter's further ones take their kind
  // from its format, which must be readable before it is read.
  for (int n = 0; n < call.count; ++n) {
    const uint64_t v = call.args[n];
    const char kind =
        n < fixed ? params[static_cast<size_t>(n)] : formatter_arg_kind(call, n - fixed);
    const char* problem = slot_problem(kind, v);
    if (problem == nullptr) {
      problem = memory_problem(kind, v);
      if (problem != nullptr) call.unreadable |= 1u << n;
    } else if (tolerable(kind) && n < pushed) {
      const std::string key = std::string(row->name) + "/" + std::to_string(n) + problem;
      if (!world.tolerate(key, slot_text(*row, n, problem, v))) sound = false;
      continue;
    }
    if (problem == nullptr) continue;
    // A slot the plug-in did not fill counts only where the game reads through it.
    if (n >= pushed && tolerable(kind)) continue;
    world.violation(slot_text(*row, n, problem, v));
    sound = false;
  }
  return sound;
}

void mark_result(NativeCall& call) {
  const char kind = call.row != nullptr ? call.row->result : 'v';
  const int slots = kind == 'V' ? 3 : (kind == 'i' || kind == 'b' || kind == 'f') ? 1 : 0;
  for (int n = 0; n < slots; ++n) call.result[n] = (call.result[n] & 0xFFFFFFFFu) | result_marker;
}

}  // namespace sim
