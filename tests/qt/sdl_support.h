// Shared set-up of the sound output tests: a WAV file on disk and a
// device whose completions are counted.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "../support/test_app.h"
#include "platform/file_system.h"
#include "system/mci/mci_interpreter.h"
#include "qt/sdl_output.h"

namespace pelisto::test {

inline bool writeFile(FileSystem& fs, const std::string& path, const std::vector<uint8_t>& bytes) {
  Result<std::unique_ptr<File>> f = fs.open(path, OpenMode::kCreate);
  return f && (*f)->write(0, bytes.data(), bytes.size()).isOk();
}

struct SdlDevice {
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  std::vector<std::string> notices;
  std::atomic<int> successful{0};
  std::atomic<int> failed{0};
  std::atomic<int> other{0};  // aborted or superseded
  SdlOutput out{[this](const std::string& t) { notices.push_back(t); }};
  MciInterpreter mci{*fs, out, [this](MciNotify n) {
    (n == MciNotify::kSuccessful ? successful : n == MciNotify::kFailure ? failed : other)++;
  }};

  int64_t position() { return std::stoll(mci.send("STATUS W POSITION").reply); }
};

}  // namespace pelisto::test
