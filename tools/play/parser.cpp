#include "parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "content.h"
#include "entities.h"
#include "faults.h"
#include "keyboard.h"
#include "names.h"
#include "native_names.h"
#include "native_row.h"
#include "native_table.h"
#include "places.h"
#include "summary.h"
#include "syntax.h"

namespace play {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words; "quoted text" is one word, '#' outside quotes
// ends the line.
std::vector<Token> split(const std::string& line, std::string& unclosed) {
  std::vector<Token> tokens;
  size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++at;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      const size_t end = line.find('"', at + 1);
      if (end == std::string::npos) {
        unclosed = line.substr(at);
        break;
      }
      tokens.push_back({line.substr(at + 1, end - at - 1), true});
      at = end + 1;
    } else {
      size_t end = at;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' &&
             line[end] != '#' && line[end] != '"') {
        ++end;
      }
      tokens.push_back({line.substr(at, end - at), false});
      at = end;
    }
  }
  return tokens;
}

std::string without_comment(const std::string& line) {
  bool quoted = false;
  for (size_t n = 0; n < line.size(); ++n) {
    if (line[n] == '"') quoted = !quoted;
    if (line[n] == '#' && !quoted) return line.substr(0, n);
  }
  return line;
}

// A finite number, written out in full.
bool read_number(const std::string& text, double& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last && std::isfinite(value);
}

// Long enough for any scenario, short enough for the game's 32-bit timer.
constexpr double longest_seconds = 1000000.0;
constexpr double most_frames = 1000000000.0;

class LineParser {
 public:
  LineParser(const std::string& file, int line, std::vector<Token> tokens,
             const Deliverable& deliverable)
      : file_(file), line_(line), tokens_(std::move(tokens)), deliverable_(deliverable) {}

  Step step();

 private:
  [[noreturn]] void fail(const std::string& expected) const {
    const std::string found = at_end() ? "the end of the line" : "'" + tokens_[pos_].text + "'";
    throw ParseError(file_ + ":" + std::to_string(line_) + ": expected " + expected + ", found " +
                     found);
  }
  [[noreturn]] void fail_here(const std::string& message) const {
    throw ParseError(file_ + ":" + std::to_string(line_) + ": " + message);
  }

  bool at_end() const { return pos_ >= tokens_.size(); }
  bool next_is(const char* word) const {
    return !at_end() && !tokens_[pos_].quoted && tokens_[pos_].text == word;
  }
  bool take(const char* word) {
    if (!next_is(word)) return false;
    ++pos_;
    return true;
  }
  void expect(const char* word, const std::string& what) {
    if (!take(word)) fail(what);
  }
  std::string word(const std::string& what) {
    if (at_end() || tokens_[pos_].quoted) fail(what);
    return tokens_[pos_++].text;
  }
  std::string quoted(const std::string& what) {
    if (at_end() || !tokens_[pos_].quoted) fail(what);
    return tokens_[pos_++].text;
  }
  double number(const std::string& what) {
    double value = 0.0;
    if (at_end() || tokens_[pos_].quoted || !read_number(tokens_[pos_].text, value)) fail(what);
    ++pos_;
    return value;
  }
  int whole_number(const std::string& what, int low, int high) {
    const size_t at = pos_;
    const double value = number(what);
    if (value != static_cast<int>(value) || value < low || value > high) {
      pos_ = at;
      fail(what);
    }
    return static_cast<int>(value);
  }
  void end_of_line() {
    if (!at_end()) fail("the end of the line");
  }

  size_t kind_of(std::span<const KindSyntax> rows, const std::string& what);
  // The word a form's leading NAME or N matched, or the last key word.
  const std::string& lead() const { return tokens_[lead_].text; }
  const std::string& last_key() const { return tokens_[pos_ - 1].text; }

#define PLAY_STEP(kind, phase, syntax) void parse_##kind(Step& s);
#include "steps.def"
#undef PLAY_STEP
#define PLAY_EXPECTATION(kind, syntax) void parse_##kind(Expectation& e);
#include "expectations.def"
#undef PLAY_EXPECTATION

