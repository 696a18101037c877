#pragma once
// Reads a scenario file: a step a line, '#' starts a comment, words are
// separated by spaces and "quoted text" is one word. A line that does not
// read as a step stops the parse with "file:line: what was expected there".

#include <stdexcept>
#include <string>

#include "steps.h"

namespace play {

struct ParseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

Scenario parse_scenario_file(const std::string& path);
Scenario parse_scenario(const std::string& file, const std::string& text);

}  // namespace play
