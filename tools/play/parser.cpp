#include "parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "entities.h"
#include "faults.h"
#include "keyboard.h"
#include "names.h"
#include "native_names.h"
#include "native_row.h"
#include "native_table.h"
#include "places.h"
#include "summary.h"

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

  void duration(Step& s);
  void answer(Step& s);
  void player(Step& s);
  void key_or_control(Step& s);
  sim::Vec place();
  Expectation expectation();
  std::vector<std::string> alternatives(const std::string& what);

  const std::string& file_;
  int line_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
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
void LineParser::answer(Step& s) {
  const size_t name_at = pos_;
  s.text = word("a native's name or hash");
  s.hash = native_hash_named(s.text);
  const sim::FoundRow found = s.hash != 0 ? sim::native_row(s.hash) : sim::FoundRow{};
  if (found.simulated()) {
    pos_ = name_at;
    fail_here(s.text + " is simulated: it answers from the world, not from a scenario");
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

// What happens to the player: his ped replaced, a mount or vehicle, a
// weapon, his control, a shot.
void LineParser::player(Step& s) {
  using Kind = Step::Kind;
  const char* what =
      "'ped replaced', 'mounts NAME', 'enters NAME', 'dismounts', 'leaves vehicle', "
      "'given WEAPON', 'control on', 'control off', 'shoots' or 'sets waypoint at PLACE' after "
      "'player'";
  if (take("ped")) {
    s.kind = Kind::replace_player;
    expect("replaced", "'replaced' after 'player ped'");
    s.text = take("by") ? word("a model name, such as PLAYER_THREE") : "PLAYER_ZERO";
  } else if (take("mounts") || take("enters")) {
    s.kind = Kind::player_rides;
    s.thing = tokens_[pos_ - 1].text == "mounts" ? 1 : 0;
    s.text = word("the name a spawn step gave, or a model");
  } else if (take("dismounts")) {
    s.kind = Kind::player_alights;
  } else if (take("leaves")) {
    s.kind = Kind::player_alights;
    expect("vehicle", "'vehicle' after 'leaves'");
  } else if (take("given")) {
    s.kind = Kind::player_armed;
    s.text = word("a weapon, such as WEAPON_REVOLVER_CATTLEMAN");
    s.number = take("ammo") ? whole_number("rounds of ammunition", 0, 100000) : 0;
  } else if (take("control")) {
    s.kind = Kind::player_control;
    if (take("on")) {
      s.value = 1.0;
    } else {
      expect("off", "'on' or 'off' after 'control'");
      s.value = 0.0;
    }
  } else if (take("shoots")) {
    s.kind = Kind::player_shoots;
  } else if (take("sets")) {
    s.kind = Kind::waypoint;
    expect("waypoint", "'waypoint at PLACE' after 'sets'");
    expect("at", "'at PLACE' after 'waypoint'");
    s.at = place();
  } else {
    fail(what);
  }
}

// A game control by its INPUT_ name, or a key by its virtual-key name or code.
void LineParser::key_or_control(Step& s) {
  const char* what =
      "a key (F4, NUMPAD8, A, SPACE, or a code such as 0x73) or a control (INPUT_...)";
  const size_t at = pos_;
  s.text = word(what);
  if (s.text.rfind("INPUT_", 0) == 0 && s.text.size() > 6) return;
  VirtualKey key;
  if (!find_key(s.text, key)) {
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

Expectation LineParser::expectation() {
  Expectation e;
  e.negated = take("not");
  using Kind = Expectation::Kind;
  if (take("prompt")) {
    e.kind = Kind::prompt_offered;
    e.text = quoted("the prompt's label in quotes");
    expect("offered", "'offered' after the label");
  } else if (take("said")) {
    e.kind = Kind::said;
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
  } else if (take("money")) {
    e.kind = Kind::money_changed;
    expect("changed", "'changed by N'");
    expect("by", "'by' after 'changed'");
    e.count =
        whole_number("the change, in cents (-100 is one dollar taken)", -100000000, 100000000);
  } else if (take("notification")) {
    e.kind = Kind::notification;
    e.text = quoted("the notification's text in quotes");
  } else if (take("tv")) {
    if (take("off")) {
      e.kind = Kind::tv_off;
    } else {
      e.kind = Kind::tv_channel;
      expect("channel", "'channel N' or 'off'");
      e.channel = whole_number("a channel number", -1, 1000);
      if (take("plays")) e.names = alternatives("a playlist, or playlists separated by '|'");
    }
  } else if (take("target")) {
    e.kind = Kind::target_drawn;
    e.text = word("the render target's name");
    expect("drawn", "'drawn' after the render target's name");
    if (take("at")) {
      expect("alpha", "'alpha N' after 'at'");
      e.count = whole_number("the alpha, 0 to 255", 0, 255);
    }
  } else if (take("player")) {
    if (take("inside")) {
      e.kind = Kind::player_inside;
      std::string interiors;
      for (const Nickname& n : deliverable_.interiors) interiors += n.name + " or ";
      e.subject = word("an interior (" + interiors + "its name)");
    } else {
      e.kind = Kind::player_seated;
      expect("seated", "'seated' or 'inside INTERIOR' after 'player'");
    }
  } else if (take("blip")) {
    e.kind = Kind::blip_has;
    expect("has", "'has MODIFIER' after 'blip'");
    e.text = word("a blip modifier's name");
  } else if (take("text")) {
    e.kind = Kind::text_drawn;
    e.text = quoted("the text in quotes");
    expect("drawn", "'drawn' after the text");
  } else if (take("no")) {
    e.kind = Kind::no_violation;
    expect("violation", "'violation' after 'no'");
  } else if (take("nothing")) {
    e.kind = Kind::nothing_left;
    expect("left", "'left' after 'nothing'");
    if (take("of")) e.subject = word("a kind of thing: " + thing_names());
  } else {
    double count = 0.0;
    if (!at_end() && !tokens_[pos_].quoted && read_number(tokens_[pos_].text, count)) {
      e.kind = Kind::live_count;
      e.count = whole_number("a count of live entities", 0, 1000000);
      expect("live", "'live' after the count");
      e.subject = word("a nickname or model name");
      return e;
    }
    e.subject = word(
        "an expectation: prompt, said, money, notification, tv, target, text, N live, NAME speed, "
        "NAME scale, player seated, blip has, no violation, nothing left");
    if (take("speed")) {
      e.kind = Kind::speed_about;
    } else if (take("scale")) {
      e.kind = Kind::scale_about;
    } else {
      --pos_;
      fail(
          "an expectation: prompt, said, money, notification, tv, target, text, N live, NAME "
          "speed, "
          "NAME scale, player seated, blip has, no violation, nothing left");
    }
    expect("about", "'about V'");
    e.value = number("the value after 'about'");
    // "within T" is the tolerance unless a unit follows: then it is the
    // limit of a 'wait until'.
    double tolerance = 0.0;
    const bool tolerance_follows =
        next_is("within") && pos_ + 1 < tokens_.size() &&
        read_number(tokens_[pos_ + 1].text, tolerance) &&
        (pos_ + 2 == tokens_.size() || tokens_[pos_ + 2].text == "within");
    if (tolerance_follows) {
      pos_ += 2;
      if (tolerance < 0.0) fail_here("a tolerance is not negative");
      e.tolerance = tolerance;
    }
  }
  return e;
}

Step LineParser::step() {
  Step s;
  s.line = line_;
  const std::string keyword = word("a step");
  using Kind = Step::Kind;
  if (keyword == "seed") {
    s.kind = Kind::seed;
    s.number = whole_number("a whole number", 0, 2000000000);
  } else if (keyword == "fps") {
    s.kind = Kind::fps;
    s.number = number("frames per second, such as 60");
    if (s.number < 1.0 || s.number > 1000.0) fail_here("frames per second lie between 1 and 1000");
  } else if (keyword == "hour") {
    s.kind = Kind::hour;
    s.number = whole_number("an hour from 0 to 23", 0, 23);
  } else if (keyword == "start") {
    s.kind = Kind::start;
    expect("at", "'at' after 'start'");
    s.at = place();
  } else if (keyword == "walk") {
    s.kind = Kind::walk;
    expect("to", "'to' after 'walk'");
    s.at = place();
    expect("over", "'over DURATION' after the place");
    duration(s);
  } else if (keyword == "teleport") {
    s.kind = Kind::teleport;
    expect("to", "'to' after 'teleport'");
    s.at = place();
  } else if (keyword == "wait") {
    if (take("until")) {
      s.kind = Kind::wait_until;
      s.expectation = expectation();
      expect("within", "'within DURATION' after what to wait for");
    } else {
      s.kind = Kind::wait;
    }
    duration(s);
  } else if (keyword == "complete") {
    s.kind = Kind::complete;
    s.text = quoted("the prompt's label in quotes");
  } else if (keyword == "press" || keyword == "release" || keyword == "hold") {
    s.kind = keyword == "press" ? Kind::press : keyword == "release" ? Kind::release : Kind::hold;
    key_or_control(s);
    if (s.key < 0 && s.kind != Kind::release && take("at")) {
      s.value = number("a control's value, from -1 to 1");
      if (s.value < -1.0 || s.value > 1.0 || s.value == 0.0) {
        fail_here("a control's value lies between -1 and 1 and is not 0");
      }
    }
    if (s.kind == Kind::hold) {
      expect("for", "'for DURATION' after what is held");
      duration(s);
    }
  } else if (keyword == "player") {
    player(s);
  } else if (keyword == "spawn") {
    s.kind = Kind::spawn;
    s.thing = take("ped")       ? static_cast<int>(sim::EntityKind::ped)
              : take("vehicle") ? static_cast<int>(sim::EntityKind::vehicle)
              : take("object")  ? static_cast<int>(sim::EntityKind::object)
                                : -1;
    s.text = word("a model name, such as a_c_deer_01");
    expect("at", "'at PLACE' after the model");
    s.at = place();
    s.value = take("heading") ? number("a heading in degrees") : 0.0;
    if (take("as")) s.nickname = word("a name to call it by");
  } else if (keyword == "remove") {
    s.kind = Kind::remove;
    s.text = word("a nickname or model name");
  } else if (keyword == "film") {
    s.kind = Kind::film_ends;
    expect("ends", "'ends' after 'film'");
  } else if (keyword == "fail") {
    s.kind = Kind::fail_native;
    s.text = word("a native's name or hash");
    s.hash = native_hash_named(s.text);
    if (s.hash == 0) {
      --pos_;
      fail("a native the game knows, by name or as 0x and 16 hex digits");
    }
  } else if (keyword == "answer") {
    s.kind = Kind::answer;
    answer(s);
  } else if (keyword == "faults") {
    if (take("lifted")) {
      s.kind = Kind::lift_faults;
    } else {
      s.kind = Kind::faults;
      expect("seed", "'seed N' or 'lifted' after 'faults'");
      s.number = whole_number("a whole number", 0, 2000000000);
      if (take("rate")) {
        s.rate = number("a chance per frame, from 0 to 1");
        if (s.rate < 0.0 || s.rate > 1.0) fail_here("a rate lies between 0 and 1");
      }
    }
  } else if (keyword == "fault") {
    s.kind = Kind::fault;
    s.text = quoted("a fault's name in quotes, such as \"model never loads\"");
    sim::Fault f{};
    if (!sim::find_fault(s.text, f)) {
      std::string names;
      for (size_t n = 0; n < sim::fault_kinds; ++n) {
        names += (n == 0 ? "\"" : ", \"") +
                 std::string(sim::fault_name(static_cast<sim::Fault>(n))) + '"';
      }
      --pos_;
      fail("a fault: " + names);
    }
    s.fault = static_cast<int>(f);
    s.seconds = 2.0;  // when no length is given
    if (take("for")) duration(s);
  } else if (keyword == "expect") {
    s.kind = Kind::expect;
    s.expectation = expectation();
  } else if (take("dies")) {
    s.kind = Kind::dies;
    s.text = keyword;
  } else if (take("flees")) {
    s.kind = Kind::flees;
    s.text = keyword;
  } else {
    --pos_;
    fail(
        "a step: seed, fps, hour, start, walk, teleport, wait, complete, press, release, hold, "
        "player ..., spawn, remove, NAME dies, NAME flees, film ends, fail, answer, fault, "
        "faults, "
        "expect");
  }
  end_of_line();
  return s;
}

// deliverable NAME [NAME...]: each once, in the order they load.
void read_deliverables(const std::vector<Token>& tokens, const std::string& where,
                       Scenario& scenario) {
  const std::string expected = "expected 'deliverable' and one or more of " + deliverable_names();
  if (tokens.size() < 2) throw ParseError(where + expected + ", found the end of the line");
  for (size_t n = 1; n < tokens.size(); ++n) {
    const std::string& name = tokens[n].text;
    if (tokens[n].quoted || find_deliverable(name) == nullptr) {
      throw ParseError(where + expected + ", found '" + name + "'");
    }
    if (std::find(scenario.deliverables.begin(), scenario.deliverables.end(), name) !=
        scenario.deliverables.end()) {
      throw ParseError(where + "expected each deliverable once, found '" + name + "' twice");
    }
    scenario.deliverables.push_back(name);
  }
}

}  // namespace

bool Step::is_set_up() const {
  return kind == Kind::seed || kind == Kind::faults || kind == Kind::fps || kind == Kind::hour ||
         kind == Kind::start;
}

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
    if (!unclosed.empty()) throw ParseError(where + "expected a closing '\"' after " + unclosed);
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
      throw ParseError(where +
                       "expected set-up steps (seed, faults, fps, hour, start) before the first " +
                       "step that plays");
    }
    set_up_over = set_up_over || !s.is_set_up();
    scenario.steps.push_back(std::move(s));
  }
  check_names(scenario, *deliverable);
  return scenario;
}

Scenario parse_scenario_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ParseError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return parse_scenario(path, text.str());
}

}  // namespace play
