#include "reference_natives.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "native_words.h"

namespace sim {

namespace {

// What a handle type of the database names, for the ownership check.
std::optional<Thing> thing_of(std::string_view type) {
  if (!type.empty() && type.back() == '*') type.remove_suffix(1);
  if (type == "Entity" || type == "Ped" || type == "Object" || type == "Vehicle") {
    return Thing::entity;
  }
  if (type == "Blip") return Thing::blip;
  if (type == "Prompt") return Thing::prompt;
  if (type == "AnimScene") return Thing::scene;
  return std::nullopt;
}

bool starts_with(const std::string& s, const char* part) { return s.rfind(part, 0) == 0; }
bool ends_with(const std::string& s, const std::string& part) {
  return s.size() >= part.size() && s.compare(s.size() - part.size(), part.size(), part) == 0;
}

// What is left of a name once its verb of removal is taken off: "PED" of
// DELETE_PED, SET_PED_AS_NO_LONGER_NEEDED or FADE_AND_DESTROY_PED; empty
// when the name has no such verb.
std::string removed_of(std::string name) {
  if (!name.empty() && name.front() == '_') name.erase(0, 1);
  for (const char* verb : {"FADE_AND_DESTROY_", "DELETE_", "REMOVE_", "DESTROY_"}) {
    if (starts_with(name, verb)) return name.substr(std::string(verb).size());
  }
  if (ends_with(name, "_DELETE")) return name.substr(0, name.size() - 7);
  for (const std::string tail : {"_AS_NO_LONGER_NEEDED", "_TO_BE_REMOVED"}) {
    if (starts_with(name, "SET_") && ends_with(name, tail)) {
      return name.substr(4, name.size() - 4 - tail.size());
    }
  }
  return "";
}

}  // namespace

std::optional<Touch> removal_by_name(const std::string& name, const std::string& first_type) {
  const std::optional<Thing> thing = thing_of(first_type);
  if (!thing) return std::nullopt;
  // The rest of the name must be the thing itself: DELETE_PED removes the
  // ped, REMOVE_PED_FROM_GROUP only its membership.
  static const char* const things[] = {"ENTITY",    "ENTITY_2",      "PED",       "OBJECT",
                                       "VEHICLE",   "MISSION_TRAIN", "CARRIABLE", "BLIP",
                                       "UI_PROMPT", "PROMPT",        "ANIM_SCENE"};
  const std::string removed = removed_of(name);
  for (const char* t : things) {
    if (removed == t) return removes(*thing);
  }
  return std::nullopt;
}

// 32-bit kinds are checked by their width, a text must be one, an address
// must not be null, and Any (maybe 64 bits wide) is not checked.
char param_letter(std::string_view type) {
  if (type == "float") return 'f';
  if (type == "BOOL") return 'b';
  if (type == "const char*") return 's';
  if (type == "variadic") return '.';
  if (type == "Any") return 'a';
  if (!type.empty() && type.back() == '*') return thing_of(type) ? 'h' : 'p';
  return 'i';  // int, Hash and the 32-bit handles
}

std::vector<std::string_view> type_list(std::string_view types) {
  std::vector<std::string_view> list;
  while (!types.empty()) {
    const size_t comma = types.find(',');
    list.push_back(types.substr(0, comma));
    types = comma == std::string_view::npos ? std::string_view() : types.substr(comma + 1);
  }
  return list;
}

std::string param_letters(std::string_view types) {
  std::string letters;
  for (const std::string_view type : type_list(types)) letters += param_letter(type);
  return letters;
}

char result_letter(std::string_view type) {
  if (type == "void") return 'v';
  if (type == "float") return 'f';
  if (type == "BOOL") return 'b';
  if (type == "const char*") return 's';
  if (type == "Vector3") return 'V';
  return 'i';
}

const NativeFacts& facts_of(Native native) {
  return reference_facts()[static_cast<size_t>(native)];
}

const HostNativeFacts& facts_of(HostNativeName native) {
  return host_native_facts()[static_cast<size_t>(native)];
}

namespace {

struct Table {
  std::deque<std::string> texts;  // parameter letters, kept for the rows
  std::vector<NativeRow> rows;    // by hash
  std::map<uint64_t, std::string> outs;
};

// What the game writes through an out-parameter of the type, as out_parameters tells it.
char out_kind(std::string_view type) {
  if (type == "int*" || type == "float*" || type == "BOOL*" || type == "Hash*") return '4';
  if (type == "Vector3*") return 'V';
  return '.';
}

const Table& table() {
  static const Table built = [] {
    Table t;
    for (const NativeFacts& f : reference_facts()) {
      const std::vector<std::string_view> types = type_list(f.types);
      const std::string first_type(types.empty() ? std::string_view() : types.front());
      std::string outs;
      for (const std::string_view type : types) outs += out_kind(type);
      if (outs.find_first_not_of('.') != std::string::npos) t.outs[f.hash] = outs;
      t.texts.push_back(param_letters(f.types));
      t.rows.push_back({f.hash, f.name, t.texts.back(), result_letter(f.result), nullptr,
                        removal_by_name(f.name, first_type).value_or(Touch{})});
    }
    std::sort(t.rows.begin(), t.rows.end(),
              [](const NativeRow& a, const NativeRow& b) { return a.hash < b.hash; });
    return t;
  }();
  return built;
}

}  // namespace

const NativeRow* reference_row(uint64_t hash) {
  const auto& rows = table().rows;
  auto it = std::lower_bound(rows.begin(), rows.end(), hash,
                             [](const NativeRow& r, uint64_t h) { return r.hash < h; });
  return it != rows.end() && it->hash == hash ? &*it : nullptr;
}

std::string_view out_parameters(uint64_t hash) {
  const auto& outs = table().outs;
  const auto it = outs.find(hash);
  return it == outs.end() ? std::string_view() : std::string_view(it->second);
}

const NativeRow* reference_row_named(const std::string& name) {
  for (const NativeRow& r : table().rows) {
    if (name == r.name) return &r;
  }
  return nullptr;
}

}  // namespace sim
