#include "rdr2-standin/game.h"

#include <sstream>
#include <stdexcept>

#include "describe.h"
#include "host.h"
#include "parser.h"
#include "recorder.h"
#include "step_runner.h"

namespace standin {

namespace {
bool a_game_lives = false;

Result from_errors(const std::ostringstream& errors) {
  std::string message = errors.str();
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return message.empty() ? Result() : Result::failed(message);
}
}  // namespace

struct Game::Run {
  sim::Host& host = sim::Host::get();
  // The set-up steps given before the first load; its file is the one of
  // the step being played, which the runner's messages begin with.
  play::Scenario scenario;
  std::ostringstream errors;
  Recorder recorder;
  std::vector<play::Observer*> observers{&recorder};
  std::unique_ptr<play::StepSession> session;
  bool ended = false;
  // The spawn steps given, read again with each later step so that it may
  // name what they made.
  std::string spawns;
  size_t spawn_count = 0;
};

Game::Game() : run_(std::make_unique<Run>()) {
  if (a_game_lives) throw std::logic_error("standin::Game: one game at a time; the host holds one");
  a_game_lives = true;
  run_->host.reset();
}

Game::~Game() {
  if (run_->session && !run_->ended) run_->session->end();
  a_game_lives = false;
}

Result Game::load(const std::string& plugin, Where at) {
  Run& r = *run_;
  if (r.ended)
    return Result::failed(std::string(at.file) + ":" + std::to_string(at.line) +
                          ": the run has ended");
  r.scenario.file = at.file;
  r.errors.str("");
  if (!r.session) {
    r.session = std::make_unique<play::StepSession>(r.host, r.scenario, r.observers, r.errors);
    r.session->begin({plugin});
  } else {
    r.session->load(plugin);
  }
  return from_errors(r.errors);
}

Result Game::step(std::string_view steps, Where at) {
  Run& r = *run_;
  const std::string where = std::string(at.file) + ":";
  if (r.ended) return Result::failed(where + std::to_string(at.line) + ": the run has ended");
  // Blank lines before the text give each step its line in the caller's file.
  play::Scenario parsed;
  try {
    parsed = play::parse_scenario(
        at.file, std::string(at.line - 1, '\n') + std::string(steps) + "\n" + r.spawns);
  } catch (const play::ParseError& e) {
    return Result::failed(e.what());
  }
  parsed.steps.resize(parsed.steps.size() - r.spawn_count);
  if (!parsed.deliverables.empty()) {
    return Result::failed(where + std::to_string(parsed.deliverable_line) +
                          ": a test loads its plug-ins with Game::load, not a deliverable line");
  }
  r.scenario.file = at.file;
  for (const play::Step& s : parsed.steps) {
    if (s.kind == play::Step::Kind::spawn) {
      r.spawns += s.source + "\n";
      ++r.spawn_count;
    }
    if (!r.session) {
      if (s.is_set_up()) {
        r.scenario.steps.push_back(s);
        continue;
      }
      return Result::failed(where + std::to_string(s.line) + ": " + s.source +
                            ": the plug-in is not loaded yet: Game::load comes before this step");
    }
    r.errors.str("");
    if (!r.session->play(s)) return from_errors(r.errors);
  }
  return {};
}

Result Game::expect(std::string_view expectation, Where at) {
  return step("expect " + std::string(expectation), at);
}

Result Game::finish(Where at) {
  Run& r = *run_;
  if (r.ended || !r.session) {
    r.ended = true;
    return {};
  }
  r.scenario.file = at.file;
  r.errors.str("");
  r.session->end();
  r.ended = true;
  return from_errors(r.errors);
}

std::vector<Entry> Game::journal() const { return run_->recorder.entries(); }

std::vector<Entry> Game::journal(std::string_view kind) const {
  std::vector<Entry> of_kind;
  for (const Entry& e : run_->recorder.entries()) {
    if (e.kind == kind) of_kind.push_back(e);
  }
  return of_kind;
}

std::vector<Thing> Game::things(std::string_view kind, std::string_view owner) const {
  std::vector<Thing> found;
  for (const Thing& t : run_->recorder.state(run_->host.world()).things) {
    if ((kind.empty() || t.kind == kind) && (owner.empty() || t.owner == owner)) found.push_back(t);
  }
  return found;
}

std::vector<Thing> Game::live_things(std::string_view kind, std::string_view owner) const {
  std::vector<Thing> live = things(kind, owner);
  std::erase_if(live, [](const Thing& t) { return !t.live; });
  return live;
}

std::vector<Prompt> Game::prompts_offered() const {
  return run_->recorder.state(run_->host.world()).offered;
}

std::vector<Text> Game::texts_drawn() const { return run_->recorder.texts(); }

std::vector<Line> Game::lines_said() const { return run_->recorder.lines(); }

int Game::cash() const { return run_->recorder.state(run_->host.world()).cash; }

std::vector<std::string> Game::violations() const {
  return run_->recorder.state(run_->host.world()).violations;
}

uint64_t Game::frame() const { return run_->recorder.state(run_->host.world()).frame; }

}  // namespace standin
