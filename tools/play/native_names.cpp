#include "native_names.h"

#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "native_row.h"
#include "reference_natives.h"

namespace play {

uint64_t native_hash_named(const std::string& name) {
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    uint64_t hash = 0;
    auto [end, ec] = std::from_chars(name.data() + 2, name.data() + name.size(), hash, 16);
    if (ec != std::errc() || end != name.data() + name.size()) return 0;
    return sim::native_row(hash) ? hash : 0;
  }
  const sim::NativeRow* row = sim::native_row_named(name).row;
  return row != nullptr ? row->hash : 0;
}

namespace {

// Which parameters of a native are hashes and which handles, by the game's
// table: bit n for parameter n, bit 31 for the result.
struct Shown {
  uint32_t hashes = 0;
  uint32_t handles = 0;
};
constexpr uint32_t result_bit = 1u << 31;

bool is_handle_type(std::string_view type) {
  if (!type.empty() && type.back() == '*') type.remove_suffix(1);
  static const char* const handles[] = {"Entity", "Ped",    "Object", "Vehicle",
                                        "Blip",   "Prompt", "Pickup"};
  for (const char* h : handles) {
    if (type == h) return true;
  }
  return false;
}

const std::unordered_map<uint64_t, Shown>& shown_table() {
  static const std::unordered_map<uint64_t, Shown> table = [] {
    std::unordered_map<uint64_t, Shown> t;
    for (const sim::NativeFacts& f : sim::reference_facts()) {
      Shown s;
      if (std::string_view(f.result) == "Hash") s.hashes |= result_bit;
      if (is_handle_type(f.result)) s.handles |= result_bit;
      int n = 0;
      for (const std::string_view type : sim::type_list(f.types)) {
        if (n == 31) break;
        if (type == "Hash") s.hashes |= 1u << n;
        if (is_handle_type(type)) s.handles |= 1u << n;
        ++n;
      }
      if (s.hashes != 0 || s.handles != 0) t.emplace(f.hash, s);
    }
    return t;
  }();
  return table;
}

Shown shown_of(uint64_t native) {
  const auto& t = shown_table();
  const auto it = t.find(native);
  return it == t.end() ? Shown{} : it->second;
}

std::string hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

}  // namespace

std::string argument_shown(const sim::CallRecord& r, size_t n) {
  const sim::CallArg& a = r.args[n];
  const Shown s = shown_of(r.hash);
  const uint32_t bit = n < 31 ? 1u << n : 0;
  if (a.kind == 'h' && a.raw != 0) {
    const auto handle = [](std::string_view text) {
      int32_t value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return hex32(static_cast<uint32_t>(value));
    };
    // As passed, then what the native wrote there.
    return '&' + handle(a.text) + (a.written.empty() ? "" : " set to " + handle(a.written));
  }
  if ((a.kind == 'i' || a.kind == 'a') && (a.raw >> 32) == 0 && ((s.hashes | s.handles) & bit)) {
    return hex32(static_cast<uint32_t>(a.raw));
  }
  return r.argument_text(n);
}

std::string result_shown(const sim::CallRecord& r) {
  const char kind = r.result_kind();
  if (kind == 'v') return "";
  if (kind == 'i' && ((shown_of(r.hash).hashes | shown_of(r.hash).handles) & result_bit)) {
    return hex32(static_cast<uint32_t>(r.result[0]));
  }
  return r.result_written();
}

std::string call_shown(const sim::CallRecord& r) {
  std::string out =
      r.via != nullptr ? std::string(r.via->name) + " sent on as " + r.name() : r.name();
  out += '(';
  for (size_t n = 0; n < r.args.size(); ++n) {
    if (n > 0) out += ", ";
    out += argument_shown(r, n);
  }
  out += ')';
  const std::string result = result_shown(r);
  if (!result.empty()) out += " -> " + result;
  return out;
}

}  // namespace play
