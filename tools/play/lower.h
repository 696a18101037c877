#pragma once
// Names read case-blind (the game's, Windows' file names) are compared in
// lower case.

#include <cctype>
#include <string>
#include <string_view>

namespace play {

inline std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace play