  void duration(Step& s);
  void key_or_control(Step& s);
  void control_value(Step& s);
  void about(Expectation& e);
  sim::Vec place();
  Expectation expectation();
  std::vector<std::string> alternatives(const std::string& what);

  const std::string& file_;
  int line_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  size_t lead_ = 0;
  const Deliverable& deliverable_;
};

// "5 s", "1.5 s", "200 ms", "30 frames", also written "5s" or "200ms".
void LineParser::duration(Step& s) {
  const char* what = "a duration such as '5 s', '200 ms' or '30 frames'";
  if (at_end() || tokens_[pos_].quoted) fail(what);
  std::string text = tokens_[pos_].text;
  std::string unit;
  const size_t unit_at = text.find_first_not_of("0123456789.+");
  if (unit_at != std::string::npos && unit_at > 0) {
    unit = text.substr(unit_at);
    text = text.substr(0, unit_at);
  }
  double value = 0.0;
  if (!read_number(text, value) || value < 0.0) fail(what);
  ++pos_;
  if (unit.empty()) unit = word(what);
  if (unit == "s" || unit == "second" || unit == "seconds" || unit == "ms") {
    s.seconds = unit == "ms" ? value / 1000.0 : value;
    if (s.seconds > longest_seconds) fail_here("a duration is at most 1000000 s");
  } else if (unit == "frame" || unit == "frames") {
    if (value > most_frames) fail_here("a duration is at most 1000000000 frames");
    if (value != std::floor(value)) fail_here("a number of frames is a whole number");
    s.frames = static_cast<int>(value);
  } else {
    --pos_;
    fail("'s', 'ms' or 'frames' after the number");
  }
}

// NATIVE VALUE, the value read as the native's result kind, or NATIVE
// default. Only a native the world does not simulate takes an answer: a
// simulated one answers from the world's state.
void LineParser::parse_answer(Step& s) {
  const size_t name_at = pos_;
  s.name = word("a native's name or hash");
  s.hash = native_hash_named(s.name);
  const sim::FoundRow found = s.hash != 0 ? sim::native_row(s.hash) : sim::FoundRow{};
  if (found.simulated()) {
    pos_ = name_at;
    fail_here(s.name + " is simulated: it answers from the world, not from a scenario");
  }
  if (!found) {
    pos_ = name_at;
    fail("a native the game knows, by name or as 0x and 16 hex digits");
  }
  if (take("default")) {
    s.answer_default = true;
    return;
  }
  const std::string name = found.row->name;
  switch (found.row->result) {
    case 'b':
      if (take("true") || take("1")) {
        s.answer[0] = 1;
      } else if (!take("false") && !take("0")) {
        fail("true, false or default (" + name + " answers a flag)");
      }
      break;
    case 'f':
      s.answer[0] = sim::NativeCall::float_bits(
          static_cast<float>(number("a number or default (" + name + " answers a float)")));
      break;
    case 'V':
      for (uint64_t& slot : s.answer) {
        slot = sim::NativeCall::float_bits(
            static_cast<float>(number("x y z or default (" + name + " answers a vector)")));
      }
      break;
    case 's':
      s.answer_text = quoted("a text in quotes or default (" + name + " answers a text)");
      break;
    case 'i': {
      const std::string what = "a whole number or default (" + name + " answers an integer)";
      const std::string text = word(what);
      int64_t value = 0;
      const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
      const char* first = text.data() + (hex ? 2 : 0);
      const char* last = text.data() + text.size();
      auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
      if (ec != std::errc() || end != last || value < INT32_MIN || value > UINT32_MAX) {
        --pos_;
        fail(what);
      }
      s.answer[0] = static_cast<uint32_t>(value);
      break;
    }
    default:
      pos_ = name_at;
      fail_here(name + " returns nothing: there is no answer to set");
  }
}

