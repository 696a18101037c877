#include "summary.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "reference_natives.h"
#include "world.h"

namespace play {

namespace {

constexpr size_t most_called_shown = 10;

const char* const thing_plurals[] = {"entities", "prompts", "blips",  "points",
                                     "effects",  "scenes",  "targets"};
static_assert(std::size(thing_plurals) == static_cast<size_t>(sim::Thing::count));

std::string plural(uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

}  // namespace

std::vector<PluginThings> things_of_plugins(const sim::World& world) {
  const sim::Journal& j = world.journal;
  std::vector<PluginThings> plugins;
  const auto of = [&plugins](sim::PluginId who) -> PluginThings* {
    for (PluginThings& t : plugins) {
      if (t.who == who) return &t;
    }
    return nullptr;
  };
  j.each(sim::EntryKind::loaded, [&](const sim::Entry& e) {
    if (of(e.at.by) == nullptr) plugins.push_back({e.at.by});
  });
  // The plug-in that made the thing an entry tells of, and the thing's kind.
  const auto maker = [&](const sim::Entry& e) -> std::pair<PluginThings*, size_t> {
    const sim::ThingRecord* t = j.thing(e.thing);
    if (t == nullptr) return {nullptr, 0};
    return {of(t->owner), static_cast<size_t>(t->thing)};
  };
  j.each(sim::EntryKind::made, [&](const sim::Entry& e) {
    if (const auto [by, kind] = maker(e); by != nullptr) {
      ++by->made[kind];
      ++by->held[kind];
    }
  });
  std::unordered_set<uint64_t> gone;  // a thing goes once
  j.each(sim::EntryKind::gone, [&](const sim::Entry& e) {
    if (!gone.insert(e.thing).second) return;
    if (const auto [by, kind] = maker(e); by != nullptr) --by->held[kind];
  });
  j.each(sim::EntryKind::deleted_again, [&](const sim::Entry& e) {
    if (PluginThings* by = of(e.at.by)) ++by->deleted_again;
  });
  return plugins;
}

Summary summarize(sim::World& world) {
  Summary s;
  for (const PluginThings& things : things_of_plugins(world)) {
    const sim::PluginId who = things.who;
    PluginSummary p;
    // By its file's stem: the same plug-in built natively or as a .asi.
    p.name = world.owners.name_of(who);
    p.name = p.name.substr(0, p.name.find_last_of('.'));
    world.journal.each(sim::EntryKind::registered, [&](const sim::Entry& e) {
      if (e.at.by == who) ++p.scripts;
    });
    p.calls = world.owners.calls_of(who);
    p.made = things.made;
    p.held = things.held;
    p.double_deletes = things.deleted_again;
    s.plugins.push_back(std::move(p));
  }
  s.frames = world.frame();
  s.calls = world.total_calls();
  s.distinct = world.natives_called();
  // The journal tells each native not simulated once, at its first call.
  world.journal.each(sim::EntryKind::unsimulated, [&](const sim::Entry& e) {
    const uint64_t hash = e.unsimulated.hash;
    const sim::NativeRow* row = sim::reference_row(hash);
    const uint64_t calls = world.calls_to(hash);
    s.unsimulated.push_back({row != nullptr ? row->name : "?", hash, calls});
    s.unsimulated_calls += calls;
  });
  std::sort(s.unsimulated.begin(), s.unsimulated.end(),
            [](const auto& a, const auto& b) { return a.hash < b.hash; });
  std::stable_sort(s.unsimulated.begin(), s.unsimulated.end(),
                   [](const auto& a, const auto& b) { return a.calls > b.calls; });
  s.violations = world.violations();
  for (const auto& [key, t] : world.tolerated()) {
    s.warnings.push_back(t.what + ": " + plural(t.calls, "call", "calls"));
  }
  return s;
}

std::vector<std::string> summary_lines(const Summary& s, bool all) {
  std::vector<std::string> lines;
  if (s.plugins.empty()) lines.push_back("plug-ins: none loaded");
  for (const PluginSummary& p : s.plugins) {
    lines.push_back("plug-in " + p.name + ": " + plural(p.scripts, "script", "scripts") + ", " +
                    plural(p.calls, "native call", "native calls"));
    lines.push_back("  made " + sim::holdings_text(p.made) + "; still holds " +
                    sim::holdings_text(p.held));
    if (p.double_deletes > 0) {
      lines.push_back("  deleted a handle it had deleted already: " +
                      plural(p.double_deletes, "time", "times"));
    }
  }
  lines.push_back("frames: " + std::to_string(s.frames));
  lines.push_back("native calls: " + std::to_string(s.calls) + ", to " +
                  plural(s.distinct, "distinct native", "distinct natives"));
  if (s.unsimulated.empty()) {
    lines.push_back("not simulated: none called");
  } else {
    const size_t shown =
        all ? s.unsimulated.size() : std::min(s.unsimulated.size(), most_called_shown);
    std::string head = "not simulated: " + plural(s.unsimulated.size(), "native", "natives") +
                       ", " + plural(s.unsimulated_calls, "call", "calls");
    if (shown < s.unsimulated.size()) {
      head += "; the " + std::to_string(shown) + " most called (--summary for all)";
    }
    lines.push_back(head);
    for (size_t n = 0; n < shown; ++n) {
      const UnsimulatedSummary& u = s.unsimulated[n];
      lines.push_back("  " + u.name + " (" + sim::hex_text(u.hash) +
                      "): " + plural(u.calls, "call", "calls"));
    }
  }
  lines.push_back("violations: " + (s.violations.empty() ? std::string("none")
                                                         : std::to_string(s.violations.size())));
  for (const std::string& v : s.violations) lines.push_back("  " + v);
  if (!s.warnings.empty()) {
    lines.push_back("warnings: " + std::to_string(s.warnings.size()) +
                    " the game goes on from (--strict fails the run)");
    for (const std::string& w : s.warnings) lines.push_back("  " + w);
  }
  return lines;
}

bool thing_named(const std::string& name, sim::Thing& thing) {
  for (size_t n = 0; n < std::size(thing_plurals); ++n) {
    if (name == thing_plurals[n]) {
      thing = static_cast<sim::Thing>(n);
      return true;
    }
  }
  return false;
}

std::string thing_names() {
  std::string out;
  for (const char* name : thing_plurals) out += (out.empty() ? "" : ", ") + std::string(name);
  return out;
}

std::vector<std::string> thing_name_list() {
  return {std::begin(thing_plurals), std::end(thing_plurals)};
}

}  // namespace play
