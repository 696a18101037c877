// Writes the list of the natives the world simulates into docs/host.md, from
// the world's own rows, so the doc never says what the table does not:
//   natives_doc FILE          rewrites the list in FILE when it differs
//   natives_doc --check FILE  exits 1 when the list in FILE differs

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "native_table.h"
#include "ownership.h"

namespace {

const char* const begin_mark =
    "<!-- The world's rows, written by the build (tools/natives_doc): do not edit. -->";
const char* const end_mark = "<!-- End of the world's rows. -->";

std::string kinds(std::string_view params) {
  std::string out;
  for (const char p : params) {
    static const std::pair<char, const char*> names[] = {
        {'i', "int"}, {'b', "bool"},    {'f', "float"}, {'s', "text"}, {'z', "text or null"},
        {'p', "ptr"}, {'h', "&handle"}, {'x', "int64"}, {'a', "any"},  {'.', "..."}};
    for (const auto& [letter, name] : names) {
      if (letter == p) out += (out.empty() ? "" : ", ") + std::string(name);
    }
  }
  return out;
}

std::string result(char r) {
  switch (r) {
    case 'i':
      return "int";
    case 'b':
      return "bool";
    case 'f':
      return "float";
    case 's':
      return "text";
    case 'V':
      return "vector";
    default:
      return "";
  }
}

std::string touch(const sim::Touch& t) {
  switch (t.act) {
    case sim::Act::make:
      return std::string("makes ") + sim::thing_name(t.thing);
    case sim::Act::remove:
      return std::string("removes ") + sim::thing_name(t.thing);
    case sim::Act::change:
      return std::string("changes ") + sim::thing_name(t.thing);
    default:
      return "";
  }
}

std::string section() {
  std::vector<const sim::NativeRow*> rows;
  for (size_t n = 0; n < sim::native_row_count(); ++n) rows.push_back(sim::native_rows_begin() + n);
  std::sort(rows.begin(), rows.end(), [](const sim::NativeRow* a, const sim::NativeRow* b) {
    return std::string(a->name) < std::string(b->name);
  });
  std::ostringstream out;
  out << begin_mark << "\n\n"
      << rows.size() << " natives answer from the world's state:\n\n"
      << "| Native | Hash | Arguments | Result | Touches |\n|---|---|---|---|---|\n";
  for (const sim::NativeRow* r : rows) {
    out << "| `" << r->name << "` | " << sim::hex_text(r->hash) << " | " << kinds(r->params)
        << " | " << result(r->result) << " | " << touch(r->touch) << " |\n";
  }
  out << '\n' << end_mark;
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: natives_doc [--check] FILE\n";
    return 2;
  }
  const std::string path = argv[argc - 1];
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string doc = text.str();
  const size_t begin = doc.find(begin_mark);
  const size_t end = doc.find(end_mark);
  if (!in || begin == std::string::npos || end == std::string::npos || end < begin) {
    std::cerr << path << ": no list of the world's rows between its marks\n";
    return 2;
  }
  const std::string now = section();
  const size_t length = end + std::string(end_mark).size() - begin;
  if (doc.compare(begin, length, now) == 0) return 0;
  if (check) {
    std::cerr << path << ": the list of simulated natives differs from the world's rows; "
              << "build to rewrite it\n";
    return 1;
  }
  doc.replace(begin, length, now);
  std::ofstream(path, std::ios::binary) << doc;
  return 0;
}
