// The stand-in's DLL in a game's process: loaded by anything but the
// stand-in's runner, it says in one line that it is not the real host, and a
// mod that calls it at load crashes nothing. The runner beside it plays.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "command.h"

namespace {

namespace fs = std::filesystem;

const char said[] =
    "This ScriptHookRDR2.dll is the stand-in's, for testing mods without the game; it does "
    "nothing in the game. Install the real host.";

// A folder of its own, as a game's or a modder's: the DLL's log goes beside it.
fs::path folder_with(const std::string& name, std::initializer_list<const char*> files) {
  const fs::path dir = fs::path(TEST_OUTPUT_DIR) / "game_process" / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* file : files) {
    EXPECT_TRUE(fs::exists(file)) << file << " is missing: build the 'windows' preset first";
    fs::copy_file(file, dir / fs::path(file).filename());
  }
  return dir;
}

CommandRun wine_in(const fs::path& dir, const std::string& arguments) {
  return run_under_wine("cd '" + dir.string() + "' && WINEDEBUG=-all WINEPREFIX='" + WINE_PREFIX +
                        "' '" + WINE64 + "' " + arguments + " 2>&1");
}

std::string log_of(const fs::path& dir) {
  std::ifstream in(dir / "ScriptHookRDR2.log", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(GameProcessUnderWine, TheDllSaysOnceAtEachLoadThatItIsNotTheHostAndTheGameGoesOn) {
  const fs::path game = folder_with("game", {HOST_DLL, GAME_EXE, GAME_MOD_ASI});
  const CommandRun first = wine_in(game, "game.exe ScriptHookRDR2.dll game_mod.asi");
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_EQ(first.output, "the game goes on\r\n");  // its console's line end
  EXPECT_EQ(log_of(game), std::string(said) + "\r\n");
  // The game started again: the line again, after the first.
  const CommandRun second = wine_in(game, "game.exe ScriptHookRDR2.dll game_mod.asi");
  EXPECT_EQ(second.status, 0) << second.output;
  EXPECT_EQ(log_of(game), std::string(said) + "\r\n" + said + "\r\n");
}

TEST(GameProcessUnderWine, TheRunnerRenamedIsStillTheStandInsAndPlays) {
  const fs::path dir = folder_with("modder", {HOST_DLL, WINDOWS_RUNNER, CINEMA_ASI});
  fs::rename(dir / "runner.exe", dir / "play.exe");
  std::ofstream(dir / "a.scenario")
      << "deliverable cinema\nstart at 3 m west of post\nwait until 8 live chair within 10 s\n";
  const CommandRun run = wine_in(dir, "play.exe --asi cinema.asi a.scenario");
  EXPECT_EQ(run.output.find("Install the real host"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("frames: "), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(dir / "ScriptHookRDR2.log"));
}

}  // namespace
