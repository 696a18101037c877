#pragma once
// A fresh game in the stand-in, a mod's plug-in loaded into it, driven a
// step at a time with the steps of a scenario file and checked with its
// expectations: the same words, the same checks, the same messages.
//
//   standin::Game game;                          // a fresh game
//   game.step("start at -2361.5 -2395.1 62.1");  // set-up steps come first
//   ASSERT_TRUE(game.load(MY_MOD_PLUGIN));       // the native build, my_mod.so
//   EXPECT_TRUE(game.step("walk to -2360 -2390 62.1 over 2 s"));
//   EXPECT_TRUE(game.expect("prompt \"Hire Horse\" offered"));
//   EXPECT_TRUE(game.step(R"(
//     complete "Hire Horse"
//     wait until 1 live a_c_horse_morgan_bay within 3 s
//   )"));
//   EXPECT_EQ(game.things("ped", "my_mod").size(), 1u);
//
// A step that fails says so in its Result, with its file and line, and the
// run goes on. One Game lives at a time: the host holds one world.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"
#include "result.h"

namespace standin {

// Where a call was written, which its failure names: the caller's file and
// line, filled in by the default argument.
struct Where {
  const char* file;
  unsigned line;
  static constexpr Where here(const char* file = __builtin_FILE(),
                              unsigned line = __builtin_LINE()) {
    return {file, line};
  }
};

class Game {
 public:
  Game();
  ~Game();  // ends the run, as finish() does, unless it has ended
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Loads a plug-in's native build. The first load starts the run, after the
  // set-up steps given so far; a later one loads another into the same game.
  Result load(const std::string& plugin, Where at = Where::here());

  // One or more steps, a line each, as a scenario file writes them
  // (docs/scenarios.md): `walk to PLACE over DURATION`, `wait 2 s`,
  // `press F4`, `complete "LABEL"`, `spawn MODEL at PLACE as NAME`,
  // `expect [not] EXPECTATION`... Set-up steps (seed, faults, fps, hour,
  // start) go before the first load, the others after it.
  Result step(std::string_view steps, Where at = Where::here());
  // `expect EXPECTATION`: e.g. "3 live a_m_m_valtownfolk_01", "no violation".
  Result expect(std::string_view expectation, Where at = Where::here());

  // Ends the run as the game's exit does: each plug-in unloads. Fails when
  // that broke the host's rules.
  Result finish(Where at = Where::here());

  // What happened so far.
  std::vector<Entry> journal() const;
  std::vector<Entry> journal(std::string_view kind) const;
  // Things made over the run, of a kind and by an owner ("" for any).
  std::vector<Thing> things(std::string_view kind = {}, std::string_view owner = {}) const;
  std::vector<Thing> live_things(std::string_view kind = {}, std::string_view owner = {}) const;
  std::vector<Prompt> prompts_offered() const;
  std::vector<Text> texts_drawn() const;
  std::vector<Line> lines_said() const;
  int cash() const;  // the player's money, in cents
  std::vector<std::string> violations() const;
  uint64_t frame() const;

 private:
  struct Run;
  std::unique_ptr<Run> run_;
};

}  // namespace standin
