#include "world.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "joaat.h"

namespace sim {

float distance(const Vec& a, const Vec& b) {
  const float dx = a.x - b.x;
  const float dy = a.y - b.y;
  const float dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

World::World() {
  player_ped_ = create_entity(EntityKind::ped, joaat("PLAYER_ZERO"), Vec{}, 0.0f);
  set_text("MG_TOY_TRAIN", "Toy Train");
  set_text("SHOW_GET_INFO", "What's Playing?");
  set_text("DISCOVERABLE_NAME_TICKET_TAKER", "Ticket Taker");
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
  const double ms = static_cast<double>(frame_seconds_) * 1000.0 + timer_fraction_;
  const auto whole = static_cast<uint32_t>(ms);
  timer_fraction_ = ms - whole;
  timer_ms_ += whole;  // wraps like the game's 32-bit timer
  for (auto& [hash, m] : models_) {
    if (m.requested && !m.loaded && !m.never_loads && --m.frames_left <= 0) m.loaded = true;
  }
  particles.advance_frame();
  venue.update(*this);
  anim_scenes.update();
  show.update(*this);
}

ModelState& World::model(const char* name) { return models_[joaat(name)]; }
ModelState& World::model(uint32_t hash) { return models_[hash]; }

int32_t World::create_entity(EntityKind kind, uint32_t model, Vec position, float heading) {
  EntityState e;
  e.handle = next_entity_++;
  e.kind = kind;
  e.model = model;
  e.position = position;
  e.rotation.z = heading;
  entities_[e.handle] = e;
  return e.handle;
}

EntityState* World::entity(int32_t handle) {
  auto it = entities_.find(handle);
  return it == entities_.end() ? nullptr : &it->second;
}

bool World::exists(int32_t handle) const {
  auto it = entities_.find(handle);
  return it != entities_.end() && it->second.exists;
}

void World::remove_entity(int32_t handle) {
  if (EntityState* e = entity(handle)) e->exists = false;
}

std::vector<const EntityState*> World::live_entities(const char* model_name) const {
  std::vector<const EntityState*> found;
  const uint32_t hash = joaat(model_name);
  for (const auto& [handle, e] : entities_) {
    if (e.exists && e.model == hash) found.push_back(&e);
  }
  return found;
}

bool World::any_live_entity_of(uint32_t model) const {
  for (const auto& [handle, e] : entities_) {
    if (e.exists && e.model == model) return true;
  }
  return false;
}

float World::heading_of(const EntityState& e) {
  float h = std::fmod(e.rotation.z, 360.0f);
  if (h < 0.0f) h += 360.0f;
  return h;
}

void World::place_player(float x, float y, float z) {
  if (EntityState* p = entity(player_ped_)) p->position = Vec{x, y, z};
}

Vec World::player_position() const {
  auto it = entities_.find(player_ped_);
  return it == entities_.end() ? Vec{} : it->second.position;
}

int32_t World::replace_player_ped(const char* model_name) {
  const Vec at = player_position();
  remove_entity(player_ped_);
  player_ped_ = create_entity(EntityKind::ped, joaat(model_name), at, 0.0f);
  return player_ped_;
}

PromptState* World::prompt(int32_t handle) {
  auto it = prompts_.find(handle);
  return it == prompts_.end() ? nullptr : &it->second;
}

int32_t World::new_prompt() {
  PromptState p;
  p.handle = next_prompt_++;
  prompts_[p.handle] = p;
  return p.handle;
}

bool World::complete_prompt(int32_t handle) {
  PromptState* p = prompt(handle);
  if (p == nullptr || !p->offered()) return false;
  p->completed_frame = frame_ + 1;  // seen by the scripts in the next frame
  return true;
}

std::vector<const PromptState*> World::prompts_labelled(const std::string& label) const {
  std::vector<const PromptState*> found;
  for (const auto& [handle, p] : prompts_) {
    if (!p.deleted && p.label == label) found.push_back(&p);
  }
  return found;
}

int World::group_for_entity(int32_t entity) const {
  if (entity == 0) return 1;  // the game's group for prompts tied to no entity
  return exists(entity) ? 0x10000 + entity : 0;
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

int32_t World::random_in_range(int32_t low, int32_t high) {
  // splitmix64: the same draws on every platform for the same seed
  uint64_t z = (rng_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  if (high <= low) return low;
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(high) - low);
  return static_cast<int32_t>(low + static_cast<int64_t>(z % span));
}

void World::fail_native(uint64_t hash, bool fail) {
  std::erase(failing_, hash);
  if (fail) failing_.push_back(hash);
}

void World::violation(std::string what) { violations_.push_back(std::move(what)); }

static std::string hex(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(v));
  return text;
}

void World::perform(NativeCall& call) {
  ++total_calls_;
  const NativeRow* row = call.row;
  for (uint64_t& slot : call.result) slot = 0;
  if (row == nullptr) {
    violation("unknown native " + hex(call.hash));
    if (recording) record(call);
    return;
  }
  const std::string params = row->params;
  const bool variadic = !params.empty() && params.back() == '.';
  const int fixed = static_cast<int>(variadic ? params.size() - 1 : params.size());
  if (variadic ? call.count < fixed : call.count != fixed) {
    violation(std::string(row->name) + ": " + std::to_string(call.count) + " arguments, expects " +
              (variadic ? "at least " : "") + std::to_string(fixed));
    if (recording) record(call);
    return;
  }
  bool sound = true;
  for (int n = 0; n < fixed; ++n) {
    const uint64_t v = call.args[n];
    const char kind = params[static_cast<size_t>(n)];
    const auto upper = static_cast<uint32_t>(v >> 32);
    const char* problem = nullptr;
    if ((kind == 'i' || kind == 'b' || kind == 'f') && upper != 0) problem = "upper half not zero";
    if (kind == 'x' && upper != ((v & 0x80000000u) ? 0xFFFFFFFFu : 0u))
      problem = "not sign-extended";
    if ((kind == 's' || kind == 'p' || kind == 'h') && v == 0) problem = "null address";
    if (problem != nullptr) {
      violation(std::string(row->name) + ": argument " + std::to_string(n + 1) + " " + problem +
                " (" + hex(v) + ")");
      sound = false;
    }
  }
  const bool failing = std::find(failing_.begin(), failing_.end(), row->hash) != failing_.end();
  if (sound && !failing && row->handler != nullptr) row->handler(*this, call);
  if (recording) record(call);
}

// The one variadic native formats its further arguments by its format name.
static char variadic_kind(const NativeCall& call) {
  const char* format = call.count > 1 ? call.s(1) : nullptr;
  return format != nullptr && std::string(format) == "LITERAL_STRING" ? 's' : 'i';
}

void World::record(const NativeCall& call) {
  CallRecord r;
  r.frame = frame_;
  r.row = call.row;
  r.hash = call.hash;
  const std::string params = call.row != nullptr ? call.row->params : "";
  for (int n = 0; n < call.count; ++n) {
    CallArg a;
    a.raw = call.args[n];
    const auto at = static_cast<size_t>(n);
    if (at < params.size() && params[at] != '.') {
      a.kind = params[at];
    } else {
      a.kind = !params.empty() && params.back() == '.' ? variadic_kind(call) : 'i';
    }
    if ((a.kind == 's' || a.kind == 'z') && a.raw != 0) a.text = call.s(n);
    if (a.kind == 'h' && a.raw != 0) a.text = std::to_string(*call.p<int32_t>(n));
    r.args.push_back(std::move(a));
  }
  for (int n = 0; n < 3; ++n) r.result[n] = call.result[n];
  if (call.row != nullptr && call.row->result == 's' && call.result[0] != 0) {
    r.result_text = reinterpret_cast<const char*>(static_cast<uintptr_t>(call.result[0]));
  }
  calls_.push_back(std::move(r));
}

static std::string float_text(uint64_t slot) {
  const auto bits = static_cast<uint32_t>(slot);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : "?";
}

std::string CallRecord::text() const {
  std::string out = row != nullptr ? row->name : hex(hash);
  out += '(';
  for (size_t n = 0; n < args.size(); ++n) {
    const CallArg& a = args[n];
    if (n > 0) out += ", ";
    switch (a.kind) {
      case 'f':
        out += float_text(a.raw);
        break;
      case 's':
      case 'z':
        out += a.raw == 0 ? std::string("null") : '"' + a.text + '"';
        break;
      case 'p':
        out += '&';
        break;
      case 'h':
        out += '&' + a.text;
        break;
      case 'x':
        out += std::to_string(static_cast<int64_t>(a.raw));
        break;
      default:
        out += std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.raw)));
        break;
    }
  }
  out += ')';
  const char result_kind = row != nullptr ? row->result : 'v';
  switch (result_kind) {
    case 'v':
      break;
    case 'f':
      out += " -> " + float_text(result[0]);
      break;
    case 'V':
      out += " -> (" + float_text(result[0]) + ", " + float_text(result[1]) + ", " +
             float_text(result[2]) + ")";
      break;
    case 's':
      out += result[0] == 0 ? std::string(" -> null") : " -> \"" + result_text + '"';
      break;
    default:
      out += " -> " + std::to_string(static_cast<int32_t>(static_cast<uint32_t>(result[0])));
  }
  return out;
}

std::vector<const CallRecord*> World::calls_to(const char* name) const {
  std::vector<const CallRecord*> found;
  for (const CallRecord& r : calls_) {
    if (r.row != nullptr && std::string(r.row->name) == name) found.push_back(&r);
  }
  return found;
}

size_t World::count_calls(const char* name) const { return calls_to(name).size(); }

std::string World::record_text() const {
  std::string out;
  for (const CallRecord& r : calls_) out += std::to_string(r.frame) + ' ' + r.text() + '\n';
  return out;
}

}  // namespace sim
