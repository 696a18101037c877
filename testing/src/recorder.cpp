#include "recorder.h"

#include <algorithm>

#include "describe.h"
#include "ownership.h"

namespace standin {

namespace {

std::string stem(const std::string& file) { return file.substr(0, file.find_last_of('.')); }

std::string owner_name(const sim::World& world, sim::PluginId owner) {
  return owner ? stem(world.owners.name_of(owner)) : std::string();
}

// An entity by the words a spawn step kinds it with.
std::string kind_name(const sim::ThingRecord& t) {
  if (t.thing != sim::Thing::entity) return sim::thing_name(t.thing);
  switch (t.entity) {
    case sim::EntityKind::ped:
      return "ped";
    case sim::EntityKind::vehicle:
      return "vehicle";
    case sim::EntityKind::pickup:
      return "pickup";
    case sim::EntityKind::object:
      break;
  }
  return "object";
}

}  // namespace

void Recorder::begin(const play::PlayContext& context, sim::World&) {
  next_ = context.first_entry;
  ended_ = false;
}

void Recorder::read(sim::World& world) {
  const sim::Journal& journal = world.journal;
  for (uint64_t n = std::max(next_, journal.begin()); n < journal.end(); ++n) {
    const sim::Entry& e = journal[n];
    if (e.kind == sim::EntryKind::call) continue;
    const std::string plugin = play::plugin_of(world, e);
    const std::string host = play::host_text(e);
    std::string what = host.empty() ? play::change_text(world, play::no_deliverable(), e) : host;
    entries_.push_back({play::family_name(e), e.at.frame, e.at.elapsed_ms, plugin, std::move(what),
                        play::own_text(e)});
    if (e.kind == sim::EntryKind::drawn) {
      const sim::entry::TextShown& t = e.drawn;
      texts_.push_back({std::string(t.text), plugin, e.at.frame, t.x, t.y, t.height_scale,
                        static_cast<int>(t.colour >> 24), static_cast<int>((t.colour >> 16) & 0xff),
                        static_cast<int>((t.colour >> 8) & 0xff),
                        static_cast<int>(t.colour & 0xff)});
    } else if (e.kind == sim::EntryKind::said) {
      lines_.push_back({play::who(world, e.thing), std::string(e.said.line),
                        std::string(e.said.voice), e.at.frame});
    }
  }
  next_ = journal.end();
}

void Recorder::end(sim::World& world) {
  last_ = state(world);
  ended_ = true;
}

State Recorder::state(const sim::World& world) const {
  if (ended_) return last_;
  State s;
  for (const sim::ThingRecord& t : world.journal.things()) {
    if (t.serial == 0) continue;
    s.things.push_back({kind_name(t), play::hash_name(world, t.model), t.label,
                        owner_name(world, t.owner), t.handle, t.live, t.where.x, t.where.y,
                        t.where.z});
  }
  for (const auto& [handle, p] : world.prompts()) {
    if (world.prompt_offered(p)) {
      s.offered.push_back(
          {p.label, owner_name(world, world.owners.owner(sim::Thing::prompt, handle))});
    }
  }
  s.violations = world.violations();
  s.cash = world.money.cash;
  s.frame = world.frame();
  return s;
}

}  // namespace standin
