// A started application with wave files in /w and helpers to build edit
// lists row by row and run the create-wave-file command.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_app.h"
#include "wave/voiceless.h"

namespace pelisto::test {

class WriterFixture : public ::testing::Test {
 public:
  // manualJobs: jobs behind the window run only when the test says.
  explicit WriterFixture(bool manualJobs = false) : app(manualJobs) {}
  void SetUp() override {
    app.started();
    app.fs.addDirectory("/w");
  }

  // Puts a canonical wave file with `data` at path; returns the data.
  std::vector<uint8_t> addSource(const std::string& path, std::vector<uint8_t> data) {
    app.fs.setContents(path, wavFile(data));
    return data;
  }
  // Appends a finished range (frames start..end) as the next line.
  void addRange(const std::string& path, int32_t start, int32_t end, int32_t loops = 1,
                int32_t voiceless = 0) {
    addRow(path, start, end, loops, voiceless);
    ++app.ctx.state.EDITCOUNT;
  }
  void addBlank(int32_t frames) {
    addRow("", 0, frames, 0, 0);
    ++app.ctx.state.EDITCOUNT;
  }
  // A pending range: the line after the finished ones.
  void addPending(const std::string& path, int32_t start, int32_t end) {
    addRow(path, start, end, 1, 0);
  }

  // Runs BUTTON6_ON answering the save dialog with `answer` (and the
  // filter of that pattern chosen); the transcript holds only what the
  // command showed.
  void write(const std::string& answer, const std::string& filter = "") {
    app.transcript.clear();
    app.ui.queueAnswer({ScriptedAnswer::kSave, answer, filter});
    BUTTON6_ON(app.ctx);
  }
  // The output's bytes after the header.
  std::vector<uint8_t> payload(const std::string& path) const {
    std::vector<uint8_t> out = app.fs.contents(path);
    return out.size() < 44 ? std::vector<uint8_t>() : std::vector<uint8_t>(out.begin() + 44, out.end());
  }

  TestApp app;

 private:
  void addRow(const std::string& path, int32_t start, int32_t end, int32_t loops, int32_t voiceless) {
    AppState& s = app.ctx.state;
    const int r = app.ui.lineCount();
    s.ensureRow(r);
    size_t slash = path.find_last_of('/');
    s.EDITFILE[r] = {path, path.empty() ? "BRANK" : path.substr(slash + 1)};
    s.EDITDATA[r] = {start, end, 0, 0, loops, voiceless, 0, 0};
    app.ctx.list.addLine("line " + std::to_string(r));
  }
};

// Bytes [from, from + n) of data, zeros past its end.
inline std::vector<uint8_t> slice(const std::vector<uint8_t>& data, size_t from, size_t n) {
  std::vector<uint8_t> out(n, 0);
  for (size_t i = 0; i < n && from + i < data.size(); ++i) out[i] = data[from + i];
  return out;
}

inline std::vector<uint8_t> voiceless(std::vector<uint8_t> bytes) {
  voicelessTransform(bytes.data(), bytes.data(), bytes.size());
  return bytes;
}

inline std::vector<uint8_t> repeat(const std::vector<uint8_t>& part, int times) {
  std::vector<uint8_t> out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), part.begin(), part.end());
  return out;
}

inline std::vector<uint8_t> join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace pelisto::test