// A game control by its INPUT_ name, or a key by its virtual-key name or code.
void LineParser::key_or_control(Step& s) {
  const char* what =
      "a key (F4, NUMPAD8, A, SPACE, or a code such as 0x73) or a control (INPUT_...)";
  const size_t at = pos_;
  s.name = word(what);
  if (s.name.rfind("INPUT_", 0) == 0 && s.name.size() > 6) return;
  VirtualKey key;
  if (!find_key(s.name, key)) {
    pos_ = at;
    fail(what);
  }
  s.key = key.code;
}

// A place of the deliverable, a distance and direction from one, or x y z.
sim::Vec LineParser::place() {
  const std::string places = deliverable_.place_names();
  const std::string what = "a place (" + places + "), 'N m east of PLACE' or x y z";
  if (at_end()) fail(what);
  double first = 0.0;
  if (!tokens_[pos_].quoted && read_number(tokens_[pos_].text, first)) {
    ++pos_;
    if (take("m")) {
      const std::string direction = word("north, south, east or west");
      expect("of", "'of' after the direction");
      const size_t name_at = pos_;
      const Place* from = deliverable_.place(word("a place (" + places + ")"));
      if (from == nullptr) {
        pos_ = name_at;
        fail("a place of " +
             (deliverable_.name.empty() ? std::string("the deliverable") : deliverable_.name) +
             " (" + places + ")");
      }
      sim::Vec at = from->at;
      const auto d = static_cast<float>(first);
      if (direction == "north") {
        at.y += d;
      } else if (direction == "south") {
        at.y -= d;
      } else if (direction == "east") {
        at.x += d;
      } else if (direction == "west") {
        at.x -= d;
      } else {
        pos_ = name_at - 2;
        fail("north, south, east or west");
      }
      return at;
    }
    const double y = number("y and z after x, or 'm' after a distance");
    const double z = number("z after x and y");
    return sim::Vec{static_cast<float>(first), static_cast<float>(y), static_cast<float>(z)};
  }
  const size_t name_at = pos_;
  const Place* p = deliverable_.place(word(what));
  if (p == nullptr) {
    pos_ = name_at;
    fail(what);
  }
  return p->at;
}

// NAME or NAME|NAME|...
std::vector<std::string> LineParser::alternatives(const std::string& what) {
  std::vector<std::string> names;
  std::istringstream parts(word(what));
  for (std::string part; std::getline(parts, part, '|');) {
    if (part.empty()) {
      --pos_;
      fail(what);
    }
    names.push_back(part);
  }
  return names;
}

// Which row of a table the line's next words are: the row with a form whose
// key words they are, the longest such if several. Rows led by a NAME or N
// come into it only when no row's first key word is the line's. Passes the
// key words; a leading NAME's or N's word is lead().
size_t LineParser::kind_of(std::span<const KindSyntax> rows, const std::string& what) {
  struct Candidate {
    size_t row;
    std::string form;
    size_t keys;
    size_t matched;  // of its key words, at the line's start
    bool led;        // by a NAME or N
  };
  const size_t start = pos_;
  std::vector<Candidate> candidates;
  bool first_word_taken = false;
  for (size_t row = 0; row < rows.size(); ++row) {
    for (const std::string& form : forms_of(rows[row].syntax)) {
      const std::vector<std::string> keys = key_words(form);
      const bool led = is_placeholder(keys.front());
      size_t matched = 0;
      for (; matched < keys.size() && start + matched < tokens_.size(); ++matched) {
        const Token& t = tokens_[start + matched];
        if (t.quoted) break;
        if (matched == 0 && led) {
          double number = 0.0;
          if ((keys.front() == "N") != read_number(t.text, number)) break;
        } else if (t.text != keys[matched]) {
          break;
        }
      }
      if (!led && matched > 0) first_word_taken = true;
      // A NAME matches any word: alone it says nothing of the kind.
      if (led && keys.front() != "N" && matched == 1) matched = 0;
      candidates.push_back({row, form, keys.size(), matched, led});
    }
  }
  std::erase_if(candidates, [&](const Candidate& c) { return c.led == first_word_taken; });
  const Candidate* best = nullptr;
  size_t most = 0;
  for (const Candidate& c : candidates) {
    if (c.matched == c.keys && (best == nullptr || c.keys > best->keys)) best = &c;
    most = std::max(most, c.matched);
  }
  if (best != nullptr) {
    lead_ = start;
    pos_ = start + best->keys;
    return best->row;
  }
  if (most == 0) fail(what + ": " + kinds_list(rows));
  // What could follow the words the line has in common with the nearest forms.
  std::vector<std::string> rests;
  for (const Candidate& c : candidates) {
    if (c.matched != most) continue;
    std::istringstream words(c.form);
    std::string word;
    for (size_t n = 0; n < most; ++n) words >> word;
    std::string rest;
    std::getline(words >> std::ws, rest);
    if (std::find(rests.begin(), rests.end(), rest) == rests.end()) rests.push_back(rest);
  }
  std::string expected;
  for (size_t n = 0; n < rests.size(); ++n) {
    expected += (n == 0 ? "'" : n + 1 == rests.size() ? " or '" : ", '") + rests[n] + "'";
  }
  std::string said;
  for (size_t n = start; n < start + most; ++n) said += (n == start ? "" : " ") + tokens_[n].text;
  pos_ = start + most;
  fail(expected + " after '" + said + "'");
}

