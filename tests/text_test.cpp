#include <gtest/gtest.h>

#include "platform/text.h"

namespace pelisto {
namespace {

TEST(Cp932, RoundTripsTheProgramsTexts) {
  for (const char* s : {"waveファイル(*.wav)", "ＰＣＭ録音以外のwaveファイルは利用出来ません",
                        "BRANK", "ｶﾀｶﾅ", "", "表示位置 ↑↓"}) {
    auto enc = toCp932(s);
    ASSERT_TRUE(enc) << s;
    auto dec = fromCp932(enc.value());
    ASSERT_TRUE(dec) << s;
    EXPECT_EQ(dec.value(), s);
  }
  EXPECT_EQ(toCp932("あA").value(), "\x82\xa0" "A");
}

TEST(Cp932, WaveDashIsFullwidthTilde) {
  EXPECT_EQ(toCp932("～").value(), "\x81\x60");
  EXPECT_EQ(fromCp932("\x81\x60").value(), "～");
}

TEST(Cp932, CharactersWithoutACodeAreRefused) {
  for (const char* s : {"ä", "😀", "a€b"}) {
    auto enc = toCp932(s);
    EXPECT_FALSE(enc) << s;
    EXPECT_EQ(enc.status().code(), StatusCode::kInvalid);
  }
  EXPECT_FALSE(fromCp932("\x82"));  // a lead byte alone
}

TEST(Cp932, WidthsCountBytes) {
  EXPECT_EQ(cp932Width("a.wav"), 5u);
  EXPECT_EQ(cp932Width("あいう"), 6u);
  EXPECT_EQ(cp932Width("ｱｲ"), 2u);  // half-width katakana: one byte each
  EXPECT_EQ(cp932Width("～"), 2u);
  EXPECT_EQ(cp932Width("😀"), 2u);  // no code: counted as one wide glyph
}

TEST(Cp932, FittingPadsAndNeverSplitsADoubleByteCharacter) {
  struct Case {
    const char* in;
    size_t width;
    const char* out;
  } cases[] = {
      {"ab", 5, "ab   "},
      {"aあい", 4, "aあ "},   // い would need bytes 4 and 5
      {"aあい", 5, "aあい"},
      {"あいう", 3, "あ "},
      {"abcdef", 3, "abc"},
      {"", 2, "  "},
      {"ｱあ", 2, "ｱ "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fitCp932(c.in, c.width), c.out) << c.in << " " << c.width;
    EXPECT_EQ(cp932Width(fitCp932(c.in, c.width)), c.width);
  }
}

}  // namespace
}  // namespace pelisto
