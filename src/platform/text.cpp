#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace pelisto {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isSpace(char c) { return isBlank(c) || c == '\v' || c == '\f'; }

// Converts in full or fails; iconv's //IGNORE is not used because it still
// reports an error and would hide the lost characters.
Result<std::string> convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return Status::error(StatusCode::kUnsupported, "no text conversion available");
  }
  std::string out;
  std::vector<char> buf(in.size() * 4 + 16);
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  while (true) {
    char* outPtr = buf.data();
    size_t outLeft = buf.size();
    size_t r = iconv(cd, inLeft ? &inPtr : nullptr, &inLeft, &outPtr, &outLeft);
    out.append(buf.data(), buf.size() - outLeft);
    if (r != static_cast<size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) continue;
    iconv_close(cd);
    return Status::error(StatusCode::kInvalid, "text cannot be converted");
  }
  iconv_close(cd);
  return out;
}

}  // namespace

Result<std::string> toCp932(std::string_view utf8) { return convert("CP932", "UTF-8", utf8); }

Result<std::string> fromCp932(std::string_view cp932) {
  return convert("UTF-8", "CP932", cp932);
}

size_t utf8CharLength(std::string_view s, size_t pos) {
  unsigned char c = static_cast<unsigned char>(s[pos]);
  size_t len = 1;
  if (c >= 0xF0) len = 4;
  else if (c >= 0xE0) len = 3;
  else if (c >= 0xC0) len = 2;
  if (pos + len > s.size()) return 1;
  for (size_t i = 1; i < len; ++i) {
    if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

namespace {

size_t charWidth(std::string_view ch) {
  if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) return 1;
  auto enc = toCp932(ch);
  if (!enc) return 2;
  return enc.value().size();
}

}  // namespace

size_t cp932Width(std::string_view utf8) {
  size_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    size_t len = utf8CharLength(utf8, pos);
    width += charWidth(utf8.substr(pos, len));
    pos += len;
  }
  return width;
}

std::string fitCp932(std::string_view utf8, size_t width) {
  std::string out;
  size_t used = 0;
  for (size_t pos = 0; pos < utf8.size() && used < width;) {
    size_t len = utf8CharLength(utf8, pos);
    size_t w = charWidth(utf8.substr(pos, len));
    if (used + w > width) break;  // would split a double-byte character
    out.append(utf8.substr(pos, len));
    used += w;
    pos += len;
  }
  out.append(width - used, ' ');
  return out;
}

std::string trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::vector<std::string> splitWords(std::string_view text) {
  std::vector<std::string> out;
  for (size_t pos = 0; pos < text.size();) {
    if (isSpace(text[pos])) {
      ++pos;
      continue;
    }
    size_t end = pos;
    while (end < text.size() && !isSpace(text[end])) ++end;
    out.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
  return out;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  text.remove_prefix(text.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(suffix[i])) return false;
  }
  return true;
}

}  // namespace pelisto
