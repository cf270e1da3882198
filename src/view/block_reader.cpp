// The block reader of the view: the next 10 ms of sound into WAVEBUF.
#include "view/handlers.h"

namespace pelisto {

int16_t GETWAVEDATA(AppContext& ctx, int32_t position) {
  AppState& s = ctx.state;
  FileTable& files = ctx.files;
  s.WAVEBUF.fill(0);
  // No open file reads as silence, like the end of a file.
  if (!files.isOpen(s.WAVEFNUM) || position < 0) return 0;
  if (position != 0) files.seek(s.WAVEFNUM, static_cast<uint64_t>(position));

  auto length = files.length(s.WAVEFNUM);
  if (!length) return 0;
  const uint64_t pos = files.tell(s.WAVEFNUM);
  // Fewer than a whole block left (or a position past the end): zeros, and
  // the position stays where it is.
  if (pos > length.value() || length.value() - pos < static_cast<uint64_t>(WAVEBLOCK)) return 0;

  auto got = files.read(s.WAVEFNUM, s.WAVEBUF.data(), WAVEBLOCK);
  if (!got) {
    s.WAVEBUF.fill(0);
    files.seek(s.WAVEFNUM, pos);
  }
  // A short read (the file shrank meanwhile) leaves the rest of the buffer 0.
  return 0;
}

}  // namespace pelisto
