#pragma once
// How each kind of step and expectation is written, from their tables
// (steps.def, expectations.def): the words that tell a line's kind, the
// lists the parser's messages give, and the usage `play --help` prints.

#include <span>
#include <string>
#include <vector>

namespace play {

struct KindSyntax {
  const char* syntax;   // its forms, separated by " | "
  bool set_up = false;  // a step that runs before the plug-ins load
};
std::span<const KindSyntax> step_syntax();         // by Step::Kind
std::span<const KindSyntax> expectation_syntax();  // by Expectation::Kind

// A syntax's forms: it split at each " | " outside brackets.
std::vector<std::string> forms_of(const std::string& syntax);

// The words that tell a form apart: a leading N or NAME, if it has one,
// then its lowercase words up to the first that is not.
std::vector<std::string> key_words(const std::string& form);
bool is_placeholder(const std::string& word);  // N, NAME, PLACE...

// What a line may begin with, for a message: "seed, faults ..., fps".
std::string kinds_list(std::span<const KindSyntax> rows);

// The steps, the expectations and the faults, a line each.
std::string usage_text();

}  // namespace play
