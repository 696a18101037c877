// The world's core: time, texts, random draws, failing natives, violations
// and the record; and the game's general natives on them.

#include "world.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "joaat.h"
#include "native_words.h"
#include "out_params.h"
#include "reference_natives.h"

namespace sim {

World::World() {
  journal.clock.game_ms = timer_ms_;
  player_ped_ = create_entity(EntityKind::ped, joaat("PLAYER_ZERO"), Vec{}, 0.0f);
  journal.name_thing(serial_of(Thing::entity, player_ped_), "player");
  set_text("MG_TOY_TRAIN", "Toy Train");
  set_text("SHOW_GET_INFO", "What's Playing?");
  set_text("DISCOVERABLE_NAME_TICKET_TAKER", "Ticket Taker");
  set_text("FEED_MONEY_SPEND", "Money spent: ~$~");
  cash_text = [](int amount) {
    char text[32];
    const int whole = amount / 100;
    const int cents = std::abs(amount % 100);
    std::snprintf(text, sizeof text, "$%d.%02d", whole, cents);
    return std::string(text);
  };
}

void World::advance_frame() {
  ++frame_;
  journal.clock.frame = frame_;  // what the game does before the frame's time passes
  text.new_frame();
  screen.new_frame();
  faults.on_frame(*this);
  const double ms = static_cast<double>(frame_seconds_) * 1000.0 + timer_fraction_;
  const auto whole = static_cast<uint32_t>(ms);
  timer_fraction_ = ms - whole;
  timer_ms_ += whole;  // wraps like the game's 32-bit timer
  elapsed_ms_ += whole;
  journal.clock.frame = frame_;
  journal.clock.elapsed_ms = elapsed_ms_;
  journal.clock.game_ms = timer_ms_;
  clock.pass(whole);
  controls.advance_frame(frame_);
  if (controls.any_active()) work_prompts_by_controls();
  for (auto& [hash, m] : models_) m.advance_frame();
  streaming.advance_frame();
  move_by_velocity();
  carry_riders(*this);
  particles.advance_frame();
  points.update(*this);
  anim_scenes.update();
  money.update();
}

uint32_t World::tick_count() const {
  if (!wall_clock) return tick_base_ + static_cast<uint32_t>(elapsed_ms_);  // wraps as the real one
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
  return static_cast<uint32_t>(ms);  // wraps like the real tick count
}

void World::set_text(const char* label, std::string text) {
  texts_[joaat(label)] = std::move(text);
}

const char* World::text_for(uint32_t label_hash) {
  auto it = texts_.find(label_hash);
  return it == texts_.end() ? "" : it->second.c_str();
}

const char* World::keep_text(const char* text) {
  char* slot = text_ring_[next_text_];
  next_text_ = (next_text_ + 1) % text_slots;
  std::snprintf(slot, sizeof text_ring_[0], "%s", text);
  return slot;
}

void World::set_next_draws(int32_t low, int32_t high, std::vector<int32_t> values) {
  next_draws_[{low, high}] = std::deque<int32_t>(values.begin(), values.end());
}

const std::string* World::name_of(uint32_t hash) const {
  const auto it = names_.find(hash);
  return it == names_.end() ? nullptr : &it->second;
}

uint32_t World::hash_of(const char* name) {
  const uint32_t hash = joaat(name);
  if (names_.find(hash) == names_.end()) names_.emplace(hash, name);
  return hash;
}

int32_t World::random_in_range(int32_t low, int32_t high) {
  auto set = next_draws_.find({low, high});
  if (set != next_draws_.end() && !set->second.empty()) {
    const int32_t value = set->second.front();
    set->second.pop_front();
    return value;
  }
  // splitmix64: the same draws on every platform for the same seed
  uint64_t z = (rng_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  if (high <= low) return low;
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low);
  return static_cast<int32_t>(low + static_cast<int64_t>(z % span));
}

void World::fail_native(uint64_t hash, FailedBy by, bool fail) {
  const NativeRow* row = find_native(hash);
  if (row == nullptr) return;  // an unsimulated native answers 0 anyway
  uint8_t& bits = failing_[static_cast<size_t>(row - first_row_)];
  bits = fail ? bits | static_cast<uint8_t>(by) : bits & ~static_cast<uint8_t>(by);
}

bool World::failing(uint64_t hash) const {
  const NativeRow* row = find_native(hash);
  return row != nullptr && failing_[static_cast<size_t>(row - first_row_)] != 0;
}

void World::stop_failing(FailedBy by) {
  for (uint8_t& bits : failing_) bits &= ~static_cast<uint8_t>(by);
}

void World::violation(const std::string& what) {
  journal.write<EntryKind::violation>({.what = what});
}

std::vector<std::string> World::violations() const {
  std::vector<std::string> all;
  journal.each(EntryKind::violation, [&](const Entry& e) { all.emplace_back(e.violation.what); });
  return all;
}

uint64_t World::calls_to(uint64_t hash) const {
  const auto other = other_calls_.find(hash);
  return calls_of(find_native(hash)) + (other != other_calls_.end() ? other->second : 0);
}

uint64_t World::natives_called() const {
  uint64_t distinct = 0;
  for (size_t n = 0; n < calls_by_row_.size(); ++n) distinct += calls_by_row_[n] != 0 ? 1 : 0;
  for (const auto& [hash, calls] : other_calls_) {
    if (calls_of(find_native(hash)) == 0) ++distinct;
  }
  return distinct;
}

bool World::tolerate(const std::string& key, std::string what) {
  if (strict) {
    violation(what);
    return false;
  }
  Tolerated& t = tolerated_[key];
  if (t.calls++ == 0) {
    journal.write<EntryKind::tolerated>({.what = what});
    t.what = std::move(what);
  }
  return true;
}

// What a native the world does not simulate writes: zeros, a defined answer
// where a plug-in would otherwise read its own stack.
static void zero_out_parameters(NativeCall& call) {
  const std::string_view outs = out_parameters(call.hash);
  for (size_t n = 0; n < outs.size() && static_cast<int>(n) < call.count; ++n) {
    const int at = static_cast<int>(n);
    if (outs[n] == '.' || call.args[n] == 0 || !call.readable(at)) continue;
    if (outs[n] == 'V') {
      write_vector(call, at, Vec{});
    } else {
      *call.p<uint32_t>(at) = 0;
    }
  }
}

void World::perform(NativeCall& call, bool sound) {
  ++total_calls_;
  const uint64_t entry = journal.begin_call(call);
  for (uint64_t& slot : call.result) slot = 0;
  const NativeRow* row = call.row;
  Answerer answerer = sound ? Answerer::nobody : Answerer::refused;
  if (row != nullptr && call.simulated) {
    const auto at = static_cast<size_t>(row - first_row_);
    ++calls_by_row_[at];
    if (sound && (failing_[at] != 0 || faults.fails(*this, call))) {
      answerer = Answerer::failed;
    } else if (sound && row->handler != nullptr) {
      const bool touches = row->touch.act != Act::reads;
      if (touches) owners.before(*this, call);
      row->handler(*this, call);
      if (touches) owners.after(*this, call);
      answerer = Answerer::world;
    }
  } else if (row != nullptr) {
    const Answer* a = sound && !answers_.empty() ? answer(call.hash) : nullptr;
    if (sound) zero_out_parameters(call);
    if (a != nullptr) {
      for (int n = 0; n < 3; ++n) call.result[n] = a->result[n];
      answerer = Answerer::answer;
    }
    if (++other_calls_[call.hash] == 1) {
      journal.write<EntryKind::unsimulated>({.hash = call.hash, .answered = a != nullptr});
    }
    // Deleting what another made is a violation even where the world does not act on it.
    if (sound && row->touch.act == Act::remove) owners.before(*this, call);
  }
  journal.end_call(entry, call, answerer);
}

void World::perform_outside(NativeCall& call, bool sound) {
  ++total_calls_;
  ++other_calls_[call.hash];
  const uint64_t entry = journal.begin_call(call);
  for (uint64_t& slot : call.result) slot = 0;
  if (sound && call.row != nullptr && call.row->handler != nullptr) call.row->handler(*this, call);
  journal.end_call(entry, call, sound ? Answerer::host : Answerer::refused);
}

void World::set_answer(uint64_t hash, Answer answer) {
  Answer& kept = answers_[hash] = std::move(answer);
  // The text lives in the map's node, which stays put.
  if (kept.is_text) kept.result[0] = reinterpret_cast<uintptr_t>(kept.text.c_str());
}

const World::Answer* World::answer(uint64_t hash) const {
  const auto it = answers_.find(hash);
  return it == answers_.end() ? nullptr : &it->second;
}

uint64_t World::calls_of(const NativeRow* row) const {
  if (row == nullptr) return 0;
  const auto at = static_cast<size_t>(row - first_row_);
  return at < calls_by_row_.size() ? calls_by_row_[at] : 0;
}

std::vector<const CallRecord*> World::calls_to(const char* name) const {
  std::vector<const CallRecord*> found;
  for (const CallRecord& r : calls()) {
    if (r.row != nullptr && std::string(r.row->name) == name) found.push_back(&r);
  }
  return found;
}

size_t World::count_calls(const char* name) const { return calls_to(name).size(); }

std::string World::record_text() const {
  std::string out;
  for (const CallRecord& r : calls()) out += std::to_string(r.frame) + ' ' + r.text() + '\n';
  return out;
}

// The formats the game fills in with further arguments, and what each takes:
// 's' a text, 'i' an integer, 'f' a float. A label's own text, where the
// world knows it, is its template: ~1~ an integer, ~$~ an integer of cents
// shown as cash (as CASH_STRING shows it), ~a~ a text, in order.
struct Format {
  const char* name;
  const char* takes;
};
constexpr Format formats[] = {
    {"LITERAL_STRING", "s"},  // the text itself
    {"COLOR_STRING", "is"},   // a colour and a text shown in it
    {"CASH_STRING", "i"},     // cents, shown as dollars
    {"NUMBER", "i"},         {"ONE_NUMBER", "i"},       {"TWO_NUMBERS", "ii"},
    {"FLOAT", "f"},          {"FEED_MONEY_SPEND", "i"},
};

static const Format* find_format(const char* name) {
  for (const Format& f : formats) {
    if (std::strcmp(f.name, name) == 0) return &f;
  }
  return nullptr;
}

char formatter_arg_kind(const NativeCall& call, int n) {
  const char* format =
      call.count > 1 && call.args[1] != 0 && call.readable(1) ? call.s(1) : nullptr;
  const Format* f = format != nullptr ? find_format(format) : nullptr;
  if (f == nullptr || n < 0 || n >= static_cast<int>(std::strlen(f->takes))) return '?';
  return f->takes[n];
}

// A label's template with its markers filled from the further arguments;
// a marker without an argument is left out, as the game leaves it blank.
static std::string fill_template(const World& w, const std::string& text, const NativeCall& c,
                                 int first) {
  std::string out;
  int next = first;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '~' && at + 2 < text.size() && text[at + 2] == '~' &&
        (text[at + 1] == '1' || text[at + 1] == '$' || text[at + 1] == 'a')) {
      if (next < c.count) {
        if (text[at + 1] == '1') {
          out += std::to_string(c.i(next));
        } else if (text[at + 1] == '$') {
          out += w.cash_text(c.i(next));
        } else if (c.args[next] != 0 && c.readable(next)) {
          out += c.s(next);
        }
      }
      ++next;
      at += 2;
    } else {
      out += text[at];
    }
  }
  return out;
}

