#pragma once
// The journal of a run: what happened, in the order it happened, written
// once, where it happens. The host writes its events, the calls and the
// waits; each domain writes what it makes, removes and changes; a pass a
// frame writes what the world works out from its state (World::observe).
// Every view of a run reads it, and none rebuilds the run from the world.
//
// A thing (an entity, prompt, blip...) has a serial that is never given
// twice, so a handle the game gives again names a new thing and the history
// of the old one stays its own.

#include <array>
#include <cstdint>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "call_record.h"
#include "content.h"
#include "entities.h"
#include "faults.h"
#include "native_table.h"
#include "plugin_id.h"
#include "vec.h"

namespace sim {

enum class EntryKind : uint8_t {
#define SIM_JOURNAL_ENTRY(kind, record, keeping, what) kind,
#include "journal.def"
};
inline constexpr EntryKind all_entry_kinds[] = {
#define SIM_JOURNAL_ENTRY(kind, record, keeping, what) EntryKind::kind,
#include "journal.def"
};
inline constexpr size_t entry_kinds = std::size(all_entry_kinds);
const char* entry_kind_name(EntryKind kind);

// The time and cause the journal stamps on what is written now.
struct JournalClock {
  uint64_t frame = 0;
  uint64_t elapsed_ms = 0;  // the run's own clock, which never jumps
  PluginId by;              // the plug-in whose script or handler runs; none: the game
  uint64_t script = 0;      // its script, by number; 0: none
  uint32_t game_ms = 0;     // the game timer, which may jump
};

// A text an entry holds, kept by the journal for the whole run.
using Text = std::string_view;

enum class KeyMessage : uint8_t { down, repeated, up };
enum class GoneBecause : uint8_t {
  removed,
  handle_given_again,  // the game gave its handle to a new thing in the same frame
  its_entity_gone,     // an effect, ended with the entity it was on
};

// A script as the host names it: "script 2 of cinema.so".
struct ScriptName {
  uint64_t number = 0;  // the host's, over the run
  uint32_t nth = 0;     // its place among its plug-in's scripts, from 1
  Text plugin;
  std::string text() const;
};
std::string script_name(uint32_t nth, std::string_view plugin);

namespace entry {
#define SIM_FIELD(type, name, what) type name{};
#define SIM_JOURNAL_RECORD(name, fields) \
  struct name {                          \
    fields                               \
  };
#include "journal.def"
#undef SIM_FIELD
}  // namespace entry

// An entry holds the record of its kind, named after the kind: a wait's
// is `e.wait`, a plug-in's load `e.loaded`.
struct Entry {
  Entry() : none_{} {}
  EntryKind kind = EntryKind::resumed;
  JournalClock at;
  uint64_t thing = 0;  // a thing's serial; 0: none
  union {
    entry::Nothing none_;
#define SIM_JOURNAL_ENTRY(kind, record, keeping, what) entry::record kind;
#include "journal.def"
  };
};

// The record an entry of kind K holds.
template <EntryKind K>
struct EntryRecord;
#define SIM_JOURNAL_ENTRY(kind, record, keeping, what) \
  template <>                                          \
  struct EntryRecord<EntryKind::kind> {                \
    using type = entry::record;                        \
    static type& of(Entry& e) { return e.kind; }       \
  };
#include "journal.def"
template <EntryKind K>
using RecordOf = typename EntryRecord<K>::type;

// A thing as it was made, never renamed.
struct ThingRecord {
  uint64_t serial = 0;
  Thing thing = Thing::entity;
  EntityKind entity = EntityKind::object;  // an entity's kind
  int32_t handle = 0;
  uint32_t model = 0;    // an entity's model, an effect's name, a blip's style
  PluginId owner;        // who made it; none: the game
  std::string nickname;  // the scenario's name for it, "player" for the player's ped
  std::string label;     // a prompt's label, a blip's name, a target's name, a scene's dictionary
  uint64_t on = 0;       // the entity (serial) a scenario point is attached to
  bool live = true;
  Vec where;  // where it was last put
};

class Journal {
 public:
  Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  JournalClock clock;  // the world and the host keep it current

  // Writes an entry of kind K, stamped with the clock, and keeps its texts:
  // `journal.write<EntryKind::money>({.from = 5, .to = 3})`.
  template <EntryKind K>
  RecordOf<K>& write(const RecordOf<K>& record, uint64_t thing = 0) {
    Entry& e = write_entry(K, thing);
    auto& r = *::new (static_cast<void*>(&EntryRecord<K>::of(e))) RecordOf<K>(record);
    keep_texts(r);
    return r;
  }
  template <EntryKind K>
  RecordOf<K>& write(uint64_t thing = 0) {
    return write<K>(RecordOf<K>{}, thing);
  }
  std::string_view keep(std::string_view text);

