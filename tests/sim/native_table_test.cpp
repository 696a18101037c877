// The stand-in knows every native the plug-ins call, as the game's public
// native database lists them, and the natives the host answers itself.

#include "native_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "host_natives.h"
#include "native_row.h"
#include "reference_natives.h"

namespace {

struct Reference {
  std::string name;
  int param_count = 0;
  std::vector<std::string> param_types;
  std::string return_type;
};

std::map<uint64_t, Reference> read_reference() {
  std::map<uint64_t, Reference> natives;
  std::ifstream in(NATIVES_TSV);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string hash, space, types;
    Reference r;
    std::string count;
    std::getline(fields, hash, '\t');
    std::getline(fields, space, '\t');
    std::getline(fields, r.name, '\t');
    std::getline(fields, count, '\t');
    std::getline(fields, r.return_type, '\t');
    std::getline(fields, types, '\t');
    r.param_count = std::stoi(count);
    std::istringstream list(types);
    for (std::string t; std::getline(list, t, ',');) r.param_types.push_back(t);
    natives[std::stoull(hash, nullptr, 16)] = r;
  }
  return natives;
}

// The letters a parameter of each reference type may take.
std::string letters_for(const std::string& type) {
  if (type == "float") return "f";
  if (type == "BOOL") return "b";
  if (type == "const char*") return "sz";
  if (type == "Entity*" || type == "Ped*" || type == "Blip*") return "h";
  if (type.back() == '*') return "p";
  if (type == "variadic") return "s.";
  return "ix";  // integers, handles, hashes
}

TEST(NativeTable, MatchesTheReferenceNativeForNative) {
  const auto reference = read_reference();
  ASSERT_GT(reference.size(), 100u);
  for (const auto& [hash, ref] : reference) {
    SCOPED_TRACE(ref.name);
    const sim::NativeRow* row = sim::find_native(hash);
    ASSERT_NE(row, nullptr) << "the stand-in does not know " << ref.name;
    EXPECT_EQ(std::string(row->name), ref.name);
    const std::string params(row->params);
    if (ref.name == "VAR_STRING") {
      EXPECT_EQ(params, "is.") << "a flags word, a format name, then any arguments";
      continue;
    }
    ASSERT_EQ(static_cast<int>(params.size()), ref.param_count);
    for (size_t n = 0; n < params.size(); ++n) {
      EXPECT_NE(letters_for(ref.param_types[n]).find(params[n]), std::string::npos)
          << "parameter " << n + 1 << " (" << ref.param_types[n] << ") is '" << params[n] << "'";
    }
  }
  // The world simulates more than our plug-ins call; the game's whole table
  // checks those rows (below).
}

TEST(NativeTable, EachNativeHasOneRowInTheWorld) {
  for (size_t n = 1; n < sim::native_row_count(); ++n) {
    const sim::NativeRow& row = sim::native_rows_begin()[n];
    EXPECT_NE(sim::native_rows_begin()[n - 1].hash, row.hash) << row.name << " twice";
  }
}

// More natives than the lookup keeps, many sharing the low bits of their
// hashes: each is found as itself, the first time and again.
TEST(NativeTable, EveryNativeOfTheGameIsFoundAsItselfTimeAndAgain) {
  std::vector<uint64_t> hashes;
  sim::each_reference_line([&](const sim::ReferenceLine& l) { hashes.push_back(l.hash); });
  ASSERT_GT(hashes.size(), 4096u);
  for (int round = 0; round < 2; ++round) {
    for (uint64_t hash : hashes) {
      const sim::FoundRow found = sim::native_row(hash);
      ASSERT_TRUE(found) << sim::hex_text(hash);
      ASSERT_EQ(found.row->hash, hash);
    }
  }
  EXPECT_FALSE(sim::native_row(0x0123456789ABCDEFull)) << "no table knows it";
}