static void var_string(World& w, NativeCall& c) {
  const std::string format = c.s(1);
  const auto text_at = [&](int n) { return n < c.count && c.args[n] != 0 ? c.s(n) : ""; };
  char number[32];
  if (format == "LITERAL_STRING" && c.count >= 3 && c.args[2] != 0) {
    c.ret_text(w.keep_text(c.s(2)));
  } else if (format == "COLOR_STRING") {
    c.ret_text(w.keep_text(text_at(3)));
  } else if (format == "CASH_STRING" && c.count >= 3) {
    c.ret_text(w.keep_text(w.cash_text(c.i(2)).c_str()));
  } else if ((format == "NUMBER" || format == "ONE_NUMBER") && c.count >= 3) {
    c.ret_text(w.keep_text(std::to_string(c.i(2)).c_str()));
  } else if (format == "TWO_NUMBERS" && c.count >= 4) {
    c.ret_text(w.keep_text((std::to_string(c.i(2)) + " " + std::to_string(c.i(3))).c_str()));
  } else if (format == "FLOAT" && c.count >= 3) {
    std::snprintf(number, sizeof number, "%g", static_cast<double>(c.f(2)));
    c.ret_text(w.keep_text(number));
  } else {
    c.ret_text(w.keep_text(fill_template(w, w.text_for(joaat(format.c_str())), c, 2).c_str()));
  }
}

