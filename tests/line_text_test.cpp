#include <gtest/gtest.h>

#include "model/line_text.h"
#include "platform/text.h"
#include "support/edit_list_app.h"

namespace pelisto::test {
namespace {

const std::string kTilde = "\x81\x60";  // ～ in CP932
const std::string kByou = "\x95\x62";   // 秒 in CP932

std::string blanks(size_t n) { return std::string(n, ' '); }

AppState withRow(const std::string& name, int32_t startMs, int32_t endMs) {
  AppState s;
  s.EDITFILE[3] = {"/x/" + name, name};
  s.EDITDATA[3][2] = startMs;
  s.EDITDATA[3][3] = endMs;
  return s;
}

TEST(LineText, SecondsPattern) {
  struct Case {
    int32_t ms;
    const char* text;
  } cases[] = {
      {0, "   0.000"},         {250, "   0.250"},          {1500, "   1.500"},
      {61999, "  61.999"},     {9999999, "9999.999"},      {10000000, "%10000.000"},
      {10000500, "%10000.500"}, {-250, "  -0.250"},        {-1750, "  -1.750"},
      {-999999, "-999.999"},   {-1000000, "%-1000.000"},
      {INT32_MIN, "%-2147483.648"}, {INT32_MAX, "%2147483.647"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatSeconds(c.ms), c.text) << c.ms;
}

TEST(LineText, PendingAndFinishedLinesAsBytes) {
  AppState s = withRow("a.wav", 1500, 3250);
  const std::string name = "a.wav" + blanks(27);
  std::string pending = cp932(pendingLine(s, 3));
  EXPECT_EQ(pending, name + " " + "   1.500" + " " + kTilde + " " + blanks(8) + " ");
  EXPECT_EQ(pending.size(), 54u);
  std::string finished = cp932(finishedLine(s, 3));
  EXPECT_EQ(finished, name + " " + "   1.500" + " " + kTilde + " " + "   3.250" + " " +
                          "   1.750" + " " + kByou + " ");
  EXPECT_EQ(finished.size(), 66u);
}

TEST(LineText, NameColumnIsAlways32Bytes) {
  struct Case {
    const char* name;
    const char* column;
  } cases[] = {
      {"", "                                "},
      {"abcdefghijklmnopqrstuvwxyz0123456789.wav", "abcdefghijklmnopqrstuvwxyz012345"},
      // 1 + 16 × 2 bytes: the last double-byte character would straddle
      // byte 32 and becomes a blank.
      {"x音声声声声声声声声声声声声声声声", "x音声声声声声声声声声声声声声声 "},
      {"音声声声声声声声声声声声声声声声", "音声声声声声声声声声声声声声声声"},
  };
  for (const Case& c : cases) {
    std::string col = cp932(nameColumn(c.name));
    EXPECT_EQ(col, cp932(c.column)) << c.name;
    EXPECT_EQ(col.size(), 32u) << c.name;
  }
}

TEST(LineText, NegativeLengthAndPercentForm) {
  AppState back = withRow("b.wav", 3250, 1500);
  EXPECT_EQ(finishedLine(back, 3).substr(32),
            std::string(" ") + "   3.250" + " ～ " + "   1.500" + " " + "  -1.750" + " 秒 ");
  AppState late = withRow("b.wav", 10000000, 10001250);
  EXPECT_EQ(finishedLine(late, 3).substr(32),
            std::string(" ") + "%10000.000" + " ～ " + "%10001.250" + " " + "   1.250" + " 秒 ");
  EXPECT_EQ(pendingLine(late, 3).substr(32), " %10000.000 ～ " + blanks(8) + " ");
}

}  // namespace
}  // namespace pelisto::test
