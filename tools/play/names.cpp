#include "names.h"

#include <algorithm>
#include <numeric>

#include "lower.h"
#include "parser.h"
#include "summary.h"

namespace play {

namespace {

std::vector<std::string> concatenated(
    std::initializer_list<const std::vector<std::string>*> lists) {
  std::vector<std::string> all;
  for (const auto* list : lists) all.insert(all.end(), list->begin(), list->end());
  return all;
}

std::vector<std::string> nicknames(const std::vector<Nickname>& list, bool with_models) {
  std::vector<std::string> names;
  for (const Nickname& n : list) {
    names.push_back(n.name);
    if (with_models) names.push_back(n.model);
  }
  return names;
}

class NameCheck {
 public:
  // Without a deliverable only the world's own names are checked: those of
  // the kinds of thing.
  NameCheck(const Scenario& scenario, const Deliverable& d)
      : scenario_(scenario), deliverable_names_(!scenario.deliverables.empty()) {
    entities_ = nicknames(d.entities, true);
    const Names& world = world_names();
    entities_.insert(entities_.end(), d.names.models.begin(), d.names.models.end());
    entities_.insert(entities_.end(), world.models.begin(), world.models.end());
    // A model the scenario gives the player is one the world then holds.
    // So are the things a scenario spawns, by model and by the name it gave.
    for (const Step& s : scenario.steps) {
      if (s.kind == Step::Kind::replace_player || s.kind == Step::Kind::spawn) {
        entities_.push_back(s.name);
      }
      if (s.kind == Step::Kind::spawn && !s.nickname.empty()) entities_.push_back(s.nickname);
    }
    effects_ = nicknames(d.effects, true);
    speakers_ = entities_;
    speakers_.insert(speakers_.end(), {"player", "anyone"});
    live_ = concatenated({&entities_, &effects_});
    live_.insert(live_.end(), {"blip", "blips"});
    names_ = d.names;
  }

  void step(const Step& s) {
    using Kind = Step::Kind;
    if (s.kind == Kind::expect || s.kind == Kind::wait_until) expectation(s, s.expectation);
    if (!deliverable_names_) return;
    if (s.kind == Kind::remove || s.kind == Kind::dies || s.kind == Kind::flees) {
      known(s, s.name, entities_, "nickname or model");
    }
  }

 private:
  void expectation(const Step& s, const Expectation& e) {
    using Kind = Expectation::Kind;
    if (e.kind == Kind::nothing_left && !e.subject.empty()) {
      known(s, e.subject, kinds_, "kind of thing");
    }
    if (!deliverable_names_) return;
    switch (e.kind) {
      case Kind::prompt_offered:
        known(s, e.text, names_.prompts, "prompt label");
        break;
      case Kind::said:
        known(s, e.speaker, speakers_, "speaker");
        for (const std::string& line : e.names) known(s, line, names_.lines, "line");
        if (!e.voice.empty()) known(s, e.voice, names_.voices, "voice");
        break;
      case Kind::notification:
        known(s, e.text, names_.notifications, "notification");
        break;
      case Kind::tv_channel:
        for (const std::string& list : e.names) known(s, list, names_.playlists, "playlist");
        break;
      case Kind::target_drawn:
        known(s, e.text, names_.targets, "render target");
        break;
      case Kind::live_count:
        known(s, e.subject, live_, "nickname or model");
        break;
      case Kind::speed_about:
        known(s, e.subject, entities_, "nickname or model");
        break;
      case Kind::scale_about:
        known(s, e.subject, effects_, "effect");
        break;
      case Kind::blip_has:
        known(s, e.text, names_.blip_modifiers, "blip modifier");
        break;
      case Kind::text_drawn:
        known(s, e.text, names_.texts, "drawn text");
        break;
      default:  // names nothing
        break;
    }
  }

  void known(const Step& s, const std::string& name, const std::vector<std::string>& names,
             const char* what) const {
    if (std::find(names.begin(), names.end(), name) != names.end()) return;
    std::string message = scenario_.file + ":" + std::to_string(s.line) + ": " + s.source +
                          ": no " + what + " '" + name + "' is known";
    const std::vector<std::string> nearest = nearest_names(name, names);
    for (size_t n = 0; n < nearest.size(); ++n) {
      message += (n == 0 ? "; it could be '" : "', '") + nearest[n];
    }
    if (!nearest.empty()) message += "'";
    if (names.empty()) message += "; there are none";
    throw ParseError(message);
  }

  const Scenario& scenario_;
  const bool deliverable_names_;
  const std::vector<std::string> kinds_ = thing_name_list();
  std::vector<std::string> entities_;
  std::vector<std::string> effects_;
  std::vector<std::string> speakers_;
  std::vector<std::string> live_;
  Names names_;
};

}  // namespace

size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::string> nearest_names(const std::string& name,
                                       const std::vector<std::string>& known) {
  std::vector<std::pair<size_t, std::string>> by_distance;
  const std::string wanted = lower(name);
  for (const std::string& k : known) {
    const auto seen = [&](const auto& p) { return p.second == k; };
    if (std::any_of(by_distance.begin(), by_distance.end(), seen)) continue;
    by_distance.emplace_back(edit_distance(wanted, lower(k)), k);
  }
  std::stable_sort(by_distance.begin(), by_distance.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> nearest;
  for (const auto& [distance, k] : by_distance) {
    if (nearest.size() == 4 || distance > by_distance.front().first + 1) break;
    nearest.push_back(k);
  }
  return nearest;
}

void check_names(const Scenario& scenario, const Deliverable& deliverable) {
  NameCheck check(scenario, deliverable);
  for (const Step& s : scenario.steps) check.step(s);
}

}  // namespace play
