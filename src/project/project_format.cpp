#include "project/project_format.h"

#include "platform/text.h"

namespace pelisto {
namespace {

Status invalid(std::string what) { return Status::error(StatusCode::kInvalid, std::move(what)); }

std::string placeOf(int line) {
  return line < 0 ? std::string("waveファイル名") : "リストの" + std::to_string(line + 1) + "行目";
}

// Adds where the text stands to BINPRINT's refusal.
Status storeText(ByteWriter& out, std::string_view utf8, int line) {
  Status st = BINPRINT(out, utf8);
  if (st) return st;
  std::string what = st.code() == StatusCode::kLimit
                         ? "32767バイトを超える文字列はプロジェクトに保存出来ません"
                         : "Shift-JISで表せない文字はプロジェクトに保存出来ません";
  return Status::error(st.code(), what + "（" + placeOf(line) + "）");
}

}  // namespace

Status BINPRINT(ByteWriter& out, std::string_view utf8) {
  auto bytes = toCp932(utf8);
  if (!bytes) return invalid("text not representable in CP932");
  if (bytes.value().size() > static_cast<size_t>(kMaxStringBytes)) {
    return Status::error(StatusCode::kLimit, "text longer than 32767 bytes");
  }
  out.putBe16(static_cast<int16_t>(bytes.value().size()));
  out.putBytes(bytes.value());
  return Status::ok();
}

Result<std::string> BININPUT(ByteReader& in) {
  auto length = in.be16();
  if (!length) return invalid("file ends inside a string length");
  if (*length < 0) return invalid("negative string length");
  auto bytes = in.bytes(static_cast<size_t>(*length));
  if (!bytes) return invalid("file ends inside a string");
  auto text = fromCp932(*bytes);
  if (!text) return invalid("string is not CP932");
  return std::move(text.value());
}

Result<std::vector<uint8_t>> encodeProject(const Project& project) {
  ByteWriter out;
  out.putBytes(kProjectSignature);
  out.putByte(kProjectMajor);
  out.putByte(kProjectMinor);
  if (Status st = storeText(out, project.waveFileName, -1); !st) return st;
  for (size_t i = 0; i < project.entries.size(); ++i) {
    const ProjectEntry& e = project.entries[i];
    out.putByte(kEntryMark);
    for (const std::string& text : e.file) {
      if (Status st = storeText(out, text, static_cast<int>(i)); !st) return st;
    }
    for (int32_t v : e.data) out.putBe32(v);
  }
  out.putByte(kEndMark);
  return out.take();
}

namespace {

// A string record passed over: its length checked, its bytes skipped.
Status skipString(ByteReader& in) {
  auto length = in.be16();
  if (!length || *length < 0 || !in.skip(static_cast<size_t>(*length))) return invalid("bad string record");
  return Status::ok();
}

}  // namespace

Result<Project> decodeProject(std::span<const uint8_t> bytes, size_t maxEntries, bool texts) {
  ByteReader in(bytes);
  auto signature = in.bytes(kProjectSignature.size());
  if (!signature || *signature != kProjectSignature) return invalid("no project signature");
  Project p;
  auto major = in.byte();
  auto minor = in.byte();
  if (!major || !minor) return invalid("file ends inside the version");
  p.major = *major;
  p.minor = *minor;
  auto wave = BININPUT(in);
  if (!wave) return wave.status();
  p.waveFileName = std::move(wave.value());
  const int numbers = p.minor >= 2 ? 8 : kShortEntryNumbers;
  while (true) {
    auto mark = in.byte();
    if (!mark) return invalid("file ends before the end mark");
    if (*mark != kEntryMark) {
      p.length = in.position();
      break;
    }
    if (p.entries.size() >= maxEntries) {
      return Status::error(StatusCode::kLimit, "more entries than the list holds");
    }
    ProjectEntry e{};
    for (std::string& text : e.file) {
      if (!texts) {
        if (Status st = skipString(in); !st) return st;
        continue;
      }
      auto t = BININPUT(in);
      if (!t) return t.status();
      text = std::move(t.value());
    }
    for (int c = 0; c < numbers; ++c) {
      auto v = in.be32();
      if (!v) return invalid("file ends inside an entry's numbers");
      e.data[c] = *v;
    }
    p.entries.push_back(std::move(e));
  }
  return p;
}

}  // namespace pelisto