// A float as the game's conversion to an integer gives it, the out of range
// held at the ends rather than undefined.
static int32_t to_int(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

NativeRows core_native_rows() {
  static const DomainRow rows[] = {
      {Native::GET_DISTANCE_BETWEEN_COORDS,
       [](World&, NativeCall& c) {
         const bool use_z = c.b(6);
         const Vec a{c.f(0), c.f(1), use_z ? c.f(2) : 0.0f};
         const Vec b{c.f(3), c.f(4), use_z ? c.f(5) : 0.0f};
         c.ret_float(distance(a, b));
       }},
      {Native::GET_FRAME_TIME, [](World& w, NativeCall& c) { c.ret_float(w.frame_time()); }},
      {Native::GET_GAME_TIMER,
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(w.game_timer())); }},
      {Native::GET_HASH_KEY,
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(w.hash_of(c.s(0)))); }},
      {Native::GET_RANDOM_INT_IN_RANGE,
       [](World& w, NativeCall& c) { c.ret_int(w.random_in_range(c.i(0), c.i(1))); }},
      {Native::GET_STRING_FROM_HASH_KEY,
       [](World& w, NativeCall& c) { c.ret_text(w.text_for(c.u(0))); }},
      {checked_as(Native::VAR_STRING, "is."), var_string},
      {Native::GET_RANDOM_FLOAT_IN_RANGE,
       [](World& w, NativeCall& c) {
         // A draw of a million steps across the range, from the same generator.
         const int32_t step = w.random_in_range(0, 1000000);
         c.ret_float(c.f(0) + (c.f(1) - c.f(0)) * static_cast<float>(step) / 1000000.0f);
       }},
      {checked_as(Native::IS_STRING_NULL_OR_EMPTY, "z"),
       [](World&, NativeCall& c) { c.ret_bool(c.args[0] == 0 || c.s(0)[0] == '\0'); }},

      // The script machine's arithmetic: angles in degrees.
      {Native::SIN, [](World&, NativeCall& c) { c.ret_float(std::sin(c.f(0) / degrees)); }},
      {Native::COS, [](World&, NativeCall& c) { c.ret_float(std::cos(c.f(0) / degrees)); }},
      {Native::TAN, [](World&, NativeCall& c) { c.ret_float(std::tan(c.f(0) / degrees)); }},
      {Native::ATAN2,
       [](World&, NativeCall& c) { c.ret_float(std::atan2(c.f(0), c.f(1)) * degrees); }},
      {Native::SQRT, [](World&, NativeCall& c) { c.ret_float(std::sqrt(c.f(0))); }},
      {Native::POW, [](World&, NativeCall& c) { c.ret_float(std::pow(c.f(0), c.f(1))); }},
      {Native::ABSF, [](World&, NativeCall& c) { c.ret_float(std::fabs(c.f(0))); }},
      {Native::ABSI,
       [](World&, NativeCall& c) {
         c.ret_int(c.i(0) == INT32_MIN ? INT32_MIN : std::abs(c.i(0)));  // wraps as the game's
       }},
      {Native::TO_FLOAT, [](World&, NativeCall& c) { c.ret_float(static_cast<float>(c.i(0))); }},
      {Native::FLOOR, [](World&, NativeCall& c) { c.ret_int(to_int(std::floor(c.f(0)))); }},
      {Native::CEIL, [](World&, NativeCall& c) { c.ret_int(to_int(std::ceil(c.f(0)))); }},
      {Native::ROUND, [](World&, NativeCall& c) { c.ret_int(to_int(std::round(c.f(0)))); }},
      {Native::VDIST,
       [](World&, NativeCall& c) {
         c.ret_float(distance(Vec{c.f(0), c.f(1), c.f(2)}, Vec{c.f(3), c.f(4), c.f(5)}));
       }},
      {Native::VDIST2,
       [](World&, NativeCall& c) {
         const float d = distance(Vec{c.f(0), c.f(1), c.f(2)}, Vec{c.f(3), c.f(4), c.f(5)});
         c.ret_float(d * d);
       }},
      {Native::GET_HEADING_FROM_VECTOR_2D,
       [](World&, NativeCall& c) {
         float h = std::atan2(-c.f(0), c.f(1)) * degrees;
         if (h < 0.0f) h += 360.0f;
         c.ret_float(h);
       }},
  };
  return {rows, std::size(rows)};
}

void World::forget_what_is_gone() {
  journal.forget_read();
  std::erase_if(entities_,
                [&](const auto& kv) { return !kv.second.exists && kv.first != player_ped_; });
  std::erase_if(prompts_, [](const auto& kv) { return kv.second.deleted; });
  std::erase_if(points.all, [](const auto& kv) { return !kv.second.exists; });
  std::erase_if(blips.all, [](const auto& kv) { return !kv.second.exists; });
  std::erase_if(peds.all, [&](const auto& kv) { return !exists(kv.first); });
  std::erase_if(anim_scenes.scenes, [](const auto& kv) { return !kv.second.exists; });
  std::erase_if(entity_groups_, [&](const auto& kv) { return !exists(kv.second); });
}

}  // namespace sim
