#include "journal.h"

namespace sim {

namespace {

enum class Keeping : bool { passing, lasting };

struct KindRow {
  const char* name;
  Keeping keeping;
};

constexpr KindRow kind_rows[] = {
#define SIM_JOURNAL_ENTRY(kind, record, keeping, what) {#kind, Keeping::keeping},
#include "journal.def"
};

}  // namespace

const char* entry_kind_name(EntryKind kind) { return kind_rows[static_cast<size_t>(kind)].name; }

std::string script_name(uint32_t nth, std::string_view plugin) {
  return "script " + std::to_string(nth) + " of " + std::string(plugin);
}

std::string ScriptName::text() const { return script_name(nth, plugin); }

// With no reader, few enough that they stay in the processor's cache.
constexpr size_t unread_entries_kept = 128;

// Room for a good many frames' entries from the start.
Journal::Journal() { entries_.reserve(4096); }

// Each entry starts as a copy of a blank one: value-initialising it instead
// compiles to a `rep stos`, slow to start for a record this small, and the
// journal is written many times a frame.
static const Entry blank_entry{};

Entry& Journal::write_entry(EntryKind kind, uint64_t thing) {
  if (!has_readers && !recording_calls && entries_.size() >= unread_entries_kept) forget_read();
  Entry& e = entries_.emplace_back(blank_entry);
  ++counts_[static_cast<size_t>(kind)];
  e.kind = kind;
  e.at = clock;
  e.thing = thing;
  return e;
}

std::string_view Journal::keep(std::string_view text) {
  auto it = texts_.find(text);
  if (it == texts_.end()) it = texts_.emplace(text).first;
  return *it;
}

// What was read is forgotten but for the lasting kinds; the entries are
// complete by now (the writers fill them in as they are written).
void Journal::forget_read() {
  for (const Entry& e : entries_) {
    if (kind_rows[static_cast<size_t>(e.kind)].keeping == Keeping::lasting) lasting_.push_back(e);
  }
  first_ += entries_.size();
  entries_.clear();
  calls_.clear();
}

uint64_t Journal::write_call(const NativeCall& call) {
  write<EntryKind::call>();
  passed_.note(call);
  return end() - 1;
}

void Journal::record_call(uint64_t entry, const NativeCall& call, Answerer answerer) {
  if (entry < first_ || entry >= end()) return;
  calls_.add(clock.frame, call, passed_);
  CallRecord& r = calls_.last();
  r.by = clock.by;
  r.script = clock.script;
  r.answered = answerer;
  entries_[entry - first_].call.record = calls_.records().size() - 1;
}

uint64_t Journal::made(Thing thing, int32_t handle, uint32_t model, Vec where, EntityKind entity) {
  ThingRecord t;
  t.serial = things_.size() + 1;
  t.thing = thing;
  t.entity = entity;
  t.handle = handle;
  t.model = model;
  t.owner = clock.by;
  t.where = where;
  if (const auto it = nicknames_.find(model); it != nicknames_.end() && thing == Thing::entity) {
    t.nickname = it->second;
  }
  if (live_.count(key(thing, handle)) != 0) gone(thing, handle, true);  // its handle given again
  const uint64_t serial = t.serial;
  live_[key(thing, handle)] = serial;
  gone_.erase(key(thing, handle));
  things_.push_back(std::move(t));
  write<EntryKind::made>({.where = where}, serial);
  return serial;
}

void Journal::gone(Thing thing, int32_t handle, bool renewed) {
  const auto it = live_.find(key(thing, handle));
  if (it == live_.end()) return;
  ThingRecord& t = things_[it->second - 1];
  t.live = false;
  write<EntryKind::gone>(
      {.because = renewed ? GoneBecause::handle_given_again : GoneBecause::removed}, t.serial);
  gone_[it->first] = it->second;
  live_.erase(it);
}

void Journal::forget_live(Thing thing, int32_t handle) {
  const auto it = live_.find(key(thing, handle));
  if (it == live_.end()) return;
  things_[it->second - 1].live = false;
  gone_[it->first] = it->second;
  live_.erase(it);
}

uint64_t Journal::serial_of(Thing thing, int32_t handle) const {
  const auto it = live_.find(key(thing, handle));
  return it == live_.end() ? 0 : it->second;
}

uint64_t Journal::last_serial(Thing thing, int32_t handle) const {
  if (const uint64_t live = serial_of(thing, handle)) return live;
  const auto it = gone_.find(key(thing, handle));
  return it == gone_.end() ? 0 : it->second;
}

const ThingRecord* Journal::thing(uint64_t serial) const {
  return serial == 0 || serial > things_.size() ? nullptr : &things_[serial - 1];
}

ThingRecord* Journal::thing(uint64_t serial) {
  return serial == 0 || serial > things_.size() ? nullptr : &things_[serial - 1];
}

void Journal::name_thing(uint64_t serial, std::string nickname) {
  if (ThingRecord* t = thing(serial)) t->nickname = std::move(nickname);
}

}  // namespace sim
