#include "system/mci/mci_interpreter.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "system/mci/range_source.h"

namespace pelisto {
namespace {

MciResult error(int code, std::string text) {
  MciResult r;
  r.code = code;
  r.error = std::move(text);
  return r;
}

}  // namespace

// One play. Whoever ends it first (the output's thread at the end of the
// sound, or a command) queues its notification; later attempts do nothing.
struct MciInterpreter::Play {
  std::mutex mutex;
  bool ended = false;
  int64_t endMs = 0;  // the position it ended at
  bool notify = false;
  NotifySink sink;
  std::shared_ptr<RangeSource> source;
  int64_t fromMs = 0;
  int64_t toMs = 0;

  bool end(MciNotify code, int64_t atMs) {
    std::lock_guard<std::mutex> lock(mutex);
    if (ended) return false;
    ended = true;
    endMs = atMs;
    if (notify && sink) sink(code);
    return true;
  }
  bool hasEnded() {
    std::lock_guard<std::mutex> lock(mutex);
    return ended;
  }
  // Where it ended, or nothing while it plays.
  std::optional<int64_t> endedAt() {
    std::lock_guard<std::mutex> lock(mutex);
    return ended ? std::optional<int64_t>(endMs) : std::nullopt;
  }
  // Called on the output's thread once the source is used up. A sound that
  // stopped before the range's end (the file was cut short while playing,
  // or a read failed) is a failure, and the position is what was played.
  void sourceDone(int outRate) {
    if (!source->endedEarly()) {
      end(MciNotify::kSuccessful, toMs);
      return;
    }
    const int64_t played = int64_t(source->delivered() * 1000 / uint64_t(outRate));
    end(MciNotify::kFailure, std::min(fromMs + played, toMs));
  }
};

MciInterpreter::MciInterpreter(FileSystem& fs, AudioOutput& output, NotifySink notify)
    : m_fs(fs), m_output(output), m_notify(std::move(notify)) {}

MciInterpreter::~MciInterpreter() {
  if (m_current) m_output.stop();
}

MciInterpreter::Alias* MciInterpreter::find(const std::string& name) {
  auto it = m_aliases.find(upperAscii(name));
  return it == m_aliases.end() ? nullptr : &it->second;
}

MciResult MciInterpreter::send(const std::string& text) {
  MciParse parsed = parseMciCommand(text);
  if (parsed.code != kMciOk) return error(parsed.code, parsed.error);
  const MciCommand& c = parsed.command;
  if (c.verb == MciCommand::Verb::kOpen) return open(c);
  if (c.verb == MciCommand::Verb::kClose && c.all) {
    for (auto& [key, alias] : m_aliases) endPlay(alias, MciNotify::kAborted);
    m_aliases.clear();
    m_output.release();
    return MciResult{};
  }
  Alias* alias = find(c.alias);
  if (!alias) return error(kMciUnknownAlias, "エイリアスが開かれていません: " + c.alias);
  switch (c.verb) {
    case MciCommand::Verb::kSet: return MciResult{};
    case MciCommand::Verb::kPlay: return play(*alias, c);
    case MciCommand::Verb::kStop:
      endPlay(*alias, MciNotify::kAborted);
      return MciResult{};
    case MciCommand::Verb::kClose:
      endPlay(*alias, MciNotify::kAborted);
      m_aliases.erase(upperAscii(c.alias));
      // With nothing open the device is given back: no sound stream idles.
      if (m_aliases.empty()) m_output.release();
      return MciResult{};
    case MciCommand::Verb::kStatus: return status(*alias, c);
    case MciCommand::Verb::kOpen: break;
  }
  return MciResult{};
}

MciResult MciInterpreter::open(const MciCommand& c) {
  if (find(c.alias)) return error(kMciAliasInUse, "エイリアスは既に使われています: " + c.alias);
  Result<std::unique_ptr<FrameReader>> reader = openFrameReader(m_fs, c.path);
  if (!reader) {
    const Status& s = reader.status();
    switch (s.code()) {
      case StatusCode::kNotFound: return error(kMciFileNotFound, "ファイルが見つかりません: " + c.path);
      case StatusCode::kInvalid:
      case StatusCode::kUnsupported:
        return error(kMciNotPlayable, "再生できないファイルです: " + s.message());
      default: return error(kMciReadError, "ファイルを読めません: " + c.path);
    }
  }
  Status ready = m_output.prepare();
  if (!ready) return error(kMciNoOutput, "サウンド出力を開けません: " + ready.message());
  Alias alias;
  alias.name = c.alias;
  alias.reader = std::move(*reader);
  m_aliases.emplace(upperAscii(c.alias), std::move(alias));
  return MciResult{};
}

int64_t MciInterpreter::position(const Alias& alias) const {
  const std::shared_ptr<Play>& p = alias.play;
  if (!p) return alias.positionMs;
  if (std::optional<int64_t> at = p->endedAt()) return *at;
  const int64_t played = int64_t(m_output.consumed() * 1000 / uint64_t(m_output.rate()));
  return std::min(p->fromMs + played, p->toMs);
}

void MciInterpreter::endPlay(Alias& alias, MciNotify code) {
  if (!alias.play) return;
  alias.positionMs = position(alias);
  if (m_current == &alias) {
    m_output.stop();
    m_current = nullptr;
  }
  alias.play->end(code, alias.positionMs);
  alias.play.reset();
}

MciResult MciInterpreter::play(Alias& alias, const MciCommand& c) {
  const FrameReader& sound = *alias.reader;
  const int64_t length = sound.lengthMs();
  const int64_t from = c.from.value_or(position(alias));
  const int64_t to = c.to.value_or(length);
  if (from > length) return error(kMciOutOfRange, "開始位置がファイルの外です: " + std::to_string(from));
  if (to > length) return error(kMciOutOfRange, "終了位置がファイルの外です: " + std::to_string(to));
  if (to < from) return error(kMciOutOfRange, "終了位置が開始位置より前です");

  // A new play replaces whatever plays: the same alias's play is
  // superseded, another alias's is aborted.
  endPlay(alias, MciNotify::kSuperseded);
  if (m_current) endPlay(*m_current, MciNotify::kAborted);

  const uint64_t rate = uint64_t(sound.rate());
  const uint64_t first = uint64_t(from) * rate / 1000;
  const uint64_t end = to == length ? sound.frames() : uint64_t(to) * rate / 1000;
  auto p = std::make_shared<Play>();
  p->notify = c.notify;
  p->sink = m_notify;
  p->fromMs = from;
  p->toMs = to;
  p->source = std::make_shared<RangeSource>(alias.reader, first, end, m_output.rate());
  alias.play = p;
  if (p->source->totalFrames() == 0) {
    p->end(MciNotify::kSuccessful, to);
    return MciResult{};
  }
  std::weak_ptr<Play> weak = p;
  Status started = m_output.start(p->source, [weak, outRate = m_output.rate()]() {
    if (std::shared_ptr<Play> q = weak.lock()) q->sourceDone(outRate);
  });
  if (!started) {
    alias.play.reset();
    alias.positionMs = from;
    return error(kMciNoOutput, "サウンド出力を開けません: " + started.message());
  }
  m_current = &alias;
  return MciResult{};
}

MciResult MciInterpreter::status(const Alias& alias, const MciCommand& c) const {
  MciResult r;
  switch (c.item) {
    case MciCommand::Item::kPosition: r.reply = std::to_string(position(alias)); break;
    case MciCommand::Item::kLength: r.reply = std::to_string(alias.reader->lengthMs()); break;
    case MciCommand::Item::kMode:
      r.reply = alias.play && !alias.play->hasEnded() ? "playing" : "stopped";
      break;
  }
  return r;
}

}  // namespace pelisto
