// Writes the list of the natives the world simulates into docs/host.md, from
// the world's own rows, so the doc never says what the table does not; with
// the table of natives public mods call, the share of their call sites the
// world (or the host) answers, and the most used natives it does not:
//   natives_doc FILE [USED]          rewrites the list in FILE when it differs
//   natives_doc --check FILE [USED]  exits 1 when the list in FILE differs
//   natives_doc --coverage USED      prints the share answered

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host_natives.h"
#include "native_table.h"
#include "ownership.h"

namespace {

const char* const begin_mark =
    "<!-- The world's rows, written by the build (tools/natives_doc): do not edit. -->";
const char* const end_mark = "<!-- End of the world's rows. -->";

std::string kinds(std::string_view params) {
  static const std::pair<char, const char*> words[] = {
#define PARAM_LETTER(letter, word, takes) {letter, word},
#define RESULT_LETTER(letter, word)
#include "native_letters.def"
#undef PARAM_LETTER
#undef RESULT_LETTER
  };
  std::string out;
  for (const char p : params) {
    for (const auto& [letter, word] : words) {
      if (letter == p) out += (out.empty() ? "" : ", ") + std::string(word);
    }
  }
  return out;
}

std::string result(char r) {
  static const std::pair<char, const char*> words[] = {
#define PARAM_LETTER(letter, word, takes)
#define RESULT_LETTER(letter, word) {letter, word},
#include "native_letters.def"
#undef PARAM_LETTER
#undef RESULT_LETTER
  };
  for (const auto& [letter, word] : words) {
    if (letter == r) return word;
  }
  return "";
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

// A native of the table of what public mods call: its row, by repos.
struct Used {
  uint64_t hash = 0;
  std::string name;
  int repos = 0;
  int calls = 0;
};

std::vector<Used> read_used(const std::string& path) {
  std::vector<Used> used;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string hash, space, name, repos, calls;
    std::getline(fields, hash, '\t');
    std::getline(fields, space, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, repos, '\t');
    std::getline(fields, calls, '\t');
    if (hash.rfind("0x", 0) != 0) continue;
    try {
      used.push_back({std::stoull(hash, nullptr, 16), name, std::stoi(repos), std::stoi(calls)});
    } catch (const std::exception&) {
      continue;  // a line the table's writer did not mean
    }
  }
  return used;
}

bool answered(uint64_t hash) {
  return sim::find_native(hash) != nullptr || sim::host_native_row(hash) != nullptr;
}

struct Coverage {
  long calls = 0;
  long answered_calls = 0;
  int first_100 = 0, first_150 = 0, first_300 = 0;
  std::vector<const Used*> missing_300;  // in the first 300 rows, not answered
};

Coverage coverage_of(const std::vector<Used>& used) {
  Coverage c;
  for (size_t n = 0; n < used.size(); ++n) {
    const bool yes = answered(used[n].hash);
    c.calls += used[n].calls;
    if (yes) c.answered_calls += used[n].calls;
    if (yes && n < 100) ++c.first_100;
    if (yes && n < 150) ++c.first_150;
    if (yes && n < 300) ++c.first_300;
    if (!yes && n < 300) c.missing_300.push_back(&used[n]);
  }
  return c;
}

std::string percent(long part, long whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f",
                whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

std::string coverage_text(const std::vector<Used>& used) {
  const Coverage c = coverage_of(used);
  std::ostringstream out;
  out << "Of the " << c.calls << " call sites in the table of natives public mods call ("
      << used.size() << " natives, `reference/natives-used-by-mods.tsv`), " << c.answered_calls
      << " (" << percent(c.answered_calls, c.calls)
      << " %) reach a native the world or the host answers; of its first 100 rows (by the "
         "mods that call them) "
      << c.first_100 << ", of the first 150 " << c.first_150 << ", of the first 300 " << c.first_300
      << ".\n";
  return out.str();
}

std::string section(const std::vector<Used>& used) {
  std::vector<const sim::NativeRow*> rows;
  for (size_t n = 0; n < sim::native_row_count(); ++n) rows.push_back(sim::native_rows_begin() + n);
  std::sort(rows.begin(), rows.end(), [](const sim::NativeRow* a, const sim::NativeRow* b) {
    return std::string(a->name) < std::string(b->name);
  });
  std::ostringstream out;
  out << begin_mark << "\n\n";
  if (!used.empty()) {
    out << coverage_text(used) << '\n';
    const Coverage c = coverage_of(used);
    if (!c.missing_300.empty()) {
      out << "Of the first 300 rows, the world does not answer:";
      for (size_t n = 0; n < c.missing_300.size(); ++n) {
        out << (n == 0 ? " `" : ", `") << c.missing_300[n]->name << '`';
      }
      out << ".\n\n";
    }
  }
  out << rows.size() << " natives answer from the world's state:\n\n"
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
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--coverage") {
    const std::vector<Used> used = read_used(args[1]);
    if (used.empty()) {
      std::cerr << args[1] << ": no natives read\n";
      return 2;
    }
    std::cout << coverage_text(used);
    return 0;
  }
  const bool check = !args.empty() && args[0] == "--check";
  const size_t first = check ? 1 : 0;
  if (args.size() < first + 1 || args.size() > first + 2) {
    std::cerr << "usage: natives_doc [--check] FILE [USED] | natives_doc --coverage USED\n";
    return 2;
  }
  const std::string& path = args[first];
  const std::vector<Used> used =
      args.size() == first + 2 ? read_used(args[first + 1]) : std::vector<Used>{};
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
  const std::string now = section(used);
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
