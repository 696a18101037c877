#include "reference_natives.h"

#include <algorithm>
#include <deque>
#include <sstream>
#include <vector>

namespace sim {

namespace {

// The parameter letter of a type of the database: 32-bit kinds are checked,
// anything that may be 64 bits wide (Any, addresses) is not.
char letter_for(const std::string& type) {
  if (type == "float") return 'f';
  if (type == "BOOL") return 'b';
  if (type == "const char*") return 'z';
  if (type == "variadic") return '.';
  if (type == "Any" || (!type.empty() && type.back() == '*')) return 'a';
  return 'i';  // int, Hash and the 32-bit handles
}

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
};

const Table& table() {
  static const Table built = [] {
    Table t;
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
      std::string params;
      std::istringstream list(types);
      for (std::string type; std::getline(list, type, ',');) params += letter_for(type);
      t.texts.push_back(name);
      const char* row_name = t.texts.back().c_str();
      t.texts.push_back(params);
      t.rows.push_back({std::stoull(hash, nullptr, 16), row_name, t.texts.back().c_str(),
                        result_for(result), nullptr});
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

const NativeRow* reference_row_named(const std::string& name) {
  for (const NativeRow& r : table().rows) {
    if (name == r.name) return &r;
  }
  return nullptr;
}

}  // namespace sim
