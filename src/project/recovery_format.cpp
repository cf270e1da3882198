#include "project/recovery_format.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "model/app_state.h"
#include "platform/coding.h"
#include "platform/text.h"

namespace pelisto {
namespace {

constexpr size_t kEndRecordBytes = 20;
constexpr size_t kCursorBlock = 65536;

Status notACopy(const char* why) { return Status::error(StatusCode::kInvalid, why); }

// The text as the project part holds it: itself in CP932 when it can be,
// else with "?" for each character CP932 has no code for; empty when that
// is still longer than a string record holds.
void storableInCp932(std::string& text) {
  if (text.size() <= static_cast<size_t>(kMaxStringBytes) &&
      std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return;
  }
  auto whole = toCp932(text);
  if (whole && whole.value().size() <= static_cast<size_t>(kMaxStringBytes)) return;
  std::string marked;
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = utf8CharLength(text, pos);
    const std::string_view c = std::string_view(text).substr(pos, length);
    marked += toCp932(c) ? std::string(c) : std::string("?");
    pos += length;
  }
  auto bytes = toCp932(marked);
  text = bytes && bytes.value().size() <= static_cast<size_t>(kMaxStringBytes) ? marked : std::string();
}

// Reads a file from its start in blocks, for the walk over a copy of an
// earlier release: memory stays at one block whatever the file holds.
class FileCursor {
 public:
  explicit FileCursor(File& file) : m_file(file) {}

  // The next n bytes; nothing when the file ends first or cannot be read.
  std::optional<std::string> bytes(size_t n) {
    std::string out;
    while (out.size() < n) {
      if (m_at == m_block.size() && !fill()) return std::nullopt;
      const size_t take = std::min(n - out.size(), m_block.size() - m_at);
      out.append(reinterpret_cast<const char*>(m_block.data() + m_at), take);
      m_at += take;
    }
    return out;
  }
  bool skip(uint64_t n) {
    while (n > 0) {
      if (m_at == m_block.size() && !fill()) return false;
      const size_t take = static_cast<size_t>(std::min<uint64_t>(n, m_block.size() - m_at));
      m_at += take;
      n -= take;
    }
    return true;
  }
  std::optional<int32_t> be(size_t width) {
    auto b = bytes(width);
    if (!b) return std::nullopt;
    const auto* p = reinterpret_cast<const uint8_t*>(b->data());
    return width == 2 ? static_cast<int16_t>(getBe16(p)) : static_cast<int32_t>(getBe32(p));
  }

 private:
  bool fill() {
    m_block.resize(kCursorBlock);
    auto got = m_file.read(m_offset, m_block.data(), m_block.size());
    m_block.resize(got ? got.value() : 0);
    m_offset += m_block.size();
    m_at = 0;
    return !m_block.empty();
  }

  File& m_file;
  std::vector<uint8_t> m_block;
  size_t m_at = 0;
  uint64_t m_offset = 0;
};

// A copy of an earlier release: the wave file's path and the records
// counted, their texts skipped.
Result<CopySummary> walkCopy(File& file) {
  FileCursor in(file);
  auto head = in.bytes(kProjectSignature.size() + 2);
  if (!head || !head->starts_with(kProjectSignature)) return notACopy("no project signature");
  const int numbers = static_cast<uint8_t>((*head)[kProjectSignature.size() + 1]) >= 2 ? 8 : kShortEntryNumbers;
  auto length = in.be(2);
  auto wave = length && *length >= 0 ? in.bytes(static_cast<size_t>(*length)) : std::nullopt;
  auto text = wave ? fromCp932(*wave) : Result<std::string>(notACopy("bad path"));
  if (!text) return notACopy("bad path");
  CopySummary summary{std::move(text.value()), 0};
  for (;;) {
    auto mark = in.bytes(1);
    if (!mark) return notACopy("ends before the end mark");
    if (static_cast<uint8_t>((*mark)[0]) != kEntryMark) return summary;
    if (summary.lines == kMaxEditRows) return Status::error(StatusCode::kLimit, "too many lines");
    for (int t = 0; t < 2; ++t) {
      auto n = in.be(2);
      if (!n || *n < 0 || !in.skip(static_cast<uint64_t>(*n))) return notACopy("bad string record");
    }
    if (!in.skip(static_cast<uint64_t>(numbers) * 4)) return notACopy("ends inside a record");
    ++summary.lines;
  }
}

// Exactly n bytes of file at offset.
std::optional<std::vector<uint8_t>> readExactly(File& file, uint64_t offset, size_t n) {
  std::vector<uint8_t> bytes(n);
  auto got = file.read(offset, bytes.data(), n);
  if (!got || got.value() != n) return std::nullopt;
  return bytes;
}

}  // namespace

