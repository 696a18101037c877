// The host as a plug-in of someone else's meets it: every export there,
// natively and in the Windows DLL; a plug-in's life from load to unload on
// the timeline, the same under wine; the rules of loading and unloading; and
// a plug-in the system loader would refuse, refused before wine runs it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "pe_file.h"
#include "play_runs.h"

namespace play_test {
namespace {

namespace fs = std::filesystem;

std::string scenario_file(const std::string& name, const std::string& text) {
  const fs::path path = output_file(name + ".scenario");
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// The reference table's functions, by decorated name.
std::vector<std::pair<std::string, std::string>> host_exports() {
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream table(read_file(HOST_EXPORTS_TSV));
  std::string line;
  std::getline(table, line);  // the header
  while (std::getline(table, line)) {
    const auto tab = line.find('\t');
    const auto next = line.find('\t', tab + 1);
    if (tab != std::string::npos)
      rows.emplace_back(line.substr(0, tab), line.substr(tab + 1, next - tab - 1));
  }
  return rows;
}

TEST(HostDll, TheNativeLibraryAndTheWindowsDllExportEveryNameOfTheHost) {
  const auto rows = host_exports();
  ASSERT_EQ(rows.size(), 17u);
  std::set<std::string> decorated;
  for (const auto& [name, function] : rows) {
    decorated.insert(name);
    // C has one scriptUnregister: the older form, by entry, has a name of its own.
    const bool older = name == "?scriptUnregister@@YAXP6AXXZ@Z";
    const std::string plain = older ? "scriptUnregisterEntry" : function;
    EXPECT_NE(dlsym(RTLD_DEFAULT, plain.c_str()), nullptr) << plain << " is not exported natively";
  }
  ASSERT_TRUE(fs::exists(HOST_DLL)) << "build the 'windows' preset first";
  const play::PeTables dll = play::read_pe_tables(HOST_DLL);
  ASSERT_EQ(dll.error, "");
  std::set<std::string> exported(dll.exports.begin(), dll.exports.end());
  EXPECT_EQ(exported, decorated);
}

// Layers point one way: the host and the game include nothing of the tool
// that drives them, so the DLL a plug-in is played with holds them alone.
TEST(Layers, TheHostIncludesNothingOfTheToolThatDrivesIt) {
  const fs::path root = fs::path(SCENARIOS_DIR).parent_path();
  std::set<std::string> tools;
  for (const auto& f : fs::directory_iterator(root / "tools" / "play")) {
    tools.insert(f.path().filename().string());
  }
  ASSERT_TRUE(tools.count("play.h") && tools.count("scenario.h"));
  size_t read = 0;
  for (const auto& f : fs::recursive_directory_iterator(root / "sim")) {
    const std::string ext = f.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++read;
    std::istringstream lines(read_file(f.path().string()));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("#include \"", 0) != 0) continue;
      const std::string included =
          fs::path(line.substr(10, line.find('"', 10) - 10)).filename().string();
      EXPECT_FALSE(tools.count(included) != 0 && !fs::exists(f.path().parent_path() / included))
          << f.path() << " includes play's " << included;
    }
  }
  EXPECT_GT(read, 40u);
}

const char* exports_scenario = "start at 1 2 3\nwait 3 s\nexpect no violation\n";

// The timeline of a plug-in that uses every kind of export, as the native
// and the Windows build print it: the plug-in's file differs, nothing else.
TEST(HostDll, APlugInsLifeAndItsGlobalsAreOnTheTimelineAlikeNativelyAndUnderWine) {
  play::Options options;
  options.scenario = scenario_file("exports", exports_scenario);
  options.plugin = {EXPORTS_PROBE_PLUGIN};
  options.verbose = true;
  const PlayRun native = play_here(options);
  ASSERT_EQ(native.status, 0) << native.err << native.out;
  const std::string p = "exports_probe.so";
  // In the order they happen.
  const std::vector<std::string> expected = {
      "script 1 of " + p + " registered",
      "script 2 of " + p + " registered (an additional thread)",
      "keyboard handler of " + p + " registered",
      "plug-in " + p + " loaded",
      "script 1 of " + p + " started",
      "| getGlobalPtr(1000) = 0",
      "| global 1000 written: 0 -> 1 by script 1 of " + p,  // the player's ped
      "| global 1002 written: 0 -> 1 by script 1 of " + p,  // its record came zeroed
      "| global 1003 written: 0 -> 1491 by script 1 of " + p,
      "script 2 of " + p + " started",
      "| global 1001 written: 0 -> 1 by script 2 of " + p,
      "| global 1001 written: 1 -> 2 by script 2 of " + p,
      "script 2 of " + p + " unregistered",
      "script 1 of " + p + " returned; the host ends it",
      "| global 1002 written: 1 -> 2 by script 1 of " + p,  // the record kept its byte
      "ok 3: expect no violation",
      "script 1 of " + p + " unregistered",
      "keyboard handler of " + p + " unregistered",
      "plug-in " + p + " unloaded",
      "end of ",
  };
  size_t from = 0;
  for (const std::string& event : expected) {
    const size_t at = native.out.find(event, from);
    ASSERT_NE(at, std::string::npos) << "no \"" << event << "\" after what came before in\n"
                                     << native.out;
    from = at + event.size();
  }

  ASSERT_TRUE(fs::exists(EXPORTS_PROBE_ASI)) << "build the 'windows' preset first";
  expect_same_under_wine(native, EXPORTS_PROBE_ASI, "--verbose '" + options.scenario + "'");
}

TEST(Host, ScriptsOrHandlersLeftBehindTwiceRegisteredOrNativesAtLoadOrUnloadAreViolations) {
  play::Options options;
  options.scenario = scenario_file("lifecycle", "start at 1 2 3\nwait 10 frames\n");
  options.plugin = {LIFECYCLE_BREACH_PLUGIN};
  const PlayRun run = play_here(options);
  EXPECT_EQ(run.status, 1);
  const std::string p = "lifecycle_breach.so";
  for (const std::string& violation :
       {"PROTOCOL VIOLATION: scriptRegister: script 1 of " + p + " is registered twice",
        std::string("PROTOCOL VIOLATION: native call outside the script context"),
        "PROTOCOL VIOLATION: a native called during the unload of " + p,
        "PROTOCOL VIOLATION: script 2 of " + p + " is still registered after its plug-in's unload",
        "PROTOCOL VIOLATION: a keyboard handler of " + p +
            " is still registered after its unload"}) {
    EXPECT_NE(run.out.find(violation), std::string::npos) << violation << "\n" << run.out;
  }
  EXPECT_NE(run.out.find("plug-in " + p + " unloaded"), std::string::npos);
}

// A copy of a real plug-in with one name in its import table changed, as the
// loader would meet it; the same length keeps every offset.
fs::path patched_plugin(const std::string& from, const std::string& to) {
  std::string bytes = read_file(CINEMA_ASI);
  const size_t at = bytes.find(from);
  if (at == std::string::npos) return {};
  bytes.replace(at, from.size(), to);
  const fs::path dir = output_file("patched_" + to);
  fs::remove_all(dir);  // nothing beside it from an earlier run
  fs::create_directories(dir);
  std::ofstream(dir / "cinema.asi", std::ios::binary) << bytes;
  return dir / "cinema.asi";
}

TEST(HostDll, APlugInTheLoaderWouldRefuseEndsTheRunWithTheNameItLacks) {
  ASSERT_TRUE(fs::exists(CINEMA_ASI)) << "build the 'windows' preset first";
  const std::string scenario =
      scenario_file("refused", "deliverable cinema\nstart at post\nwait 1 s\n");

  const fs::path unexported = patched_plugin("?scriptWait@@YAXK@Z", "?scriptWake@@YAXK@Z");
  ASSERT_FALSE(unexported.empty());
  const PlayRun missing_export =
      play_command("--asi '" + unexported.string() + "' '" + scenario + "'");
  EXPECT_EQ(missing_export.status, 1);
  EXPECT_EQ(missing_export.out,
            "play: cinema.asi imports ?scriptWake@@YAXK@Z from ScriptHookRDR2.dll, which the host "
            "does not export\n");

  // In a game folder the host's DLL lies beside the plug-in: its exports
  // still decide, not the file's being there.
  std::ofstream(unexported.parent_path() / "ScriptHookRDR2.dll") << "";
  const auto host_exports = play::read_pe_tables(HOST_DLL).exports;
  EXPECT_EQ(play::unresolved_imports(unexported.string(), host_exports, WINE_DLL_DIR),
            std::vector<std::string>{"cinema.asi imports ?scriptWake@@YAXK@Z from "
                                     "ScriptHookRDR2.dll, which the host does not export"});

  const fs::path unknown_dll = patched_plugin("msvcrt.dll", "msvcrq.dll");
  ASSERT_FALSE(unknown_dll.empty());
  const PlayRun missing_dll =
      play_command("--asi '" + unknown_dll.string() + "' '" + scenario + "'");
  EXPECT_EQ(missing_dll.status, 1);
  EXPECT_EQ(missing_dll.out, "play: cinema.asi imports msvcrq.dll, which cannot be found\n");

  // The same DLL beside the plug-in is found there, whatever its case.
  std::ofstream(unknown_dll.parent_path() / "MSVCRQ.DLL") << "";
  const auto exports = play::read_pe_tables(HOST_DLL).exports;
  EXPECT_EQ(play::unresolved_imports(unknown_dll.string(), exports, WINE_DLL_DIR),
            std::vector<std::string>{});
  EXPECT_EQ(play::unresolved_imports(CINEMA_ASI, exports, WINE_DLL_DIR),
            std::vector<std::string>{});
  EXPECT_EQ(play::unresolved_imports(HOST_EXPORTS_TSV, exports, WINE_DLL_DIR),
            std::vector<std::string>{"host-exports.tsv is not a readable PE file"});
}

}  // namespace
}  // namespace play_test
