// natives.h and the reference table describe the same natives: one wrapper
// per row, its parameters the table's, named after it in snake case.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "natives.h"
#include "reference_natives.h"

namespace {

// The table's name for a variadic tail, and what a wrapper's pack is read as.
const std::string variadic = "...";

struct Row {
  std::string name;
  uint64_t hash;
  std::vector<std::string> param_names;
};

struct Wrapper {
  std::string name;
  std::vector<std::string> natives;  // the words of native:: its body names
  std::vector<std::string> param_names;
};

std::string read_file(const char* path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Splits at every separator, keeping empty fields.
std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> fields(1);
  for (const char c : text) {
    if (c == separator) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The plug-ins' natives (reference/natives.tsv, as the build made them
// into the toolkit's words), with their parameters' names from the game's
// table, by the word a wrapper names.
std::map<std::string, Row> read_table() {
  std::map<uint64_t, const sim::NativeFacts*> facts;
  for (const sim::NativeFacts& f : sim::reference_facts()) facts[f.hash] = &f;
  std::map<std::string, Row> rows;
  const auto add = [&](const char* word, uint64_t hash) {
    const sim::NativeFacts& f = *facts.at(hash);
    Row row{f.name, hash, {}};
    for (const std::string& name : split(f.param_names, ',')) {
      if (!name.empty()) row.param_names.push_back(name);
    }
    rows[word] = row;
  };
#define TOOLKIT_NATIVE(word, hash, name) add(#word, hash);
#include "toolkit_natives.def"
#undef TOOLKIT_NATIVE
  return rows;
}

// The text with its comments blanked, so that a hash or a parenthesis in a
// comment is not taken for code.
std::string without_comments(const std::string& text) {
  std::string code = text;
  for (size_t at = code.find("//"); at != std::string::npos; at = code.find("//", at)) {
    const size_t end = code.find('\n', at);
    std::fill(code.begin() + at, end == std::string::npos ? code.end() : code.begin() + end, ' ');
  }
  return code;
}

// Where the bracket opened at `open` closes, or npos.
size_t closing(const std::string& code, size_t open, char opener, char closer) {
  int depth = 0;
  for (size_t at = open; at < code.size(); ++at) {
    if (code[at] == opener) ++depth;
    if (code[at] == closer && --depth == 0) return at;
  }
  return std::string::npos;
}

// A parameter's name: its last word, or the variadic mark for a pack.
std::string parameter_name(const std::string& declaration) {
  if (declaration.find("...") != std::string::npos) return variadic;
  size_t end = declaration.size();
  while (end > 0 && (std::isalnum(static_cast<unsigned char>(declaration[end - 1])) ||
                     declaration[end - 1] == '_')) {
    --end;
  }
  return declaration.substr(end);
}

// Every inline function of natives.h with the natives its body names;
// `problem` says where the text could not be read.
std::vector<Wrapper> read_wrappers(std::string& problem) {
  const std::string code = without_comments(read_file(NATIVES_H));
  const std::regex native_pattern("native::([A-Z0-9_]+)");
  std::vector<Wrapper> wrappers;
  for (size_t at = code.find("inline "); at != std::string::npos; at = code.find("inline ", at)) {
    const size_t open = code.find('(', at);
    const size_t close = open == std::string::npos ? open : closing(code, open, '(', ')');
    const size_t body = close == std::string::npos ? close : code.find('{', close);
    const size_t end = body == std::string::npos ? body : closing(code, body, '{', '}');
    if (end == std::string::npos) {
      problem = "an unfinished function at offset " + std::to_string(at) + " of " + NATIVES_H;
      return wrappers;
    }
    Wrapper w;
    size_t name_end = open;
    while (name_end > at && code[name_end - 1] == ' ') --name_end;
    w.name = parameter_name(code.substr(at, name_end - at));
    const std::string params = trim(code.substr(open + 1, close - open - 1));
    if (!params.empty()) {
      for (const std::string& p : split(params, ',')) w.param_names.push_back(parameter_name(p));
    }
    const std::string text = code.substr(body, end - body);
    for (std::sregex_iterator m(text.begin(), text.end(), native_pattern), none; m != none; ++m) {
      w.natives.push_back((*m)[1].str());
    }
    wrappers.push_back(w);
    at = end;
  }
  return wrappers;
}

// Words C++ reserves, and lower-case macros of the Windows headers the .asi
// build sees.
bool is_reserved(const std::string& word) {
  static const std::string reserved =
      " alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t"
      " char16_t char32_t class compl concept const consteval constexpr constinit const_cast"
      " continue co_await co_return co_yield decltype default delete do double dynamic_cast else"
      " enum explicit export extern false float for friend goto if inline int long mutable"
      " namespace new noexcept not not_eq nullptr operator or or_eq private protected public"
      " register reinterpret_cast requires return short signed sizeof static static_assert"
      " static_cast struct switch template this thread_local throw true try typedef typeid"
      " typename union unsigned using virtual void volatile wchar_t while xor xor_eq"
      " near far small hyper interface min max ";
  return reserved.find(" " + word + " ") != std::string::npos;
}

// A table name as a wrapper spells it: posX -> pos_x, animScene ->
// anim_scene, p2 -> p2; a word C++ reserves gets a trailing underscore.
std::string snake_case(const std::string& name) {
  if (name == variadic) return name;
  std::string out;
  for (size_t n = 0; n < name.size(); ++n) {
    const auto c = static_cast<unsigned char>(name[n]);
    if (std::isupper(c)) {
      const auto before = n > 0 ? static_cast<unsigned char>(name[n - 1]) : 0;
      const auto after = n + 1 < name.size() ? static_cast<unsigned char>(name[n + 1]) : 0;
      const bool new_word = n > 0 && (std::islower(before) || std::isdigit(before) ||
                                      (std::isupper(before) && std::islower(after)));
      if (new_word) out += '_';
      out += static_cast<char>(std::tolower(c));
    } else {
      out += static_cast<char>(c);
    }
  }
  return is_reserved(out) ? out + "_" : out;
}

std::string hex(uint64_t hash) {
  std::ostringstream text;
  text << "0x" << std::hex << std::uppercase << hash;
  return text.str();
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
  return "(" + text + ")";
}

TEST(NativesHeader, NamesFollowTheTablesCamelCaseInSnakeCase) {
  EXPECT_EQ(snake_case("xPos"), "x_pos");
  EXPECT_EQ(snake_case("animScene"), "anim_scene");
  EXPECT_EQ(snake_case("p2"), "p2");
  EXPECT_EQ(snake_case("bScriptHostObj"), "b_script_host_obj");
  EXPECT_EQ(snake_case("holdTimeMs"), "hold_time_ms");
  EXPECT_EQ(snake_case("HTTPStatus"), "http_status");
  EXPECT_EQ(snake_case("default"), "default_");
}

TEST(NativesHeader, EveryWrapperIsATableNativeWithTheTablesParameters) {
  const std::map<std::string, Row> table = read_table();
  ASSERT_GT(table.size(), 100u) << "the plug-ins' natives";
  std::string problem;
  const std::vector<Wrapper> wrappers = read_wrappers(problem);
  ASSERT_EQ(problem, "");
  ASSERT_FALSE(wrappers.empty()) << "no inline functions in " << NATIVES_H;

  std::map<std::string, std::string> wrapped;
  for (const Wrapper& w : wrappers) {
    SCOPED_TRACE(w.name);
    ASSERT_EQ(w.natives.size(), 1u)
        << w.name << " names " << w.natives.size() << " natives; a wrapper calls exactly one";
    const std::string& word = w.natives.front();
    const auto row = table.find(word);
    if (row == table.end()) {
      ADD_FAILURE() << w.name << " calls native::" << word << ", which reference/natives.tsv lacks";
      continue;
    }
    const auto [earlier, fresh] = wrapped.emplace(word, w.name);
    EXPECT_TRUE(fresh) << word << " is wrapped twice: " << earlier->second << " and " << w.name;
    const Row& r = row->second;
    std::vector<std::string> expected;
    for (const std::string& name : r.param_names) expected.push_back(snake_case(name));
    EXPECT_EQ(w.param_names, expected)
        << w.name << joined(w.param_names) << " for " << r.name << joined(r.param_names);
  }

  for (const auto& [word, row] : table) {
    EXPECT_EQ(wrapped.count(word), 1u) << row.name << " (" << hex(row.hash) << ") has no wrapper";
  }
}

// A wrapper's word is its native's name; the underscore that opens some
// names, which C++ keeps for itself, closes the word instead.
TEST(NativesHeader, AWrappersHashIsItsNativesInTheGamesTable) {
  EXPECT_EQ(native::CREATE_PED, sim::reference_row_named("CREATE_PED")->hash);
  EXPECT_EQ(native::UI_PROMPT_DELETE_, sim::reference_row_named("_UI_PROMPT_DELETE")->hash);
  for (const auto& [word, row] : read_table()) {
    const std::string expected = row.name.front() == '_' ? row.name.substr(1) + "_" : row.name;
    EXPECT_EQ(word, expected) << row.name;
  }
}

}  // namespace
