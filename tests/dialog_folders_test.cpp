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
  for (const char* next : {"/m/s_44k16.wav", "/m/s_44k16-2.wav", "/m/s_44k16-3.wav"}) {
    EXPECT_EQ(freeConvertedName(fs, "/m/s.mp3"), next);
    fs.setContents(next, {});
  }
}

}  // namespace
}  // namespace pelisto::test
