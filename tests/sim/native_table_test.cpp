// The stand-in knows every native the plug-ins call, and the natives the
// host answers itself; each row takes its hash, name and argument kinds from
// the game's public native database, and checks an argument otherwise only
// where it says so.

#include "native_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "host_natives.h"
#include "native_row.h"
#include "reference_natives.h"

namespace {

struct PluginNative {
  uint64_t hash;
  const char* name;
};
const PluginNative plugin_natives[] = {
#define TOOLKIT_NATIVE(word, hash, name) {hash, name},
#include "toolkit_natives.def"
#undef TOOLKIT_NATIVE
};

TEST(NativeTable, SimulatesEveryNativeThePluginsCall) {
  ASSERT_GT(std::size(plugin_natives), 100u);
  for (const PluginNative& n : plugin_natives) {
    const sim::NativeRow* row = sim::find_native(n.hash);
    ASSERT_NE(row, nullptr) << "the stand-in does not simulate " << n.name;
    EXPECT_STREQ(row->name, n.name);
  }
}

TEST(NativeTable, ReadsTheReferencesTypesAsTheHostChecksThem) {
  EXPECT_EQ(sim::param_letters("Ped,Hash,float,BOOL,const char*"), "iifbs");
  EXPECT_EQ(sim::param_letters("Any,Ped*,Blip*,int*,Vector3*,variadic"), "ahhpp.");
  EXPECT_EQ(sim::param_letters(""), "");
  EXPECT_EQ(sim::result_letter("void"), 'v');
  EXPECT_EQ(sim::result_letter("Vector3"), 'V');
  EXPECT_EQ(sim::result_letter("const char*"), 's');
  EXPECT_EQ(sim::result_letter("Prompt"), 'i');
  const sim::NativeRow* create_ped = sim::find_native_named("CREATE_PED");
  ASSERT_NE(create_ped, nullptr);
  EXPECT_EQ(create_ped->params, "iffffbbbb") << "Hash, four floats, four BOOLs";
  EXPECT_EQ(create_ped->result, 'i');
}

// The rows that check an argument otherwise than the reference's type reads.
const std::set<std::string> overriding = {"_CREATE_ANIM_SCENE",
                                          "_SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY",
                                          "PLAY_SOUND_FRONTEND",
                                          "_STOP_SOUND_WITH_NAME",
                                          "SET_FACIAL_IDLE_ANIM_OVERRIDE",
                                          "_UI_PROMPT_SET_ACTIVE_GROUP_THIS_FRAME",
                                          "CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY",
                                          "DISPLAY_ONSCREEN_KEYBOARD",
                                          "STOP_CURRENT_PLAYING_AMBIENT_SPEECH",
                                          "STOP_CURRENT_PLAYING_SPEECH",
                                          "VAR_STRING",
                                          "IS_STRING_NULL_OR_EMPTY"};

// Whether checking an argument of the type by the letter accepts what the
// game accepts: a text may also be null, a 32-bit integer may come
// sign-extended, and an Any is one of the 32-bit kinds.
bool sound(std::string_view type, char letter) {
  if (letter == sim::param_letter(type)) return true;
  if (type == "const char*") return letter == 'z';
  if (type == "Any") return letter == 'i' || letter == 'b' || letter == 'f' || letter == 'x';
  return sim::param_letter(type) == 'i' && letter == 'x';
}

// What is wrong with the row's letters against the types, or "".
std::string unsound(std::string_view params, std::string_view types) {
  const std::vector<std::string_view> list = sim::type_list(types);
  size_t n = 0;
  for (; n < list.size(); ++n) {
    if (list[n] == "variadic") {
      // The tail: anything, or a text and then anything.
      const std::string_view tail = n < params.size() ? params.substr(n) : "";
      return tail == "." || tail == "s." ? ""
                                         : "a variadic tail read as '" + std::string(tail) + "'";
    }
    if (n >= params.size())
      return std::to_string(list.size()) + " parameters, not " + std::to_string(params.size());
    if (!sound(list[n], params[n])) {
      return "parameter " + std::to_string(n + 1) + " (" + std::string(list[n]) + ") as '" +
             params[n] + "'";
    }
  }
  return n == params.size()
             ? ""
             : std::to_string(list.size()) + " parameters, not " + std::to_string(params.size());
}

TEST(NativeTable, EachRowIsTheReferencesOrSaysHowItChecksOtherwise) {
  std::map<uint64_t, const sim::NativeFacts*> facts;
  for (const sim::NativeFacts& f : sim::reference_facts()) facts[f.hash] = &f;
  std::set<std::string> differing;
  for (size_t n = 0; n < sim::native_row_count(); ++n) {
    const sim::NativeRow& row = sim::native_rows_begin()[n];
    SCOPED_TRACE(row.name);
    const auto f = facts.find(row.hash);
    ASSERT_NE(f, facts.end()) << "not in the game's table";
    EXPECT_STREQ(row.name, f->second->name);
    EXPECT_EQ(row.result, sim::result_letter(f->second->result));
    if (row.params != sim::param_letters(f->second->types)) differing.insert(row.name);
    EXPECT_EQ(unsound(row.params, f->second->types), "") << "checked as " << row.params;
  }
  EXPECT_EQ(differing, overriding);
}

TEST(NativeTable, EachRowChecksByLettersTheHostKnows) {
  const std::string params = {
#define PARAM_LETTER(letter, word, takes) letter,
#define RESULT_LETTER(letter, word)
#include "native_letters.def"
#undef PARAM_LETTER
#undef RESULT_LETTER
  };
  const std::string results = {
#define PARAM_LETTER(letter, word, takes)
#define RESULT_LETTER(letter, word) letter,
#include "native_letters.def"
#undef PARAM_LETTER
#undef RESULT_LETTER
  };
  std::vector<const sim::NativeRow*> rows;
  for (size_t n = 0; n < sim::native_row_count(); ++n) rows.push_back(sim::native_rows_begin() + n);
  for (const sim::HostNative& n : sim::host_natives()) rows.push_back(&n.row);
  for (const sim::NativeRow* row : rows) {
    EXPECT_EQ(row->params.find_first_not_of(params), std::string::npos)
        << row->name << " " << row->params;
    EXPECT_NE(results.find(row->result), std::string::npos) << row->name;
    const size_t tail = row->params.find('.');
    EXPECT_TRUE(tail == std::string::npos || tail + 1 == row->params.size()) << row->name;
  }
}

TEST(NativeTable, AnOverrideThatWouldRefuseWhatTheGameTakesIsUnsound) {
  EXPECT_EQ(unsound("sz", "const char*,const char*"), "");
  EXPECT_EQ(unsound("is.", "int,variadic"), "");
  EXPECT_NE(unsound("i", "float"), "") << "a float is not an integer";
  EXPECT_NE(unsound("sb", "const char*,int"), "") << "an integer is not a flag";
  EXPECT_NE(unsound("z", "Ped"), "") << "a handle is not a text";
  EXPECT_NE(unsound("ii", "int"), "") << "one parameter too many";
  EXPECT_NE(unsound("ii.", "int,variadic"), "") << "a formatter's tail opens with a text";
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
  ASSERT_GT(sim::reference_facts().size(), 4096u);
  for (int round = 0; round < 2; ++round) {
    for (const sim::NativeFacts& f : sim::reference_facts()) {
      const sim::FoundRow found = sim::native_row(f.hash);
      ASSERT_TRUE(found) << f.name;
      ASSERT_EQ(found.row->hash, f.hash);
    }
  }
  EXPECT_FALSE(sim::native_row(0x0123456789ABCDEFull)) << "no table knows it";
  EXPECT_EQ(sim::reference_row(0x1234567812345678ULL), nullptr);
  EXPECT_EQ(sim::reference_row_named("SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT")->hash,
            0xDF993EE5E90ABA25ULL);
}

TEST(NativeTable, TheHostsOwnNativesAreThoseItsTableLists) {
  ASSERT_EQ(sim::host_natives().size(), sim::host_native_facts().size());
  ASSERT_EQ(sim::host_natives().size(), 5u);
  for (const sim::HostNativeFacts& f : sim::host_native_facts()) {
    SCOPED_TRACE(f.name);
    const sim::NativeRow* row = sim::host_native_row(f.hash);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, f.name);
    EXPECT_EQ(row->params, sim::param_letters(f.types));
    EXPECT_EQ(sim::find_native(row->hash), nullptr) << "the game no longer has it";
    const sim::HostNative* own = nullptr;
    for (const sim::HostNative& n : sim::host_natives()) {
      if (&n.row == row) own = &n;
    }
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->sent_to, f.sent_to);
    if (f.sent_to == 0) {
      EXPECT_NE(row->handler, nullptr) << "the host answers it";
      continue;
    }
    EXPECT_EQ(row->handler, nullptr) << "the host sends it on";
    const sim::NativeRow* replacement = sim::find_native(f.sent_to);
    ASSERT_NE(replacement, nullptr) << "the world simulates the replacement";
    EXPECT_EQ(replacement->params, row->params);
    EXPECT_NE(std::string(f.what).find(replacement->name), std::string::npos)
        << "its table says it is sent on to " << replacement->name << ": " << f.what;
  }
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