  // Every entry by its number over the run, while its readers read it: a
  // reader keeps its place as a number, and once all have read, the runner
  // forgets what they read (forget_read).
  uint64_t end() const { return first_ + entries_.size(); }
  uint64_t begin() const { return first_; }
  const Entry& operator[](uint64_t n) const { return entries_[n - first_]; }
  Entry& latest() { return entries_.back(); }  // the entry just written
  void forget_read();
  // With no reader (a test, a soak, a benchmark) the journal forgets its
  // passing entries now and then by itself, so a long run stays small.
  bool has_readers = false;
  // The entries of the lasting kinds, kept for the whole run.
  const std::vector<Entry>& lasting() const { return lasting_; }
  // How many entries of a kind were written over the run.
  uint64_t count(EntryKind kind) const { return counts_[static_cast<size_t>(kind)]; }
  // Each entry of a kind over the whole run, lasting ones only.
  template <class F>
  void each(EntryKind kind, F&& f) const {
    for (const Entry& e : lasting_) {
      if (e.kind == kind) f(e);
    }
    for (const Entry& e : entries_) {
      if (e.kind == kind) f(e);
    }
  }

  // Native calls are written while recording; their records live until
  // forget_read. A run with no reader that records them keeps them all.
  bool recording_calls = true;
  // A call's entry comes before what its native did; its record, as the
  // call left its arguments and result, once it has been answered. Not
  // recording, each costs a test: every native call passes here.
  uint64_t begin_call(const NativeCall& call) { return recording_calls ? write_call(call) : 0; }
  void end_call(uint64_t entry, const NativeCall& call, Answerer answerer) {
    if (recording_calls) record_call(entry, call, answerer);
  }
  const CallRecord& call(const Entry& e) const { return calls_.records()[e.call.record]; }
  const std::vector<CallRecord>& call_records() const { return calls_.records(); }

  // Things. The scenario's names for models are given before the run.
  uint64_t made(Thing thing, int32_t handle, uint32_t model, Vec where,
                EntityKind entity = EntityKind::object);
  void gone(Thing thing, int32_t handle, bool renewed = false);
  // A thing that ended with another (an effect with its entity), whose
  // going that entry tells: its handle no longer names it.
  void forget_live(Thing thing, int32_t handle);
  uint64_t serial_of(Thing thing, int32_t handle) const;  // the live thing's; 0: none
  // The thing the handle named last, live or gone; 0: none.
  uint64_t last_serial(Thing thing, int32_t handle) const;
  const ThingRecord* thing(uint64_t serial) const;
  ThingRecord* thing(uint64_t serial);
  void name_model(uint32_t model, std::string nickname) { nicknames_[model] = std::move(nickname); }
  void name_thing(uint64_t serial, std::string nickname);
  const std::vector<ThingRecord>& things() const { return things_; }

 private:
  Entry& write_entry(EntryKind kind, uint64_t thing);
  template <class Field>
  void keep_field(Field&) {}
  void keep_field(Text& text) { text = keep(text); }
  void keep_field(ScriptName& script) { script.plugin = keep(script.plugin); }
#define SIM_FIELD(type, name, what) keep_field(r.name);
#define SIM_JOURNAL_RECORD(name, fields) \
  void keep_texts([[maybe_unused]] entry::name& r) { fields }
#include "journal.def"
#undef SIM_FIELD
  uint64_t write_call(const NativeCall& call);
  void record_call(uint64_t entry, const NativeCall& call, Answerer answerer);
  static uint64_t key(Thing thing, int32_t handle) {
    return (static_cast<uint64_t>(thing) << 32) | static_cast<uint32_t>(handle);
  }
  std::vector<Entry> entries_;
  uint64_t first_ = 0;
  std::vector<Entry> lasting_;
  std::array<uint64_t, entry_kinds> counts_{};
  CallLog calls_;
  PassedHandles passed_;  // the call being answered's handles passed by address, as passed
  std::vector<ThingRecord> things_;              // by serial, from 1
  std::unordered_map<uint64_t, uint64_t> live_;  // (thing, handle): its serial
  std::unordered_map<uint64_t, uint64_t> gone_;  // (thing, handle): the last it named, gone
  std::unordered_map<uint32_t, std::string> nicknames_;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_set<std::string, TextHash, std::equal_to<>> texts_;
};

}  // namespace sim
