#include "platform/mci/mci_command.h"

#include <sstream>
#include <vector>

namespace pelisto {
namespace {

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

MciParse fail(int code, std::string error) {
  MciParse p;
  p.code = code;
  p.error = std::move(error);
  return p;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Plain decimal integer of at most 12 digits.
std::optional<int64_t> number(const std::string& w) {
  if (w.empty() || w.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

MciParse parseOpen(const std::string& rest) {
  const std::string upper = upperAscii(rest);
  const size_t at = upper.rfind(" TYPE ");
  if (at == std::string::npos) return fail(kMciMissingParameter, "TYPEの指定がありません");
  MciParse p;
  p.command.verb = MciCommand::Verb::kOpen;
  p.command.path = rest.substr(0, at);
  if (trim(p.command.path).empty()) return fail(kMciMissingParameter, "ファイル名がありません");
  const std::vector<std::string> w = words(rest.substr(at + 6));
  if (w.empty()) return fail(kMciMissingParameter, "TYPEの指定がありません");
  if (upperAscii(w[0]) != "WAVEAUDIO") return fail(kMciUnsupportedType, "扱えないデバイスの種類です: " + w[0]);
  if (w.size() < 3 || upperAscii(w[1]) != "ALIAS") return fail(kMciMissingParameter, "ALIASの指定がありません");
  if (w.size() > 3) return fail(kMciBadParameter, "認識できないパラメータです: " + w[3]);
  p.command.alias = w[2];
  return p;
}

MciParse parseWords(MciCommand::Verb verb, const std::vector<std::string>& w) {
  MciParse p;
  MciCommand& c = p.command;
  c.verb = verb;
  if (w.size() < 2) return fail(kMciMissingParameter, "エイリアスがありません");
  c.alias = w[1];
  size_t i = 2;
  auto extra = [&]() { return fail(kMciBadParameter, "認識できないパラメータです: " + w[i]); };
  switch (verb) {
    case MciCommand::Verb::kSet: {
      if (i < w.size() && upperAscii(w[i]) == "TIME" && i + 1 < w.size() && upperAscii(w[i + 1]) == "FORMAT") {
        i += 2;
      } else if (i < w.size() && upperAscii(w[i]) == "TIMEFORMAT") {
        ++i;
      } else {
        return i < w.size() ? extra() : fail(kMciMissingParameter, "設定する項目がありません");
      }
      if (i >= w.size()) return fail(kMciMissingParameter, "時間形式がありません");
      const std::string f = upperAscii(w[i]);
      if (f != "MILLISECONDS" && f != "MS") return fail(kMciUnsupportedFormat, "扱えない時間形式です: " + w[i]);
      ++i;
      break;
    }
    case MciCommand::Verb::kPlay:
      while (i < w.size()) {
        const std::string k = upperAscii(w[i]);
        if (k == "NOTIFY") {
          c.notify = true;
          ++i;
        } else if (k == "FROM" || k == "TO") {
          if (i + 1 >= w.size()) return fail(kMciMissingParameter, k + "の値がありません");
          std::optional<int64_t> v = number(w[i + 1]);
          if (!v) return fail(kMciBadNumber, "数値が正しくありません: " + w[i + 1]);
          (k == "FROM" ? c.from : c.to) = v;
          i += 2;
        } else {
          return extra();
        }
      }
      break;
    case MciCommand::Verb::kStatus: {
      if (i >= w.size()) return fail(kMciMissingParameter, "問い合わせる項目がありません");
      const std::string k = upperAscii(w[i]);
      if (k == "POSITION") c.item = MciCommand::Item::kPosition;
      else if (k == "LENGTH") c.item = MciCommand::Item::kLength;
      else if (k == "MODE") c.item = MciCommand::Item::kMode;
      else return extra();
      ++i;
      break;
    }
    case MciCommand::Verb::kClose:
      c.all = upperAscii(c.alias) == "ALL";
      break;
    case MciCommand::Verb::kStop:
    case MciCommand::Verb::kOpen:
      break;
  }
  if (i < w.size()) return extra();
  return p;
}

}  // namespace

std::string upperAscii(std::string text) {
  for (char& ch : text) {
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
  }
  return text;
}

MciParse parseMciCommand(const std::string& text) {
  const std::string t = trim(text);
  const size_t sp = t.find_first_of(" \t");
  const std::string verb = upperAscii(t.substr(0, sp));
  if (verb == "OPEN") {
    if (sp == std::string::npos) return fail(kMciMissingParameter, "ファイル名がありません");
    size_t b = sp;
    while (b < t.size() && isBlank(t[b])) ++b;
    return parseOpen(t.substr(b));
  }
  const std::vector<std::string> w = words(t);
  if (verb == "SET") return parseWords(MciCommand::Verb::kSet, w);
  if (verb == "PLAY") return parseWords(MciCommand::Verb::kPlay, w);
  if (verb == "STOP") return parseWords(MciCommand::Verb::kStop, w);
  if (verb == "CLOSE") return parseWords(MciCommand::Verb::kClose, w);
  if (verb == "STATUS") return parseWords(MciCommand::Verb::kStatus, w);
  return fail(kMciUnknownCommand, verb.empty() ? "コマンドがありません" : "不明なコマンドです: " + t.substr(0, sp));
}

}  // namespace pelisto
