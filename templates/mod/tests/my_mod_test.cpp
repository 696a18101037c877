// My mod's tests in C++: a fresh game each, the mod's native build loaded
// into it, driven with a scenario's steps and read as records.

#include <gtest/gtest.h>
#include <rdr2-standin/testing.h>

TEST(MyMod, SaysHelloWhenF5IsPressed) {
  standin::Game game;
  game.step("start at -2361.5 -2395.1 62.1");
  ASSERT_TRUE(game.load(MY_MOD_PLUGIN));
  EXPECT_TRUE(game.step(R"(
    wait 1 s
    expect not text "Hello x1" drawn
    hold F5 for 0.05 s
    wait 1 frames
  )"));
  EXPECT_TRUE(game.expect("text \"Hello x1\" drawn"));
  // The same, as a record: who drew it, where and how.
  const auto texts = game.texts_drawn();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back().text, "Hello x1");
  EXPECT_EQ(texts.back().plugin, "my_mod");
  EXPECT_FLOAT_EQ(texts.back().x, 0.5f);
}

TEST(MyMod, MakesNothingAndUnloadsCleanly) {
  standin::Game game;
  ASSERT_TRUE(game.load(MY_MOD_PLUGIN));
  EXPECT_TRUE(game.step("hold F5 for 0.05 s\nwait 1 s"));
  EXPECT_TRUE(game.things("", "my_mod").empty());
  EXPECT_TRUE(game.finish());
  EXPECT_TRUE(game.violations().empty());
}
