#include "describe.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "faults.h"
#include "joaat.h"
#include "reference_natives.h"

namespace play {

std::string fixed(double value, int decimals) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";  // a player 3e38 m out
  char text[64];
  auto [end, ec] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(text, end) : "?";
}

std::string position_text(const sim::Vec& at) {
  std::string text = "(";
  text.append(fixed(at.x, 2)).append(", ").append(fixed(at.y, 2)).append(", ");
  return text.append(fixed(at.z, 2)).append(")");
}

std::string seconds_text(uint64_t ms) { return fixed(static_cast<double>(ms) / 1000.0, 3) + " s"; }

std::string in_quotes(std::string_view text) {
  std::string out(1, '"');
  return out.append(text).append(1, '"');
}

std::string hash_name(const sim::World& world, uint32_t hash) {
  if (const std::string* name = world.name_of(hash)) return *name;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", hash);
  return text;
}

std::string interior_name(const sim::World& world, const Deliverable& deliverable,
                          uint32_t name_hash) {
  for (const Nickname& n : deliverable.interiors) {
    if (sim::joaat(n.model.c_str()) == name_hash) return "the " + n.name + " (" + n.model + ")";
  }
  return std::string("the interior ") + hash_name(world, name_hash);
}

// A scenario's answer as its native's result kind reads it.
static std::string answer_text(const sim::NativeRow& row, const sim::World::Answer& a) {
  const auto as_float = [](uint64_t slot) { return fixed(sim::CallRecord::as_float(slot), 2); };
  switch (row.result) {
    case 'b':
      return a.result[0] != 0 ? "true" : "false";
    case 'f':
      return as_float(a.result[0]);
    case 'V':
      return sim::vector_text(as_float(a.result[0]), as_float(a.result[1]), as_float(a.result[2]));
    case 's':
      return in_quotes(a.text);
    default:
      return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.result[0])));
  }
}

std::string thing_name(const sim::World& world, uint64_t serial) {
  const sim::ThingRecord* t = world.journal.thing(serial);
  if (t == nullptr) return "nothing";
  switch (t->thing) {
    case sim::Thing::entity: {
      const std::string model = hash_name(world, t->model);
      const char* kind = t->entity == sim::EntityKind::ped       ? "ped "
                         : t->entity == sim::EntityKind::vehicle ? "vehicle "
                                                                 : "prop ";
      return std::string(kind) + model + (t->nickname.empty() ? "" : " (" + t->nickname + ")");
    }
    case sim::Thing::blip: {
      std::string name = std::string("blip ") + hash_name(world, t->model);
      if (!t->label.empty()) name.append(" ").append(in_quotes(t->label));
      return name;
    }
    case sim::Thing::effect:
      return std::string("effect ") + hash_name(world, t->model);
    case sim::Thing::point:
      return "scenario point " + hash_name(world, t->model) + " on " + thing_name(world, t->on);
    case sim::Thing::scene:
      return "anim scene " + t->label;
    default:
      return std::string(sim::thing_name(t->thing)) + " " + std::to_string(t->handle);
  }
}

std::string who(const sim::World& world, uint64_t serial) {
  const sim::ThingRecord* t = world.journal.thing(serial);
  if (t == nullptr) return "nobody";
  return t->nickname.empty() ? hash_name(world, t->model) : t->nickname;
}

std::string plugin_of(const sim::World& world, const sim::Entry& e) {
  sim::PluginId by = e.at.by;
  const sim::ThingRecord* t = world.journal.thing(e.thing);
  // A thing's end is its owner's, whoever ended it: a game thing's, nobody's.
  if (t != nullptr && (!by || e.kind == sim::EntryKind::gone)) by = t->owner;
  if (!by) return "";
  const std::string file = world.owners.name_of(by);
  return file.substr(0, file.find_last_of('.'));
}

std::string value_name(const sim::World& world, const Deliverable& deliverable, uint64_t serial) {
  const sim::ThingRecord* thing = world.journal.thing(serial);
  if (thing == nullptr) return "";
  if (thing->thing == sim::Thing::effect) return thing_name(world, serial) + " scale";
  if (deliverable.turns(thing->nickname)) return thing->nickname + " speed";
  return "";
}

