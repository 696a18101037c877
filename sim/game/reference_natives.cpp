#include "reference_natives.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace sim {

namespace {

// What a handle type of the database names, for the ownership check.
std::optional<Thing> thing_of(std::string type) {
  if (!type.empty() && type.back() == '*') type.pop_back();
  if (type == "Entity" || type == "Ped" || type == "Object" || type == "Vehicle") {
    return Thing::entity;
  }
  if (type == "Blip") return Thing::blip;
  if (type == "Prompt") return Thing::prompt;
  if (type == "AnimScene") return Thing::scene;
  return std::nullopt;
}

// The parameter letter of a type of the database: 32-bit kinds are checked
// by their width, a text must be one, an address must not be null, and Any
// (maybe 64 bits wide) is not checked.
char letter_for(const std::string& type) {
  if (type == "float") return 'f';
  if (type == "BOOL") return 'b';
  if (type == "const char*") return 's';
  if (type == "variadic") return '.';
  if (type == "Any") return 'a';
  if (!type.empty() && type.back() == '*') return thing_of(type) ? 'h' : 'p';
  return 'i';  // int, Hash and the 32-bit handles
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

namespace {

char result_for(const std::string& type) {
  if (type == "void") return 'v';
  if (type == "float") return 'f';
  if (type == "BOOL") return 'b';
  if (type == "const char*") return 's';
  if (type == "Vector3") return 'V';
  return 'i';
}

struct Table {
  std::deque<std::string> texts;  // names and parameter letters, kept for the rows
  std::vector<NativeRow> rows;    // by hash
  std::map<uint64_t, std::string> outs;
};

// What the game writes through an out-parameter of the type, as out_parameters tells it.
char out_kind(const std::string& type) {
  if (type == "int*" || type == "float*" || type == "BOOL*" || type == "Hash*") return '4';
  if (type == "Vector3*") return 'V';
  return '.';
}

const Table& table() {
  static const Table built = [] {
    Table t;
    each_reference_line([&](const ReferenceLine& l) {
      std::string params;
      std::string first_type;
      std::string outs;
      std::istringstream list(l.types);
      for (std::string type; std::getline(list, type, ',');) {
        if (params.empty()) first_type = type;
        params += letter_for(type);
        outs += out_kind(type);
      }
      if (outs.find_first_not_of('.') != std::string::npos) t.outs[l.hash] = outs;
      t.texts.push_back(l.name);
      const char* row_name = t.texts.back().c_str();
      t.texts.push_back(params);
      t.rows.push_back({l.hash, row_name, t.texts.back(), result_for(l.result), nullptr,
                        removal_by_name(l.name, first_type).value_or(Touch{})});
    });
    std::sort(t.rows.begin(), t.rows.end(),
              [](const NativeRow& a, const NativeRow& b) { return a.hash < b.hash; });
    return t;
  }();
  return built;
}

}  // namespace

void each_reference_line(const std::function<void(const ReferenceLine&)>& use) {
  std::istringstream lines(reference_natives_tsv());
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string hash, space, name, count, result, types;
    std::getline(fields, hash, '\t');
    std::getline(fields, space, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, count, '\t');
    std::getline(fields, result, '\t');
    std::getline(fields, types, '\t');
    if (hash.rfind("0x", 0) != 0 || name.empty()) continue;
    use({std::stoull(hash, nullptr, 16), name, result, types});
  }
}

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
