// Where the write dialog starts, and the name the conversion proposes.
#include <gtest/gtest.h>

#include "support/edit_list_app.h"
#include "wave/convert_command.h"

namespace pelisto::test {
namespace {

TEST(DialogFolders, TheWriteDialogStartsWhereTheLastFileWentElseBesideTheOpenFile) {
  EditListApp app(2);  // /wav/a.wav open
  app.fs.addDirectory("/out");
  app.markRange(0, 60, 0, 300);
  const struct { const char* answer; const char* startedIn; } writes[] = {
      {"/out/one", "/wav/"}, {"/wav/two", "/out/"}, {"three", "/wav/"}, {"four", "./"}};
  for (const auto& w : writes) {
    app.state().PLAYFLAG = kPlayIdle;
    app.ui.queueAnswer({ScriptedAnswer::kSave, w.answer});
    app.click(Control::BUTTON6);
    EXPECT_EQ(app.ui.lastDialogInitialPath(), w.startedIn) << w.answer;
  }
}

TEST(DialogFolders, TheConversionProposesANameNotYetTaken) {
  MemFileSystem fs;
  fs.addDirectory("/m");
  const struct { std::vector<const char*> taken; const char* proposed; } cases[] = {
      {{}, "/m/song_44k16.wav"},
      {{"/m/song_44k16.wav"}, "/m/song_44k16-2.wav"},
      {{"/m/song_44k16.wav", "/m/song_44k16-2.wav"}, "/m/song_44k16-3.wav"},
  };
  for (const auto& c : cases) {
    for (const char* path : c.taken) fs.setContents(path, {});
    EXPECT_EQ(freeConvertedName(fs, "/m/song.mp3"), c.proposed);
  }
}

}  // namespace
}  // namespace pelisto::test