std::string host_text(const sim::Entry& e) {
  using Kind = sim::EntryKind;
  const auto plugin = [](std::string_view file) { return std::string(file); };
  switch (e.kind) {
    case Kind::loaded:
      return "plug-in " + plugin(e.loaded.file) + " loaded";
    case Kind::unloaded:
      return "plug-in " + plugin(e.unloaded.file) + " unloaded";
    case Kind::registered:
      return e.registered.script.text() + " registered" +
             (e.registered.additional ? " (an additional thread)" : "");
    case Kind::started:
      return e.started.script.text() + " started";
    case Kind::ended:
      return e.ended.script.text() + std::string(e.ended.how);
    case Kind::handler_registered:
      return "keyboard handler of " + plugin(e.handler_registered.file) + " registered";
    case Kind::handler_unregistered:
      return "keyboard handler of " + plugin(e.handler_unregistered.file) + " unregistered";
    case Kind::global_given:
      return "getGlobalPtr(" + std::to_string(e.global_given.index) +
             ") = " + std::to_string(e.global_given.value);
    case Kind::global_written: {
      const sim::entry::GlobalWritten& g = e.global_written;
      return "global " + std::to_string(g.index) + " written: " + std::to_string(g.from) + " -> " +
             std::to_string(g.to) + " " + std::string(g.when);
    }
    default:
      return "";
  }
}

std::string failed_text(const sim::entry::Failure& f) {
  return "FAILED " + (f.line != 0 ? std::to_string(f.line) + ": " : "") + std::string(f.why);
}

std::string own_text(const sim::Entry& e) {
  using Kind = sim::EntryKind;
  const auto text = [](std::string_view t) { return std::string(t); };
  switch (e.kind) {
    case Kind::violation:
      return text(e.violation.what);
    case Kind::tolerated:
      return text(e.tolerated.what);
    case Kind::content:
      return text(e.content.what);
    case Kind::said:
      return text(e.said.line);
    case Kind::notification:
      return text(e.notification.text);
    case Kind::playlist:
      return text(e.playlist.playlist);
    case Kind::found_money:
    case Kind::found_playlist:
    case Kind::found_channel:
    case Kind::found_player:
      return std::string(sim::entry_kind_name(e.kind)).substr(6);  // what was found
    case Kind::offered:
      return text(e.offered.label);
    case Kind::withdrawn:
      return text(e.withdrawn.label);
    case Kind::settled:
      return text(e.settled.value);
    case Kind::drawn_into:
      return text(e.drawn_into.target);
    case Kind::undrawn_into:
      return text(e.undrawn_into.target);
    case Kind::drawn:
      return text(e.drawn.text);
    case Kind::undrawn:
      return text(e.undrawn.text);
    case Kind::box_drawn:
      return text(e.box_drawn.texture);
    case Kind::box_undrawn:
      return text(e.box_undrawn.texture);
    case Kind::step:
      return text(e.step.source);
    case Kind::expectation:
      return text(e.expectation.source);
    case Kind::failed:
      return text(e.failed.why);
    default:
      return host_text(e);
  }
}

std::string family_name(const sim::Entry& e) {
  using Kind = sim::EntryKind;
  switch (e.kind) {
    case Kind::found_money:
    case Kind::found_playlist:
    case Kind::found_channel:
    case Kind::found_player:
      return "found";
    default:
      if (is_global(e)) return "global";
      return host_text(e).empty() ? sim::entry_kind_name(e.kind) : "host";
  }
}

bool is_global(const sim::Entry& e) {
  return e.kind == sim::EntryKind::global_given || e.kind == sim::EntryKind::global_written;
}

