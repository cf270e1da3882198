// Fuzzes the CP932 decoder and encoder and the byte-width cut of shown
// text. The first input byte is a width, the rest is read both as CP932
// bytes and as UTF-8 text. Beyond the sanitizers it asserts: decoded text
// encodes again and decodes back to the same text; encoded text decodes
// and encodes back to the same bytes; a cut text is exactly the asked
// width, and a prefix of the text followed by blanks.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelisto;
  if (size == 0) return 0;
  const size_t width = data[0] % 80;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  if (Result<std::string> decoded = fromCp932(text)) {
    Result<std::string> again = toCp932(*decoded);
    check(again.isOk());
    Result<std::string> back = fromCp932(*again);
    check(back.isOk() && *back == *decoded);
  } else {
    check(decoded.status().code() == StatusCode::kInvalid);
  }

  Result<std::string> encoded = toCp932(text);
  if (encoded) {
    Result<std::string> decoded = fromCp932(*encoded);
    check(decoded.isOk());
    Result<std::string> again = toCp932(*decoded);
    check(again.isOk() && *again == *encoded);
    check(cp932Width(text) == encoded->size());
  }

  const std::string fit = fitCp932(text, width);
  check(cp932Width(fit) == width);
  const size_t kept = fit.find_last_not_of(' ') + 1;  // 0 when all blanks
  check(kept <= text.size() && text.compare(0, kept, fit, 0, kept) == 0);
  if (encoded) {
    Result<std::string> fitBytes = toCp932(fit);
    check(fitBytes.isOk() && fitBytes->size() == width);
  }
  return 0;
}