TEST(NativeTable, TheHostsOwnNativesAreThoseItsTableLists) {
  std::ifstream in(HOST_NATIVES_TSV);
  std::string line;
  std::getline(in, line);  // header
  size_t rows = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string hash, name, count, types, what;
    std::getline(fields, hash, '\t');
    std::getline(fields, name, '\t');
    std::getline(fields, count, '\t');
    std::getline(fields, types, '\t');
    std::getline(fields, what, '\t');
    SCOPED_TRACE(name);
    ++rows;
    const sim::NativeRow* row = sim::host_native_row(std::stoull(hash, nullptr, 16));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, name);
    EXPECT_EQ(std::to_string(std::string(row->params).size()), count);
    EXPECT_EQ(sim::find_native(row->hash), nullptr) << "the game no longer has it";
    const size_t sent_on = what.find("(0x");
    for (const sim::HostNative& n : sim::host_natives()) {
      if (&n.row != row) continue;
      if (sent_on == std::string::npos) {
        EXPECT_EQ(n.sent_to, 0u) << "the host answers it";
        EXPECT_NE(row->handler, nullptr);
      } else {
        EXPECT_EQ(n.sent_to, std::stoull(what.substr(sent_on + 1, 18), nullptr, 16));
        ASSERT_NE(sim::find_native(n.sent_to), nullptr) << "the world simulates the replacement";
        EXPECT_EQ(std::string(sim::find_native(n.sent_to)->params), row->params);
      }
    }
  }
  EXPECT_EQ(rows, 5u);
  EXPECT_EQ(sim::host_natives().size(), rows);
}

TEST(NativeTable, TheGamesWholeTableIsBuiltInAndAgreesWithTheSimulatedRows) {
  std::ifstream in(NATIVES_ALL_TSV, std::ios::binary);
  std::ostringstream file;
  file << in.rdbuf();
  ASSERT_GT(file.str().size(), 100000u) << "cannot read " << NATIVES_ALL_TSV;
  EXPECT_TRUE(file.str() == sim::reference_natives_tsv()) << "rebuild: the built-in table is stale";
  for (size_t n = 0; n < sim::native_row_count(); ++n) {
    const sim::NativeRow& simulated = sim::native_rows_begin()[n];
    const sim::NativeRow* game = sim::reference_row(simulated.hash);
    ASSERT_NE(game, nullptr) << simulated.name << " is not in the game's table";
    EXPECT_STREQ(game->name, simulated.name);
    if (std::string(simulated.name) == "VAR_STRING") continue;  // its format is one of the rest
    EXPECT_EQ(std::string(game->params).size(), std::string(simulated.params).size())
        << simulated.name;
  }
  EXPECT_EQ(sim::reference_row(0x1234567812345678ULL), nullptr);
  EXPECT_EQ(sim::reference_row_named("SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT")->hash,
            0xDF993EE5E90ABA25ULL);
}

// The world's row wins over the game's table that also lists it, and the
// host's own over the game's row under the same hash: a call to the host's
// _DISPLAY_TEXT is sent on, not answered 0.
TEST(NativeRow, IsTheWorldsThenTheHostsThenTheGames) {
  const sim::FoundRow simulated = sim::native_row(0x16794E044C9EFB58ULL);
  ASSERT_TRUE(simulated);
  EXPECT_EQ(simulated.from, sim::RowSource::world);
  EXPECT_STREQ(simulated.row->name, "_BG_DISPLAY_TEXT");
  EXPECT_TRUE(simulated.simulated());

  ASSERT_NE(sim::reference_row(0xD79334A4BB99BAD1ULL), nullptr) << "the game lists it too";
  const sim::FoundRow hosts = sim::native_row(0xD79334A4BB99BAD1ULL);
  EXPECT_EQ(hosts.from, sim::RowSource::host);
  EXPECT_TRUE(hosts.simulated());

  const sim::FoundRow checked = sim::native_row(0xDF993EE5E90ABA25ULL);
  EXPECT_EQ(checked.from, sim::RowSource::reference);
  EXPECT_STREQ(checked.row->name, "SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT");
  EXPECT_FALSE(checked.simulated());

  EXPECT_FALSE(sim::native_row(0x1234567812345678ULL));
  EXPECT_FALSE(sim::native_row(0x1234567812345678ULL).simulated());
  // Asked again, from the cache: the same answers.
  EXPECT_EQ(sim::native_row(0xD79334A4BB99BAD1ULL).from, sim::RowSource::host);
  EXPECT_EQ(sim::native_row(0xDF993EE5E90ABA25ULL).from, sim::RowSource::reference);
}

TEST(NativeRow, ByNameInTheSameOrder) {
  EXPECT_EQ(sim::native_row_named("_BG_DISPLAY_TEXT").from, sim::RowSource::world);
  EXPECT_EQ(sim::native_row_named("SET_TEXT_CENTRE").from, sim::RowSource::host);
  EXPECT_EQ(sim::native_row_named("_DISPLAY_TEXT").from, sim::RowSource::host);
  EXPECT_EQ(sim::native_row_named("SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT").row->hash,
            0xDF993EE5E90ABA25ULL);
  EXPECT_FALSE(sim::native_row_named("NO_SUCH_NATIVE"));
}

}  // namespace
