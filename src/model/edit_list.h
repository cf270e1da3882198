// The edit list: the rows of both tables (EDITFILE, EDITDATA and
// EDITCOUNT of the state), the text of each line, the selected line and the
// pending entry (start marked, end not yet), which is always the last line
// and uses row EDITCOUNT; line k shows row k. LIST1 only shows the list:
// every change made here is shown there at once, and the line the user
// selects there comes back through the user interface's selection
// listener. The commands, the writer, the project files and undo read the
// list here; the commands change its rows and lines only through it, so
// that a recording (startRecording) sees every step.
#pragma once

#include <string>
#include <vector>

#include "model/app_state.h"
#include "model/list_change.h"
#include "platform/list_lines.h"
#include "platform/ui.h"

namespace pelisto {

inline constexpr const char* kMsgChooseStart = "開始位置を選択してください";
inline constexpr const char* kMsgBlankAlone = "ブランクのみ挿入する事は出来ません";
inline constexpr const char* kMsgListFull =
    "編集リストが一杯です。これ以上追加する事は出来ません（最大32767件）";
inline constexpr const char* kMsgLoopRange =
    "ループ回数は -2147483648 から 2147483647 までの整数で入力してください";
inline constexpr const char* kMsgBlankNegative = "ブランク秒数に負の値は指定出来ません";
inline constexpr const char* kMsgBlankTooLong =
    "ブランク秒数が長すぎます（最大48695秒）";
// The display name of a blank. The spelling is the one project files have
// always stored, kept on purpose.
inline constexpr const char* kBlankName = "BRANK";

class EditList {
 public:
  // Shows itself in view's LIST1 (empty at first) from now on.
  EditList(AppState& state, Ui& view);
  ~EditList();
  EditList(const EditList&) = delete;
  EditList& operator=(const EditList&) = delete;

  int lineCount() const { return m_lines.count(); }
  // The text of a line; empty outside the list.
  const std::string& line(int index) const { return m_lines.at(index); }
  // The selected line, -1 when none is.
  int selected() const { return m_lines.selected(); }

  // True when the last line is the pending entry: the list has
  // EDITCOUNT + 1 lines.
  bool hasPending() const;
  // True when `line` is the pending entry's line.
  bool isPending(int line) const;
  // True when one more row can be added next to every line now listed.
  bool hasRoom() const;

  // The changes of a list box, each shown in LIST1 as well. (The texts
  // are taken by value: one may be a line of this list.)
  void addLine(std::string text);
  void insertLine(int index, std::string text);
  void removeLine(int index);
  void select(int index);
  void clearLines();

  // Rows up to r of both tables made to exist (r < kMaxEditRows).
  void ensureRow(int r);
  // Row r (made to exist) set to file and data.
  void setRow(int r, EditFileRow file, EditDataRow data);
  void setData(int r, const EditDataRow& data);
  // Row r of both tables made to exist and emptied: 0 in all eight
  // numbers, both texts empty.
  void clearRow(int r);
  // Exchanges rows a and b of both tables (all ten columns).
  void swapRows(int a, int b);
  // Takes row r out of both tables (the rows after it move up one place)
  // and puts a row in at r (those from r on move down one place).
  void eraseRow(int r);
  void insertRow(int r, ListRow row);
  // Every row of both tables replaced: the tables become files and data
  // (of one size).
  void replaceRows(std::vector<EditFileRow> files, std::vector<EditDataRow> data);
  // Adds a finished entry as row and line EDITCOUNT: appended, or inserted
  // just before the pending entry (whose row moves down one place with
  // it). EDITCOUNT grows by 1; the selected line stays the same line.
  // Precondition: hasRoom().
  void addFinished(EditFileRow file, EditDataRow data, std::string text);

  // EDITCOUNT, the entries finished (the rows before a pending one).
  void setFinishedCount(int count) { m_state.EDITCOUNT = static_cast<int16_t>(count); }

  // From now on every change of rows and lines is noted in change, until
  // stopRecording (the change outlives the recording).
  void startRecording(ListChange& change) { m_recording = &change; }
  void stopRecording() { m_recording = nullptr; }
  bool recording() const { return m_recording != nullptr; }

 private:
  // Notes a step of the recording running (lines or rows, merged with the
  // one before where they cancel out).
  void noteLines(int at, std::vector<std::string> out, std::vector<std::string> in);
  void noteRows(int at, std::vector<ListRow> out, std::vector<ListRow> in);
  // LIST1 reports a selection, the user's or one of the list's own.
  void selectedInView(int index);

  AppState& m_state;
  Ui& m_view;
  ListLines m_lines;
  bool m_showing = false;  // a change is being shown: LIST1's reports are the list's own
  ListChange* m_recording = nullptr;
};

// The file name of a path: the part after its last "/" or "\" (the whole
// path when it has neither).
std::string displayName(const std::string& path);

}  // namespace pelisto
