#include <gtest/gtest.h>

#include "project/project_format.h"
#include "support/project_bytes.h"

namespace pelisto::test {
namespace {

std::vector<uint8_t> encoded(const Project& p) {
  auto bytes = encodeProject(p);
  EXPECT_TRUE(bytes.isOk()) << bytes.status().message();
  return bytes.isOk() ? bytes.value() : std::vector<uint8_t>();
}

Result<Project> decoded(const std::vector<uint8_t>& bytes, size_t maxEntries = 101) {
  return decodeProject(bytes, maxEntries);
}

const ProjectEntry kBlank2s{{"", "BRANK"}, {0, 88200, 0, 2000, 0, 0, 0, 0}};

}  // namespace

TEST(ProjectFormat, EmptyListWithoutFileIsThirteenBytes) {
  EXPECT_EQ(encoded(Project{}), (std::vector<uint8_t>{'W', 'A', 'V', 'E', 'E', 'D', 'I', 'T', 0x01,
                                                      0x02, 0x00, 0x00, 0x1F}));
}

TEST(ProjectFormat, PathAddsItsCp932Bytes) {
  Project p;
  p.waveFileName = "/音声/a.wav";  // 音声 is 4 bytes in CP932
  auto bytes = encoded(p);
  ASSERT_EQ(bytes.size(), 13u + 11u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.end()),
            (std::vector<uint8_t>{0x00, 0x0B, '/', 0x89, 0xB9, 0x90, 0xBA, '/', 'a', '.', 'w', 'a',
                                  'v', 0x1F}));
}

TEST(ProjectFormat, TwoSecondBlankRecordExactly) {
  Project p;
  p.entries.push_back(kBlank2s);
  std::vector<uint8_t> record = {0x10, 0x00, 0x00, 0x00, 0x05, 'B', 'R', 'A', 'N', 'K',
                                 0, 0, 0, 0, 0x00, 0x01, 0x58, 0x88, 0, 0, 0, 0,
                                 0x00, 0x00, 0x07, 0xD0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> expected = ProjectBytes().head().rec("");
  expected.insert(expected.end(), record.begin(), record.end());
  expected.push_back(0x1F);
  EXPECT_EQ(encoded(p), expected);

  auto back = decoded(expected);
  ASSERT_TRUE(back.isOk());
  ASSERT_EQ(back->entries.size(), 1u);
  EXPECT_EQ(back->entries[0], kBlank2s);
}

TEST(ProjectFormat, MinorVersionOneReadsFiveNumbersAndIsWrittenAsVersionTwo) {
  std::vector<uint8_t> v1 = ProjectBytes()
                                .head(1, 1)
                                .rec("/w/a.wav")
                                .entry("/w/a.wav", "a.wav", {10, 20, 30, 40, 2})
                                .entry("", "BRANK", {0, 441, 0, 10, 0})
                                .end();
  auto p = decoded(v1);
  ASSERT_TRUE(p.isOk()) << p.status().message();
  EXPECT_EQ(p->minor, 1);
  ASSERT_EQ(p->entries.size(), 2u);
  EXPECT_EQ(p->entries[0].data, (EditDataRow{10, 20, 30, 40, 2, 0, 0, 0}));
  EXPECT_EQ(p->entries[1].data, (EditDataRow{0, 441, 0, 10, 0, 0, 0, 0}));

  std::vector<uint8_t> v2 = ProjectBytes()
                                .head(1, 2)
                                .rec("/w/a.wav")
                                .entry("/w/a.wav", "a.wav", {10, 20, 30, 40, 2, 0, 0, 0})
                                .entry("", "BRANK", {0, 441, 0, 10, 0, 0, 0, 0})
                                .end();
  EXPECT_EQ(encoded(p.value()), v2);
}

TEST(ProjectFormat, AnyByteButTheEntryMarkEndsTheList) {
  for (uint8_t b : {0x1F, 0x00, 0x11, 0xFF}) {
    auto p = decoded(ProjectBytes().head().rec("/w/a.wav").raw({b}));
    ASSERT_TRUE(p.isOk()) << int(b);
    EXPECT_TRUE(p->entries.empty());
    EXPECT_EQ(p->waveFileName, "/w/a.wav");
  }
  // Bytes after the end mark are not read.
  auto p = decoded(ProjectBytes().head().rec("").end().text("garbage"));
  EXPECT_TRUE(p.isOk());
}

TEST(ProjectFormat, JapaneseTextsRoundTrip) {
  Project p;
  p.waveFileName = "/録音/会議～二日目.wav";
  p.entries.push_back({{"/録音/会議～二日目.wav", "会議～二日目.wav"}, {1, 2, 3, 4, 5, 1, 0, 0}});
  auto back = decoded(encoded(p));
  ASSERT_TRUE(back.isOk());
  EXPECT_EQ(back->waveFileName, p.waveFileName);
  EXPECT_EQ(back->entries, p.entries);
}

TEST(ProjectFormat, EveryProperPrefixIsRefused) {
  std::vector<uint8_t> whole = threeEntryProject();
  ASSERT_TRUE(decoded(whole).isOk());
  for (size_t n = 0; n < whole.size(); ++n) {
    std::vector<uint8_t> prefix(whole.begin(), whole.begin() + n);
    EXPECT_FALSE(decoded(prefix).isOk()) << "prefix of " << n << " bytes";
  }
}

TEST(ProjectFormat, HostileRecordsAreRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"wrong signature", ProjectBytes().text("WAVEEDIx").raw({1, 2}).rec("").end()},
      {"lower-case signature", ProjectBytes().text("waveedit").raw({1, 2}).rec("").end()},
      {"negative path length", ProjectBytes().head().be16(0x8000).end()},
      {"length -1", ProjectBytes().head().be16(0xFFFF).end()},
      {"path longer than the file", ProjectBytes().head().be16(0x7FFF).text("abc").end()},
      {"negative name length",
       ProjectBytes().head().rec("").raw({0x10}).rec("").be16(0xFFFE).end()},
      {"name longer than the file",
       ProjectBytes().head().rec("").raw({0x10}).rec("").be16(40).text("BRANK").end()},
      {"lone lead byte", ProjectBytes().head().rec("\x81").end()},
      {"undefined byte", ProjectBytes().head().rec("a\xFF").end()},
      {"bad trail byte in a name",
       ProjectBytes().head().rec("").entry("", "\x82\x20", {0, 0, 0, 0, 0, 0, 0, 0}).end()},
      {"numbers cut short",
       ProjectBytes().head().rec("").raw({0x10}).rec("").rec("BRANK").be32(0).be32(1)},
      {"version 1 block cut short",
       ProjectBytes().head(1, 1).rec("").raw({0x10}).rec("").rec("x").be32(0).be32(1).be32(2).be32(3)},
  };
  for (const Case& c : cases) {
    auto p = decoded(c.bytes);
    EXPECT_FALSE(p.isOk()) << c.what;
    EXPECT_EQ(p.status().code(), StatusCode::kInvalid) << c.what;
  }
}