Result<std::vector<uint8_t>> encodeRecoveryCopy(Project list, int selected) {
  ByteWriter tail;
  tail.putBytes(kRecoverySelectionTag);
  tail.putBe32(selected);
  const size_t textsAt = tail.bytes().size();
  tail.putBytes(kRecoveryTextTag);
  tail.putBe32(static_cast<int32_t>(1 + 2 * list.entries.size()));
  auto keep = [&tail](std::string& text, const std::string& where) {
    if (text.size() > kMaxCopyTextBytes) {
      return Status::error(StatusCode::kLimit, "長すぎる文字列は復元用ファイルに保存出来ません（" + where + "）");
    }
    tail.putBe32(static_cast<int32_t>(text.size()));
    tail.putBytes(text);
    storableInCp932(text);
    return Status::ok();
  };
  if (Status st = keep(list.waveFileName, "waveファイル名"); !st) return st;
  for (size_t i = 0; i < list.entries.size(); ++i) {
    for (std::string& text : list.entries[i].file) {
      if (Status st = keep(text, "リストの" + std::to_string(i + 1) + "行目"); !st) return st;
    }
  }
  auto bytes = encodeProject(list);
  if (!bytes) return bytes.status();
  std::vector<uint8_t> out = std::move(bytes.value());
  const uint64_t textsOffset = out.size() + textsAt;
  out.insert(out.end(), tail.bytes().begin(), tail.bytes().end());
  ByteWriter end;
  end.putBytes(kRecoveryEndTag);
  end.putBe32(static_cast<int32_t>(list.entries.size()));
  end.putBe32(static_cast<int32_t>(textsOffset >> 32));
  end.putBe32(static_cast<int32_t>(textsOffset & 0xFFFFFFFF));
  out.insert(out.end(), end.bytes().begin(), end.bytes().end());
  return out;
}

Result<CopySummary> readCopySummary(File& file) {
  auto size = file.size();
  if (!size) return size.status();
  if (size.value() > kMaxCopyBytes) return Status::error(StatusCode::kLimit, "too large for a copy");
  auto start = readExactly(file, 0, kProjectSignature.size());
  if (!start || !std::equal(start->begin(), start->end(), kProjectSignature.begin())) {
    return notACopy("no project signature");
  }
  auto end = size.value() >= kEndRecordBytes ? readExactly(file, size.value() - kEndRecordBytes, kEndRecordBytes)
                                             : std::nullopt;
  if (!end || !std::equal(kRecoveryEndTag.begin(), kRecoveryEndTag.end(), end->begin())) return walkCopy(file);
  const int32_t lines = static_cast<int32_t>(getBe32(&(*end)[8]));
  const uint64_t at = uint64_t{getBe32(&(*end)[12])} << 32 | getBe32(&(*end)[16]);
  if (lines < 0 || lines > kMaxEditRows || at > size.value() - kEndRecordBytes) return notACopy("bad end record");
  auto head = readExactly(file, at, kRecoveryTextTag.size() + 8);
  if (!head || !std::equal(kRecoveryTextTag.begin(), kRecoveryTextTag.end(), head->begin()) ||
      getBe32(&(*head)[8]) != uint32_t(1 + 2 * lines)) {
    return notACopy("bad texts");
  }
  const uint32_t length = getBe32(&(*head)[12]);
  if (length > kMaxCopyTextBytes) return notACopy("bad path");
  auto wave = readExactly(file, at + head->size(), length);
  if (!wave) return notACopy("bad path");
  return CopySummary{std::string(wave->begin(), wave->end()), lines};
}

Result<RecoveredList> decodeRecoveryCopy(std::span<const uint8_t> bytes) {
  // Where the texts follow whole, the project's own are not decoded.
  const bool whole = bytes.size() >= kEndRecordBytes &&
                     std::equal(kRecoveryEndTag.begin(), kRecoveryEndTag.end(), bytes.end() - kEndRecordBytes);
  auto project = decodeProject(bytes, kMaxEditRows, !whole);
  if (!project) return project.status();
  RecoveredList out{std::move(project.value()), -1};
  ByteReader in(bytes.subspan(out.project.length));
  auto tag = in.bytes(kRecoverySelectionTag.size());
  auto line = in.be32();
  if (tag && *tag == kRecoverySelectionTag && line && *line >= 0) out.selected = *line;
  if (!whole) return out;
  auto texts = in.bytes(kRecoveryTextTag.size());
  auto count = in.be32();
  if (!texts || *texts != kRecoveryTextTag || !count ||
      static_cast<size_t>(*count) != 1 + 2 * out.project.entries.size()) {
    return notACopy("bad texts");
  }
  auto next = [&in](std::string& text) {
    auto length = in.be32();
    auto bytes = length && *length >= 0 && static_cast<size_t>(*length) <= kMaxCopyTextBytes
                     ? in.bytes(static_cast<size_t>(*length))
                     : std::nullopt;
    if (bytes) text = std::move(*bytes);
    return bytes.has_value();
  };
  bool ok = next(out.project.waveFileName);
  for (ProjectEntry& e : out.project.entries) {
    for (std::string& text : e.file) ok = ok && next(text);
  }
  if (!ok) return notACopy("bad texts");
  return out;
}

}  // namespace pelisto
