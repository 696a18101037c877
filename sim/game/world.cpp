// The world's core: time, texts, random draws, failing natives, violations
// and the record; and the game's general natives on them.

#include "world.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "joaat.h"

namespace sim {

World::World() {
  player_ped_ = create_entity(EntityKind::ped, joaat("PLAYER_ZERO"), Vec{}, 0.0f);
  set_text("MG_TOY_TRAIN", "Toy Train");
  set_text("SHOW_GET_INFO", "What's Playing?");
  set_text("DISCOVERABLE_NAME_TICKET_TAKER", "Ticket Taker");
  set_text("FEED_MONEY_SPEND", "Money spent");
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
  text.new_frame();
  faults.on_frame(*this);
  const double ms = static_cast<double>(frame_seconds_) * 1000.0 + timer_fraction_;
  const auto whole = static_cast<uint32_t>(ms);
  timer_fraction_ = ms - whole;
  timer_ms_ += whole;  // wraps like the game's 32-bit timer
  elapsed_ms_ += whole;
  controls.advance_frame(frame_, timer_ms_);
  if (controls.any_active()) work_prompts_by_controls();
  for (auto& [hash, m] : models_) m.advance_frame();
  particles.advance_frame();
  points.update(*this);
  anim_scenes.update();
  money.update();
}

uint32_t World::tick_count() const {
  if (tick_count_) return *tick_count_;
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

void World::violation(std::string what) {
  violations_.push_back(std::move(what));
  violation_stamps_.push_back(stamp());
}

Stamp World::first_unsimulated_call(uint64_t hash) const {
  const auto it = first_unsimulated_.find(hash);
  return it == first_unsimulated_.end() ? Stamp{} : it->second;
}

void World::perform(NativeCall& call, bool sound) {
  ++total_calls_;
  for (uint64_t& slot : call.result) slot = 0;
  const NativeRow* row = call.row;
  if (row != nullptr && call.simulated) {
    const auto at = static_cast<size_t>(row - first_row_);
    ++calls_by_row_[at];
    if (sound && failing_[at] == 0 && !faults.fails(*this, call) && row->handler != nullptr) {
      const bool touches = row->touch.act != Act::reads;
      if (touches) owners.before(*this, call);
      row->handler(*this, call);
      if (touches) owners.after(*this, call);
    }
  } else if (row != nullptr) {
    if (++unsimulated_[call.hash] == 1) first_unsimulated_[call.hash] = stamp();
    if (sound && !answers_.empty()) {
      if (const Answer* a = answer(call.hash)) {
        for (int n = 0; n < 3; ++n) call.result[n] = a->result[n];
      }
    }
    // Deleting what another made is a violation even where the world does not act on it.
    if (sound && row->touch.act == Act::remove) owners.before(*this, call);
  }
  if (recording) calls_.add(frame_, call);
}

void World::perform_outside(NativeCall& call, bool sound) {
  ++total_calls_;
  for (uint64_t& slot : call.result) slot = 0;
  if (sound && call.row != nullptr && call.row->handler != nullptr) call.row->handler(*this, call);
  if (recording) calls_.add(frame_, call);
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
  for (const CallRecord& r : calls_.records()) {
    if (r.row != nullptr && std::string(r.row->name) == name) found.push_back(&r);
  }
  return found;
}

size_t World::count_calls(const char* name) const { return calls_to(name).size(); }

std::string World::record_text() const {
  std::string out;
  for (const CallRecord& r : calls_.records())
    out += std::to_string(r.frame) + ' ' + r.text() + '\n';
  return out;
}

static void var_string(World& w, NativeCall& c) {
  const std::string format = c.s(1);
  if (format == "LITERAL_STRING" && c.count >= 3 && c.args[2] != 0) {
    c.ret_text(w.keep_text(c.s(2)));
  } else if (format == "CASH_STRING" && c.count >= 3) {
    c.ret_text(w.keep_text(w.cash_text(c.i(2)).c_str()));
  } else {
    c.ret_text(w.keep_text(w.text_for(joaat(format.c_str()))));
  }
}

NativeRows core_native_rows() {
  static const NativeRow rows[] = {
      {0x0BE7F4E3CDBAFB28, "GET_DISTANCE_BETWEEN_COORDS", "ffffffb", 'f',
       [](World&, NativeCall& c) {
         const bool use_z = c.b(6);
         const Vec a{c.f(0), c.f(1), use_z ? c.f(2) : 0.0f};
         const Vec b{c.f(3), c.f(4), use_z ? c.f(5) : 0.0f};
         c.ret_float(distance(a, b));
       }},
      {0x5E72022914CE3C38, "GET_FRAME_TIME", "", 'f',
       [](World& w, NativeCall& c) { c.ret_float(w.frame_time()); }},
      {0x4F67E8ECA7D3F667, "GET_GAME_TIMER", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(w.game_timer())); }},
      {0xFD340785ADF8CFB7, "GET_HASH_KEY", "s", 'i',
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(w.hash_of(c.s(0)))); }},
      {0xD53343AA4FB7DD28, "GET_RANDOM_INT_IN_RANGE", "ii", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.random_in_range(c.i(0), c.i(1))); }},
      {0xBD5DD5EAE2B6CE14, "GET_STRING_FROM_HASH_KEY", "i", 's',
       [](World& w, NativeCall& c) { c.ret_text(w.text_for(c.u(0))); }},
      {0xFA925AC00EB830B9, "VAR_STRING", "is.", 's', var_string},
  };
  return {rows, std::size(rows)};
}

void World::forget_what_is_gone() {
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