TEST(ProjectFormat, EntriesBeyondTheListAreRefused) {
  ProjectBytes b;
  b.head().rec("");
  for (int i = 0; i < 3; ++i) b.entry("", "BRANK", {0, 1, 0, 1, 0, 0, 0, 0});
  std::vector<uint8_t> three = b.end();
  EXPECT_TRUE(decoded(three, 3).isOk());
  EXPECT_FALSE(decoded(three, 2).isOk());
}

TEST(ProjectFormat, TextsThatCannotBeStoredAreRefusedWithWhere) {
  struct Case {
    std::string path, name;
    StatusCode code;
    std::string message;
  };
  const std::string longest(32767, 'x');
  const Case cases[] = {
      {longest, "a", StatusCode::kOk, ""},
      {longest + "x", "a", StatusCode::kLimit,
       "32767バイトを超える文字列はプロジェクトに保存出来ません（waveファイル名）"},
      // The limit counts CP932 bytes, not UTF-8 bytes.
      {"/w/a.wav", std::string(32765, 'x') + "あ", StatusCode::kOk, ""},
      {"/w/a.wav", std::string(32766, 'x') + "あ", StatusCode::kLimit,
       "32767バイトを超える文字列はプロジェクトに保存出来ません（リストの2行目）"},
      {"/w/\xF0\x9F\x98\x80.wav", "a", StatusCode::kInvalid,
       "Shift-JISで表せない文字はプロジェクトに保存出来ません（waveファイル名）"},
      {"/w/a.wav", "\xF0\x9F\x98\x80", StatusCode::kInvalid,
       "Shift-JISで表せない文字はプロジェクトに保存出来ません（リストの2行目）"},
  };
  for (const Case& c : cases) {
    Project p;
    p.waveFileName = c.path;
    p.entries.push_back(kBlank2s);
    p.entries.push_back({{"/w/a.wav", c.name}, {}});
    auto bytes = encodeProject(p);
    EXPECT_EQ(bytes.status().code(), c.code) << c.message;
    EXPECT_EQ(bytes.status().message(), c.message);
  }
}

TEST(ProjectFormat, BinprintWritesNothingWhenItRefuses) {
  ByteWriter w;
  w.putByte(0x10);
  EXPECT_FALSE(BINPRINT(w, std::string(32768, 'x')).isOk());
  EXPECT_FALSE(BINPRINT(w, "\xF0\x9F\x98\x80").isOk());
  EXPECT_EQ(w.bytes(), std::vector<uint8_t>{0x10});
}

}  // namespace pelisto::test