Expectation LineParser::expectation() {
  Expectation e;
  e.negated = take("not");
  e.kind = static_cast<Expectation::Kind>(kind_of(expectation_syntax(), "an expectation"));
  switch (e.kind) {
#define PLAY_EXPECTATION(kind, syntax) \
  case Expectation::Kind::kind:        \
    parse_##kind(e);                   \
    break;
#include "expectations.def"
#undef PLAY_EXPECTATION
  }
  return e;
}

void LineParser::parse_prompt_offered(Expectation& e) {
  e.text = quoted("the prompt's label in quotes");
  expect("offered", "'offered' after the label");
}

void LineParser::parse_said(Expectation& e) {
  e.speaker = word("who said it: player, " +
                   (deliverable_.entities.empty() ? std::string() : "a nickname, ") + "anyone");
  e.names = alternatives("the line's name, or names separated by '|'");
  if (take("voice")) e.voice = word("the voice's name");
  if (take("once")) {
    e.count = 1;
  } else if (!at_end() && !next_is("within")) {
    e.count = whole_number("'once', 'N times' or the end of the line", 0, 1000000);
    expect("times", "'times' after the count");
  }
}

void LineParser::parse_money_changed(Expectation& e) {
  e.count = whole_number("the change, in cents (-100 is one dollar taken)", -100000000, 100000000);
}

void LineParser::parse_notification(Expectation& e) {
  e.text = quoted("the notification's text in quotes");
}

void LineParser::parse_tv_channel(Expectation& e) {
  e.channel = whole_number("a channel number", -1, 1000);
  if (take("plays")) e.names = alternatives("a playlist, or playlists separated by '|'");
}

void LineParser::parse_tv_off(Expectation&) {}

void LineParser::parse_target_drawn(Expectation& e) {
  e.text = word("the render target's name");
  expect("drawn", "'drawn' after the render target's name");
  if (take("at")) {
    expect("alpha", "'alpha N' after 'at'");
    e.count = whole_number("the alpha, 0 to 255", 0, 255);
  }
}

void LineParser::parse_live_count(Expectation& e) {
  const size_t after = pos_;
  pos_ = lead_;
  e.count = whole_number("a count of live entities", 0, 1000000);
  pos_ = after;
  e.subject = word("a nickname or model name");
}

