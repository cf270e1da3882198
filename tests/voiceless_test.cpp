#include <gtest/gtest.h>

#include "model/messages.h"
#include "support/writer_fixture.h"

namespace pelisto::test {
namespace {

TEST(VoicelessTransform, ClearsTheBitsEachByteSharesWithTheOtherChannel) {
  const std::pair<std::vector<uint8_t>, std::vector<uint8_t>> cases[] = {
      {{0x34, 0x12, 0x34, 0x12}, {0, 0, 0, 0}},              // equal channels
      {{0xFF, 0x00, 0x0F, 0x0F}, {0xF0, 0x00, 0x00, 0x0F}},  // left 0x00FF, right 0x0F0F
      {{0x80, 0x7F, 0x7F, 0x80}, {0x80, 0x7F, 0x7F, 0x80}},  // nothing shared: unchanged
      // three frames: two through the paired path, one alone
      {{0xFF, 0xFF, 0x01, 0x80, 0x0F, 0xF0, 0xFF, 0xFF, 0xAA, 0x55, 0xA0, 0x05},
       {0xFE, 0x7F, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x0F, 0x0A, 0x50, 0x00, 0x00}},
  };
  for (const auto& [in, expected] : cases) {
    std::vector<uint8_t> out(in.size());
    voicelessTransform(in.data(), out.data(), in.size());
    EXPECT_EQ(out, expected);
    std::vector<uint8_t> inPlace = in;
    voicelessTransform(inPlace.data(), inPlace.data(), inPlace.size());
    EXPECT_EQ(inPlace, expected);
  }
}

class VoicelessMarking : public WriterFixture {
 protected:
  void SetUp() override {
    WriterFixture::SetUp();
    a = addSource("/w/a.wav", patternData(40000));
    app.openWave("/w/a.wav");
    addRange("/w/a.wav", 0, 441);
    addRange("/w/a.wav", 441, 882);
  }
  void mark(int line, ScriptedAnswer::Kind answer) {
    app.ui.select(line);
    app.ui.queueAnswer({answer, ""});
    app.transcript.clear();
    BUTTON14_ON(app.ctx);
  }
  int32_t flag(int row) const { return app.ctx.state.EDITDATA[row][5]; }
  std::vector<uint8_t> a;
};

TEST_F(VoicelessMarking, WithoutASelectionNothingIsAsked) {
  app.ui.select(-1);
  app.transcript.clear();
  BUTTON14_ON(app.ctx);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{std::string("message: ") + kMsgSelectRange}));
  EXPECT_EQ(flag(0), 0);
  EXPECT_EQ(flag(1), 0);
}

TEST_F(VoicelessMarking, YesSetsNoClearsCancelKeeps) {
  mark(1, ScriptedAnswer::kYes);
  EXPECT_EQ(app.lines(), (std::vector<std::string>{"question: ボイスレスで再生しますか"}));
  EXPECT_EQ(flag(1), 1);
  mark(1, ScriptedAnswer::kCancel);
  EXPECT_EQ(flag(1), 1);
  mark(1, ScriptedAnswer::kNo);
  EXPECT_EQ(flag(1), 0);
  mark(1, ScriptedAnswer::kCancel);
  EXPECT_EQ(flag(1), 0);
  EXPECT_EQ(flag(0), 0);
  EXPECT_EQ(app.ui.selected(), 1);
}

TEST_F(VoicelessMarking, OnlyTheMarkedEntryIsWrittenVoiceless) {
  mark(0, ScriptedAnswer::kYes);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), join(voiceless(slice(a, 0, 1764)), slice(a, 1764, 1764)));
  // Yes and then No: copied unchanged.
  app.ctx.state.PLAYFLAG = 0;
  mark(0, ScriptedAnswer::kNo);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), slice(a, 0, 3528));
}

TEST_F(VoicelessMarking, ABlankCanBeMarkedAndStaysSilent) {
  addBlank(441);
  mark(2, ScriptedAnswer::kYes);
  EXPECT_EQ(flag(2), 1);
  write("/w/out.wav");
  EXPECT_EQ(payload("/w/out.wav"), join(slice(a, 0, 3528), std::vector<uint8_t>(1764, 0)));
}

}  // namespace
}  // namespace pelisto::test