std::string change_text(const sim::World& world, const Deliverable& deliverable,
                        const sim::Entry& e) {
  using Kind = sim::EntryKind;
  const sim::ThingRecord* thing = world.journal.thing(e.thing);
  switch (e.kind) {
    case Kind::violation:
      return (std::string("PROTOCOL VIOLATION: ") + std::string(e.violation.what));
    case Kind::content:
      return std::string(e.content.what);
    case Kind::tolerated:
      return std::string("WARNING: ") + std::string(e.tolerated.what) +
             " (the game goes on; --strict fails it)";
    case Kind::unsimulated: {
      const uint64_t hash = e.unsimulated.hash;
      const sim::NativeRow* row = sim::reference_row(hash);
      const sim::World::Answer* answer = e.unsimulated.answered ? world.answer(hash) : nullptr;
      std::string answered = answer != nullptr && row != nullptr
                                 ? "answered by the scenario: " + answer_text(*row, *answer)
                                 : std::string("answered 0");
      if (!sim::out_parameters(hash).empty()) answered += ", its out-parameters written as zeros";
      return std::string("not simulated: ") + (row != nullptr ? row->name : "?") + " (" +
             sim::hex_text(hash) + "), checked against the game's table and " + answered;
    }
    case Kind::made:
      if (thing == nullptr) return "";
      if (thing->thing == sim::Thing::entity || thing->thing == sim::Thing::blip ||
          thing->thing == sim::Thing::point) {
        return (std::string("+ ") + thing_name(world, e.thing) + " at " +
                position_text(e.made.where));
      } else if (thing->thing == sim::Thing::scene) {
        return "+ " + thing_name(world, e.thing);
      } else if (thing->thing == sim::Thing::effect) {
        const sim::ThingRecord* on = world.journal.thing(e.made.on);
        return (std::string("+ ") + thing_name(world, e.thing) + " on " +
                (on != nullptr ? hash_name(world, on->model) : std::string("nothing")) +
                ", scale " + fixed(e.made.scale, 2));
      }
      return "";
    case Kind::gone:
      if (thing == nullptr) return "";
      if (thing->thing == sim::Thing::effect) {
        return (std::string("- ") + thing_name(world, e.thing) +
                (e.gone.because == sim::GoneBecause::its_entity_gone ? ", its entity gone"
                                                                     : ", stopped"));
      } else if (thing->thing != sim::Thing::prompt && thing->thing != sim::Thing::target) {
        return (std::string("- ") + thing_name(world, e.thing));
      }
      return "";
    case Kind::marked:
      return (thing_name(world, e.thing) + " marked " + hash_name(world, e.marked.modifier));
    case Kind::unmarked:
      return (thing_name(world, e.thing) + " no longer marked " +
              hash_name(world, e.unmarked.modifier));
    case Kind::said:
      return (who(world, e.thing) + " says " + std::string(e.said.line) + " (voice " +
              (e.said.voice.empty() ? "none" : std::string(e.said.voice)) + ")");
    case Kind::money: {
      const int from = e.money.from;
      const int to = e.money.to;
      return (std::string("money ") + world.cash_text(from) + " to " + world.cash_text(to) + " (" +
              (to > from ? "+" : "") + std::to_string(to - from) + ")");
    }
    case Kind::notification:
      return (std::string("notification: ") + in_quotes(e.notification.text));
    case Kind::playlist:
      return (std::string("TV channel ") + std::to_string(e.playlist.channel) + " gets playlist " +
              std::string(e.playlist.playlist));
    case Kind::channel:
      return (e.channel.channel == -1 ? std::string("TV off")
                                      : "TV on channel " + std::to_string(e.channel.channel));
    case Kind::fault:
      return (std::string("fault: ") + sim::fault_name(e.fault.fault));
    case Kind::fault_over:
      return (std::string("fault over: ") + sim::fault_name(e.fault_over.fault));
    case Kind::offered:
      return (std::string("prompt offered: ") + in_quotes(e.offered.label));
    case Kind::withdrawn:
      return (std::string("prompt withdrawn: ") + in_quotes(e.withdrawn.label));
    case Kind::enters:
      return "player enters " + interior_name(world, deliverable, e.enters.name_hash);
    case Kind::leaves:
      return "player leaves " + interior_name(world, deliverable, e.leaves.name_hash);
    case Kind::sits:
      return (who(world, e.thing) + " sits down");
    case Kind::stands:
      return (who(world, e.thing) + " stands up");
    case Kind::settled: {
      const std::string what = value_name(world, deliverable, e.thing);
      if (what.empty()) return "";
      return (what + " " + fixed(e.settled.from, 3) + " to " + fixed(e.settled.to, 3) + " over " +
              seconds_text(e.settled.ms));
    }
    case Kind::drawn_into:
      return (std::string("channel ") + std::to_string(e.drawn_into.channel) + " drawn into " +
              std::string(e.drawn_into.target) + " every pass");
    case Kind::undrawn_into:
      return (std::string("no longer drawn into ") + std::string(e.undrawn_into.target));
    default:
      return "";
  }
}

}  // namespace play