// "about V [within T]": "within T" is the tolerance unless a unit follows:
// then it is the limit of a 'wait until'.
void LineParser::about(Expectation& e) {
  e.subject = lead();
  e.value = number("the value after 'about'");
  double tolerance = 0.0;
  const bool tolerance_follows = next_is("within") && pos_ + 1 < tokens_.size() &&
                                 read_number(tokens_[pos_ + 1].text, tolerance) &&
                                 (pos_ + 2 == tokens_.size() || tokens_[pos_ + 2].text == "within");
  if (tolerance_follows) {
    pos_ += 2;
    if (tolerance < 0.0) fail_here("a tolerance is not negative");
    e.tolerance = tolerance;
  }
}

void LineParser::parse_speed_about(Expectation& e) { about(e); }

void LineParser::parse_scale_about(Expectation& e) { about(e); }

void LineParser::parse_player_seated(Expectation&) {}

void LineParser::parse_player_inside(Expectation& e) {
  std::string interiors;
  for (const Nickname& n : deliverable_.interiors) interiors += n.name + " or ";
  e.subject = word("an interior (" + interiors + "its name)");
}

void LineParser::parse_blip_has(Expectation& e) { e.text = word("a blip modifier's name"); }

// In a colour, its alpha when given, and at a scale.
void LineParser::parse_text_drawn(Expectation& e) {
  e.text = quoted("the text in quotes");
  expect("drawn", "'drawn' after the text");
  if (take("in")) {
    const char* const parts[] = {"red", "green", "blue"};
    for (int n = 0; n < 3; ++n) {
      e.colour[n] = whole_number(std::string("the colour's ") + parts[n] + ", 0 to 255", 0, 255);
    }
    double alpha = 0.0;
    if (!at_end() && read_number(tokens_[pos_].text, alpha)) {
      e.colour[3] = whole_number("the colour's alpha, 0 to 255", 0, 255);
    }
  }
  if (take("at")) {
    expect("scale", "'scale S' after 'at'");
    e.scale = number("the text's scale");
    if (e.scale < 0.0) fail_here("a text's scale is not negative");
  }
}

void LineParser::parse_no_violation(Expectation&) {}

void LineParser::parse_nothing_left(Expectation& e) {
  if (take("of")) e.subject = word("a kind of thing: " + thing_names());
}

Step LineParser::step() {
  Step s;
  s.line = line_;
  s.kind = static_cast<Step::Kind>(kind_of(step_syntax(), "a step"));
  switch (s.kind) {
#define PLAY_STEP(kind, phase, syntax) \
  case Step::Kind::kind:               \
    parse_##kind(s);                   \
    break;
#include "steps.def"
#undef PLAY_STEP
  }
  end_of_line();
  return s;
}

void LineParser::parse_seed(Step& s) {
  s.seed = static_cast<uint64_t>(whole_number("a whole number", 0, 2000000000));
}

void LineParser::parse_faults(Step& s) {
  s.seed = static_cast<uint64_t>(whole_number("a whole number", 0, 2000000000));
  if (take("rate")) {
    s.rate = number("a chance per frame, from 0 to 1");
    if (s.rate < 0.0 || s.rate > 1.0) fail_here("a rate lies between 0 and 1");
  }
}

void LineParser::parse_fps(Step& s) {
  s.fps = number("frames per second, such as 60");
  if (s.fps < 1.0 || s.fps > 1000.0) fail_here("frames per second lie between 1 and 1000");
}

void LineParser::parse_hour(Step& s) {
  s.hour = static_cast<int>(whole_number("an hour from 0 to 23", 0, 23));
}

void LineParser::parse_start(Step& s) { s.at = place(); }

void LineParser::parse_ground(Step& s) { s.at = place(); }

// A mod's own asset, in the list it belongs to.
void LineParser::parse_content(Step& s) {
  const std::string list = last_key() == "dict" ? tokens_[pos_ - 2].text : last_key();
  s.name = word("the asset's name");
  if (list == "model") {
    expect("kind", "'kind KIND' after the model's name");
    const std::string kind = word("human, horse, animal, bird, fish, vehicle or object");
    const sim::ModelKind k = sim::model_kind_named(kind);
    if (k == sim::ModelKind::none || k == sim::ModelKind::other) {
      --pos_;
      fail("human, horse, animal, bird, fish, vehicle or object");
    }
    s.model_kind = k;
    s.content_list = k == sim::ModelKind::vehicle  ? sim::ContentList::vehicles
                     : k == sim::ModelKind::object ? sim::ContentList::objects
                                                   : sim::ContentList::peds;
  } else if (list == "weapon") {
    s.content_list = sim::ContentList::weapons;
  } else {
    s.content_list =
        list == "anim" ? sim::ContentList::anim_dicts : sim::ContentList::texture_dicts;
  }
}

