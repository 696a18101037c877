// What a player's game loads: each .asi imports the host's eight exports
// under their decorated names, and nothing beyond KERNEL32 and msvcrt.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace {

// DLL name -> names imported from it, as objdump reads the import table.
std::map<std::string, std::set<std::string>> imports_of(const std::string& file) {
  std::map<std::string, std::set<std::string>> imports;
  const std::string command = "x86_64-w64-mingw32-objdump -p '" + file + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return imports;
  std::array<char, 1024> line;
  std::string dll;
  while (fgets(line.data(), line.size(), pipe) != nullptr) {
    std::string text = line.data();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (const auto at = text.find("DLL Name: "); at != std::string::npos) {
      dll = text.substr(at + 10);
      imports[dll];
    } else if (text.empty()) {
      dll.clear();
    } else if (!dll.empty()) {
      // "\t<vma>\t<hint>  <name>" rows follow each DLL name
      const auto last_space = text.find_last_of(" \t");
      if (last_space != std::string::npos && text.find("vma:") == std::string::npos) {
        imports[dll].insert(text.substr(last_space + 1));
      }
    }
  }
  pclose(pipe);
  return imports;
}

class Deliverable : public ::testing::TestWithParam<const char*> {};

TEST_P(Deliverable, ImportsOnlyTheHostKernel32AndMsvcrt) {
  ASSERT_TRUE(std::filesystem::exists(GetParam())) << "build the 'windows' preset first";
  const auto imports = imports_of(GetParam());
  std::set<std::string> dlls;
  for (const auto& [dll, names] : imports) dlls.insert(dll);
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
  ASSERT_TRUE(imports.count("ScriptHookRDR2.dll"));
  EXPECT_EQ(imports.at("ScriptHookRDR2.dll"), host);
}

INSTANTIATE_TEST_SUITE_P(Dist, Deliverable, ::testing::Values(CINEMA_ASI, TOYTRAIN_ASI));

}  // namespace
