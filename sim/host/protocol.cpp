#include "protocol.h"

#include <string>
#include <string_view>

namespace sim {

static const char* slot_problem(char kind, uint64_t v) {
  const auto upper = static_cast<uint32_t>(v >> 32);
  if ((kind == 'i' || kind == 'b' || kind == 'f') && upper != 0) return "upper half not zero";
  if (kind == 'b' && v > 1) return "a flag other than 0 or 1";
  if (kind == 'x' && upper != ((v & 0x80000000u) ? 0xFFFFFFFFu : 0u)) return "not sign-extended";
  if ((kind == 's' || kind == 'p' || kind == 'h') && v == 0) return "null address";
  return nullptr;
}

bool check_protocol(World& world, const NativeCall& call) {
  const NativeRow* row = call.row;
  if (row == nullptr) {
    world.violation("unknown native " + hex_text(call.hash));
    return false;
  }
  const std::string_view params = row->params;
  const bool variadic = !params.empty() && params.back() == '.';
  const int fixed = static_cast<int>(variadic ? params.size() - 1 : params.size());
  if (variadic ? call.count < fixed : call.count != fixed) {
    world.violation(std::string(row->name) + ": " + std::to_string(call.count) +
                    " arguments, expects " + (variadic ? "at least " : "") + std::to_string(fixed));
    return false;
  }
  const char tail = variadic ? formatter_tail_kind(call) : '?';
  bool sound = true;
  for (int n = 0; n < call.count; ++n) {
    const uint64_t v = call.args[n];
    const char kind = n < fixed ? params[static_cast<size_t>(n)] : tail;
    const char* problem = slot_problem(kind, v);
    if (problem != nullptr) {
      world.violation(std::string(row->name) + ": argument " + std::to_string(n + 1) + " " +
                      problem + " (" + hex_text(v) + ")");
      sound = false;
    }
  }
  return sound;
}

void mark_result(NativeCall& call) {
  const char kind = call.row != nullptr ? call.row->result : 'v';
  const int slots = kind == 'V' ? 3 : (kind == 'i' || kind == 'b' || kind == 'f') ? 1 : 0;
  for (int n = 0; n < slots; ++n) call.result[n] = (call.result[n] & 0xFFFFFFFFu) | result_marker;
}

}  // namespace sim