void LineParser::parse_skip(Step& s) { s.text = quoted("why it is skipped, in quotes"); }

void LineParser::parse_walk(Step& s) {
  s.at = place();
  expect("over", "'over DURATION' after the place");
  duration(s);
}

void LineParser::parse_teleport(Step& s) { s.at = place(); }

void LineParser::parse_wait(Step& s) { duration(s); }

void LineParser::parse_wait_until(Step& s) {
  s.expectation = expectation();
  expect("within", "'within DURATION' after what to wait for");
  duration(s);
}

void LineParser::parse_complete(Step& s) { s.text = quoted("the prompt's label in quotes"); }

// A control's value, from -1 to 1.
void LineParser::control_value(Step& s) {
  if (s.key >= 0 || !take("at")) return;
  s.value = number("a control's value, from -1 to 1");
  if (s.value < -1.0 || s.value > 1.0 || s.value == 0.0) {
    fail_here("a control's value lies between -1 and 1 and is not 0");
  }
}

void LineParser::parse_press(Step& s) {
  key_or_control(s);
  control_value(s);
}

void LineParser::parse_release(Step& s) { key_or_control(s); }

void LineParser::parse_hold(Step& s) {
  key_or_control(s);
  control_value(s);
  expect("for", "'for DURATION' after what is held");
  duration(s);
}

void LineParser::parse_replace_player(Step& s) {
  s.name = take("by") ? word("a model name, such as PLAYER_THREE") : "PLAYER_ZERO";
}

void LineParser::parse_player_rides(Step& s) {
  s.mounts = last_key() == "mounts";
  s.name = word("the name a spawn step gave, or a model");
}

void LineParser::parse_player_alights(Step&) {}

void LineParser::parse_player_armed(Step& s) {
  s.name = word("a weapon, such as WEAPON_REVOLVER_CATTLEMAN");
  s.ammo = take("ammo") ? static_cast<int>(whole_number("rounds of ammunition", 0, 100000)) : 0;
}

void LineParser::parse_player_control(Step& s) { s.control_on = last_key() == "on"; }

void LineParser::parse_player_shoots(Step&) {}

void LineParser::parse_waypoint(Step& s) { s.at = place(); }

void LineParser::parse_spawn(Step& s) {
  for (const auto& [written, kind] :
       {std::pair{"ped", sim::EntityKind::ped}, std::pair{"vehicle", sim::EntityKind::vehicle},
        std::pair{"object", sim::EntityKind::object}}) {
    if (!s.kind_given && take(written)) {
      s.kind_given = true;
      s.spawn_kind = kind;
    }
  }
  s.name = word("a model name, such as a_c_deer_01");
  expect("at", "'at PLACE' after the model");
  s.at = place();
  s.heading = take("heading") ? static_cast<float>(number("a heading in degrees")) : 0.0f;
  if (take("as")) s.nickname = word("a name to call it by");
}

void LineParser::parse_remove(Step& s) { s.name = word("a nickname or model name"); }

void LineParser::parse_dies(Step& s) { s.name = lead(); }

void LineParser::parse_flees(Step& s) { s.name = lead(); }

void LineParser::parse_film_ends(Step&) {}

void LineParser::parse_fail_native(Step& s) {
  s.name = word("a native's name or hash");
  s.hash = native_hash_named(s.name);
  if (s.hash == 0) {
    --pos_;
    fail("a native the game knows, by name or as 0x and 16 hex digits");
  }
}

