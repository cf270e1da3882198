// Shift-JIS (code page 932) where bytes are specified: in project files
// and in the byte widths of displayed text. In memory, text is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace pelisto {

// UTF-8 to CP932 bytes. Fails (kInvalid) when a character has no CP932 code.
Result<std::string> toCp932(std::string_view utf8);
// CP932 bytes to UTF-8. Fails (kInvalid) on a byte sequence that is not CP932.
Result<std::string> fromCp932(std::string_view cp932);

// Width of a UTF-8 text in CP932 bytes. A character without a CP932 code
// counts as two bytes (it would show as one wide glyph).
size_t cp932Width(std::string_view utf8);

// The text cut or padded with blanks to exactly `width` CP932 bytes. A cut
// never splits a double-byte character: one that would be split is
// replaced by a blank.
std::string fitCp932(std::string_view utf8, size_t width);

// True when text ends in suffix, ASCII letters compared without regard to
// case (the extension rule of saved files: ".wav", ".Wav", ".WAV").
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// text without blanks (space, tab, CR, LF) at either end.
std::string trimBlanks(std::string_view text);
// The words of text, split at white space (blanks, VT, FF).
std::vector<std::string> splitWords(std::string_view text);

// Splits UTF-8 into its characters (invalid bytes are single characters).
size_t utf8CharLength(std::string_view utf8, size_t pos);

}  // namespace pelisto
