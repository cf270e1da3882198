// Fuzzes the conversion of sound files of other formats: the input is a
// file in any format the sound library reads, converted with the real
// libraries (libsndfile, libsoxr) over the in-memory file system, whose
// room is limited so that a file that decodes to a great length ends in a
// full disk instead of a full memory. The seeds are small files of each
// format the library reads, written by the library itself.
//
// Beyond the sanitizers it asserts what callers rely on: a converted file
// is the canonical header of its length and whole frames; the same source
// converts to the same bytes again; a refused or failed conversion leaves
// no file; no temporary file is ever left behind.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "headless/mem_file_system.h"
#include "wave/convert.h"
#include "platform/riff.h"

namespace {

using namespace pelisto;

void check(bool ok) {
  if (!ok) std::abort();
}

// Converts /w/s into target; true when it succeeded. Any new file but a
// converted target is a fault.
bool convertInto(MemFileSystem& fs, SoundLibrary& library, const std::string& target) {
  std::vector<std::string> expected = fs.files();
  const bool done = convertToWaveFile(fs, library, "/w/s", target, nullptr).isOk();
  if (done) expected.push_back(target);
  std::sort(expected.begin(), expected.end());
  check(fs.files() == expected);
  return done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<SoundLibrary> library = newSoundLibrary();
  MemFileSystem fs;
  fs.addDirectory("/w");
  fs.setContents("/w/s", std::vector<uint8_t>(data, data + size));
  fs.setCapacity(size + (uint64_t{8} << 20));
  if (!convertInto(fs, *library, "/w/o.wav")) return 0;
  const std::vector<uint8_t> out = fs.contents("/w/o.wav");
  check(out.size() >= 44 && (out.size() - 44) % 4 == 0);
  const std::vector<uint8_t> header = riff::canonicalHeader(static_cast<uint32_t>(out.size() - 44));
  check(std::equal(header.begin(), header.end(), out.begin()));
  fs.setCapacity(UINT64_MAX);
  check(convertInto(fs, *library, "/w/again.wav") && fs.contents("/w/again.wav") == out);
  return 0;
}