void LineParser::parse_fault(Step& s) {
  s.text = quoted("a fault's name in quotes, such as \"model never loads\"");
  sim::Fault f{};
  if (!sim::find_fault(s.text, f)) {
    std::string names;
    for (size_t n = 0; n < sim::fault_kinds; ++n) {
      names +=
          (n == 0 ? "\"" : ", \"") + std::string(sim::fault_name(static_cast<sim::Fault>(n))) + '"';
    }
    --pos_;
    fail("a fault: " + names);
  }
  s.fault = static_cast<int>(f);
  s.seconds = 2.0;  // when no length is given
  if (take("for")) duration(s);
}

void LineParser::parse_lift_faults(Step&) {}

void LineParser::parse_expect(Step& s) { s.expectation = expectation(); }

// deliverable NAME [NAME...]: each once, in the order they load.
void read_deliverables(const std::vector<Token>& tokens, const std::string& where,
                       Scenario& scenario) {
  const std::string expected = "expected 'deliverable' and one or more of " + deliverable_names();
  if (tokens.size() < 2) throw ParseError(where + expected + ", found the end of the line");
  for (size_t n = 1; n < tokens.size(); ++n) {
    const std::string& name = tokens[n].text;
    if (tokens[n].quoted || find_deliverable(name) == nullptr) {
      throw ParseError(std::string(where).append(expected).append(", found '").append(name) + '\'');
    }
    if (std::find(scenario.deliverables.begin(), scenario.deliverables.end(), name) !=
        scenario.deliverables.end()) {
      throw ParseError(std::string(where)
                           .append("expected each deliverable once, found '")
                           .append(name)
                           .append("' twice"));
    }
    scenario.deliverables.push_back(name);
  }
}

}  // namespace

Scenario parse_scenario(const std::string& file, const std::string& text) {
  Scenario scenario;
  scenario.file = file;
  const Deliverable* deliverable = &no_deliverable();
  std::istringstream lines(text);
  std::string line;
  bool set_up_over = false;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::string unclosed;
    std::vector<Token> tokens = split(line, unclosed);
    const std::string where = file + ":" + std::to_string(number) + ": ";
    if (!unclosed.empty()) {
      throw ParseError(
          std::string(where).append("expected a closing '\"' after ").append(unclosed));
    }
    if (tokens.empty()) continue;
    if (!tokens[0].quoted && tokens[0].text == "deliverable") {
      if (!scenario.steps.empty() || !scenario.deliverables.empty()) {
        throw ParseError(where + "expected the deliverable on the first line, before any step");
      }
      read_deliverables(tokens, where, scenario);
      scenario.deliverable_line = number;
      deliverable = &deliverables_together(scenario.deliverables);
      continue;
    }
    Step s = LineParser(file, number, std::move(tokens), *deliverable).step();
    s.source = without_comment(line);
    while (!s.source.empty() &&
           (s.source.back() == ' ' || s.source.back() == '\t' || s.source.back() == '\r')) {
      s.source.pop_back();
    }
    s.source.erase(0, s.source.find_first_not_of(" \t"));
    if (s.is_set_up() && set_up_over) {
      std::vector<KindSyntax> set_up;
      for (const KindSyntax& k : step_syntax()) {
        if (k.set_up) set_up.push_back(k);
      }
      throw ParseError(where + "expected set-up steps (" + kinds_list(set_up) +
                       ") before the first step that plays");
    }
    set_up_over = set_up_over || !s.is_set_up();
    scenario.steps.push_back(std::move(s));
  }
  check_names(scenario, *deliverable);
  return scenario;
}

Scenario parse_scenario_file(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    throw ParseError(path + ": is a folder, not a scenario (play test " + path +
                     " plays the scenarios in it)");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ParseError(path + ": cannot be read");
  std::ostringstream text;
  try {
    text << in.rdbuf();
  } catch (const std::exception&) {
    throw ParseError(path + ": cannot be read");
  }
  return parse_scenario(path, text.str());
}

}  // namespace play
