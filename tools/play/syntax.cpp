#include "syntax.h"

#include <algorithm>
#include <sstream>

#include "faults.h"
#include "steps.h"

namespace play {

namespace {

enum class Phase : bool { plays, set_up };
constexpr Phase set_up = Phase::set_up;
constexpr Phase plays = Phase::plays;

constexpr KindSyntax step_rows[] = {
#define PLAY_STEP(kind, phase, syntax) {syntax, (phase) == set_up},
#include "steps.def"
#undef PLAY_STEP
};

constexpr KindSyntax expectation_rows[] = {
#define PLAY_EXPECTATION(kind, syntax) {syntax},
#include "expectations.def"
#undef PLAY_EXPECTATION
};

bool is_literal(const std::string& word) {
  return !word.empty() &&
         std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

}  // namespace

std::span<const KindSyntax> step_syntax() { return step_rows; }
std::span<const KindSyntax> expectation_syntax() { return expectation_rows; }

bool Step::is_set_up() const { return step_rows[static_cast<size_t>(kind)].set_up; }

std::vector<std::string> forms_of(const std::string& syntax) {
  std::vector<std::string> forms;
  int depth = 0;
  size_t from = 0;
  for (size_t at = 0; at < syntax.size(); ++at) {
    if (syntax[at] == '[') ++depth;
    if (syntax[at] == ']') --depth;
    if (depth == 0 && syntax.compare(at, 3, " | ") == 0) {
      forms.push_back(syntax.substr(from, at - from));
      from = at + 3;
    }
  }
  forms.push_back(syntax.substr(from));
  return forms;
}

bool is_placeholder(const std::string& word) {
  return !word.empty() && std::all_of(word.begin(), word.end(),
                                      [](char c) { return (c >= 'A' && c <= 'Z') || c == '_'; });
}

std::vector<std::string> key_words(const std::string& form) {
  std::vector<std::string> keys;
  std::istringstream words(form);
  for (std::string word; words >> word;) {
    if ((keys.empty() && is_placeholder(word)) || is_literal(word)) {
      keys.push_back(word);
    } else {
      break;
    }
  }
  return keys;
}

// Forms that share a first word are named by it, the others in full.
std::string kinds_list(std::span<const KindSyntax> rows) {
  std::vector<std::pair<std::string, std::vector<std::string>>> heads;
  for (const KindSyntax& row : rows) {
    for (const std::string& form : forms_of(row.syntax)) {
      const std::vector<std::string> keys = key_words(form);
      const std::string head = is_placeholder(keys.front()) ? joined(keys) : keys.front();
      auto it =
          std::find_if(heads.begin(), heads.end(), [&](const auto& h) { return h.first == head; });
      if (it == heads.end()) it = heads.insert(heads.end(), {head, {}});
      if (std::find(it->second.begin(), it->second.end(), joined(keys)) == it->second.end()) {
        it->second.push_back(joined(keys));
      }
    }
  }
  std::string list;
  for (const auto& [head, patterns] : heads) {
    list += (list.empty() ? "" : ", ") + (patterns.size() == 1 ? patterns.front() : head + " ...");
  }
  return list;
}

std::string usage_text() {
  std::string text =
      "Steps of a scenario (docs/scenarios.md), the set-up steps (*) before any other:\n";
  for (const KindSyntax& row : step_rows) {
    text += std::string(row.set_up ? "  * " : "    ") + row.syntax + '\n';
  }
  text += "Expectations, after 'expect [not]' or 'wait until':\n";
  for (const KindSyntax& row : expectation_rows) text += std::string("    ") + row.syntax + '\n';
  text += "Faults, for 'fault \"KIND\"':\n";
  for (size_t n = 0; n < sim::fault_kinds; ++n) {
    const auto f = static_cast<sim::Fault>(n);
    text += std::string("    \"") + sim::fault_name(f) + "\": " + sim::fault_description(f) + '\n';
  }
  return text;
}

}  // namespace play
