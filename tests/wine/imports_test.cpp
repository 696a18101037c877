// What a player gets: each .asi imports the host's eight exports under their
// decorated names and nothing beyond KERNEL32 and msvcrt, exports nothing,
// and carries the project's version; the release archive holds both with
// their README.txt and LICENSE, and SHA256SUMS vouches for all three files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command.h"
#include "pe_file.h"

namespace {

namespace fs = std::filesystem;

struct CommandOutput {
  int status = -1;
  std::vector<std::string> lines;
};

// A command's status and output, a line each, with its stderr among them.
CommandOutput run(const std::string& command) {
  const CommandRun run = run_command(command + " 2>&1");
  CommandOutput out;
  out.status = run.status;
  std::istringstream text(run.output);
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.lines.push_back(line);
  }
  return out;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string trimmed(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The version resource as the resource compiler decompiles it: the numeric
// FILEVERSION and the "StringFileInfo" values.
struct VersionInfo {
  std::string file_version;
  std::map<std::string, std::string> values;
};

VersionInfo version_of(const fs::path& file) {
  VersionInfo info;
  const auto out = run("x86_64-w64-mingw32-windres -J coff -O rc -i " + quoted(file));
  if (out.status != 0) return info;
  for (const auto& line : out.lines) {
    const std::string text = trimmed(line);
    if (text.rfind("FILEVERSION ", 0) == 0) info.file_version = text.substr(12);
    // VALUE "<key>", "<value>"
    if (text.rfind("VALUE \"", 0) != 0) continue;
    const auto key_end = text.find('"', 7);
    const auto value_start = text.find(", \"", key_end);
    if (key_end == std::string::npos || value_start == std::string::npos) continue;
    if (text.back() != '"') continue;
    info.values[text.substr(7, key_end - 7)] =
        text.substr(value_start + 3, text.size() - value_start - 4);
  }
  return info;
}

// "1.0.0" as the resource's four numbers read back: "1, 0, 0, 0".
std::string four_numbers(const std::string& version) {
  std::string numbers;
  for (char c : version) numbers += c == '.' ? std::string(", ") : std::string(1, c);
  return numbers + ", 0";
}

std::string contents_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Plugin {
  const char* name;
  const char* path;
  const char* description;
};

void PrintTo(const Plugin& plugin, std::ostream* out) { *out << plugin.name; }

class Deliverable : public ::testing::TestWithParam<Plugin> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(GetParam().path))
        << GetParam().path << " is missing: build the 'windows' preset first";
  }
};

TEST_P(Deliverable, ImportsOnlyTheHostKernel32AndMsvcrt) {
  const auto tables = play::read_pe_tables(GetParam().path);
  ASSERT_EQ(tables.error, "") << GetParam().path;
  std::set<std::string> dlls;
  for (const auto& [dll, names] : tables.imports) dlls.insert(dll);
  EXPECT_EQ(dlls, (std::set<std::string>{"KERNEL32.dll", "msvcrt.dll", "ScriptHookRDR2.dll"}));
  const std::set<std::string> host = {
      "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z",
      "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z",
      "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z",
      "?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z",
      "?scriptWait@@YAXK@Z",
      "?nativeInit@@YAX_K@Z",
      "?nativePush64@@YAX_K@Z",
      "?nativeCall@@YAPEA_KXZ",
  };
  ASSERT_TRUE(tables.imports.count("ScriptHookRDR2.dll"));
  const auto& imported = tables.imports.at("ScriptHookRDR2.dll");
  EXPECT_EQ(std::set<std::string>(imported.begin(), imported.end()), host);
}

TEST_P(Deliverable, ExportsNothing) {
  const auto tables = play::read_pe_tables(GetParam().path);
  ASSERT_EQ(tables.error, "") << GetParam().path;
  EXPECT_TRUE(tables.exports.empty()) << "exported: " << joined(tables.exports);
}

