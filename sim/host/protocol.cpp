#include "protocol.h"

#include <cstdio>
#include <string>

namespace sim {

static std::string hex(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(v));
  return text;
}

bool check_protocol(World& world, const NativeCall& call) {
  const NativeRow* row = call.row;
  if (row == nullptr) {
    world.violation("unknown native " + hex(call.hash));
    return false;
  }
  const std::string params = row->params;
  const bool variadic = !params.empty() && params.back() == '.';
  const int fixed = static_cast<int>(variadic ? params.size() - 1 : params.size());
  if (variadic ? call.count < fixed : call.count != fixed) {
    world.violation(std::string(row->name) + ": " + std::to_string(call.count) +
                    " arguments, expects " + (variadic ? "at least " : "") + std::to_string(fixed));
    return false;
  }
  bool sound = true;
  for (int n = 0; n < fixed; ++n) {
    const uint64_t v = call.args[n];
    const char kind = params[static_cast<size_t>(n)];
    const auto upper = static_cast<uint32_t>(v >> 32);
    const char* problem = nullptr;
    if ((kind == 'i' || kind == 'b' || kind == 'f') && upper != 0) problem = "upper half not zero";
    if (kind == 'x' && upper != ((v & 0x80000000u) ? 0xFFFFFFFFu : 0u))
      problem = "not sign-extended";
    if ((kind == 's' || kind == 'p' || kind == 'h') && v == 0) problem = "null address";
    if (problem != nullptr) {
      world.violation(std::string(row->name) + ": argument " + std::to_string(n + 1) + " " +
                      problem + " (" + hex(v) + ")");
      sound = false;
    }
  }
  return sound;
}

}  // namespace sim