TEST_P(Deliverable, CarriesTheProjectVersionAndItsDescription) {
  auto info = version_of(GetParam().path);  // a missing value reads as ""
  ASSERT_FALSE(info.values.empty()) << "no version strings in " << GetParam().path;
  EXPECT_EQ(info.file_version, four_numbers(PROJECT_VERSION));
  EXPECT_EQ(info.values["FileVersion"], PROJECT_VERSION);
  EXPECT_EQ(info.values["ProductVersion"], PROJECT_VERSION);
  EXPECT_EQ(info.values["ProductName"], "Theater and toy train plug-ins");
  EXPECT_EQ(info.values["FileDescription"], GetParam().description);
  EXPECT_EQ(info.values["OriginalFilename"], std::string(GetParam().name) + ".asi");
  EXPECT_NE(info.values["LegalCopyright"].find("MIT License"), std::string::npos)
      << "LegalCopyright: " << info.values["LegalCopyright"];
}

INSTANTIATE_TEST_SUITE_P(
    Dist, Deliverable,
    ::testing::Values(Plugin{"cinema", CINEMA_ASI, "The theater with its ticket counter and film"},
                      Plugin{"toytrain", TOYTRAIN_ASI, "The toy train on its track"}),
    [](const ::testing::TestParamInfo<Plugin>& info) { return std::string(info.param.name); });

const fs::path dist = DIST_DIR;
const std::string release = std::string("theater_plugins-") + PROJECT_VERSION;
const std::string archive = release + "-win64.zip";

TEST(Release, ChecksumsMatchTheArchiveAndBothPlugins) {
  ASSERT_TRUE(fs::exists(dist / "SHA256SUMS")) << "build the 'windows' preset first";
  std::set<std::string> listed;
  std::istringstream sums(contents_of(dist / "SHA256SUMS"));
  for (std::string line; std::getline(sums, line);) {
    const auto gap = line.find("  ");
    if (gap != std::string::npos) listed.insert(line.substr(gap + 2));
  }
  // Beside the players' files, only the modders' packages.
  for (const std::string& name : {std::string("cinema.asi"), std::string("toytrain.asi"), archive})
    EXPECT_EQ(listed.erase(name), 1u) << name << " has no checksum";
  for (const std::string& other : listed) EXPECT_EQ(other.rfind("rdr2-standin", 0), 0u) << other;
  const auto check = run("cd " + quoted(dist) + " && sha256sum -c SHA256SUMS");
  EXPECT_EQ(check.status, 0) << joined(check.lines);
}

TEST(Release, ArchiveHoldsBothPluginsTheReadmeAndTheLicence) {
  ASSERT_TRUE(fs::exists(dist / archive)) << (dist / archive) << " is missing";
  const fs::path unpacked = fs::path(testing::TempDir()) / ("release_" + std::to_string(getpid()));
  fs::remove_all(unpacked);
  fs::create_directories(unpacked);
  const auto extract = run("cd " + quoted(unpacked) + " && '" + CMAKE_PROGRAM + "' -E tar xf " +
                           quoted(dist / archive));
  ASSERT_EQ(extract.status, 0) << joined(extract.lines);

  std::set<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(unpacked)) {
    if (entry.is_regular_file()) entries.insert(fs::relative(entry.path(), unpacked).string());
  }
  EXPECT_EQ(entries, (std::set<std::string>{release + "/cinema.asi", release + "/toytrain.asi",
                                            release + "/README.txt", release + "/LICENSE"}));
  for (const char* plugin : {"cinema.asi", "toytrain.asi"}) {
    const std::string packed = contents_of(unpacked / release / plugin);
    EXPECT_FALSE(packed.empty()) << plugin << " in the archive is empty";
    EXPECT_TRUE(packed == contents_of(dist / plugin))
        << plugin << " in the archive differs from dist/" << plugin;
  }
  const std::string readme = contents_of(unpacked / release / "README.txt");
  EXPECT_NE(readme.find(std::string("version ") + PROJECT_VERSION), std::string::npos)
      << "README.txt does not name version " << PROJECT_VERSION;
  EXPECT_NE(contents_of(unpacked / release / "LICENSE").find("MIT License"), std::string::npos);
  fs::remove_all(unpacked);
}

}  // namespace
