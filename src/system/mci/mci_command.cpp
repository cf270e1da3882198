#include "system/mci/mci_command.h"

#include <utility>
#include <vector>

#include "platform/text.h"

namespace pelisto {
namespace {

using Words = std::vector<std::string>;
using Verb = MciCommand::Verb;

MciParse fail(int code, std::string error) {
  MciParse p;
  p.code = code;
  p.error = std::move(error);
  return p;
}

MciParse extra(const std::string& word) { return fail(kMciBadParameter, "認識できないパラメータです: " + word); }

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
  p.command.verb = Verb::kOpen;
  p.command.path = rest.substr(0, at);  // as carried: blanks and tabs at its ends are its own
  if (p.command.path.empty()) return fail(kMciMissingParameter, "ファイル名がありません");
  const Words w = splitWords(rest.substr(at + 6));
  if (w.empty()) return fail(kMciMissingParameter, "TYPEの指定がありません");
  if (upperAscii(w[0]) != "WAVEAUDIO") return fail(kMciUnsupportedType, "扱えないデバイスの種類です: " + w[0]);
  if (w.size() < 3 || upperAscii(w[1]) != "ALIAS") return fail(kMciMissingParameter, "ALIASの指定がありません");
  if (w.size() > 3) return fail(kMciBadParameter, "認識できないパラメータです: " + w[3]);
  p.command.alias = w[2];
  return p;
}

// Each reads the words of its verb after the alias, from w[i] on, into c
// and moves i past them. Returns the failure, or nothing when they fit.
using Tail = std::optional<MciParse>;

// SET alias TIME FORMAT | TIMEFORMAT, then MILLISECONDS | MS.
Tail setTail(MciCommand&, const Words& w, size_t& i) {
  if (i < w.size() && upperAscii(w[i]) == "TIME" && i + 1 < w.size() && upperAscii(w[i + 1]) == "FORMAT") {
    i += 2;
  } else if (i < w.size() && upperAscii(w[i]) == "TIMEFORMAT") {
    ++i;
  } else {
    return i < w.size() ? extra(w[i]) : fail(kMciMissingParameter, "設定する項目がありません");
  }
  if (i >= w.size()) return fail(kMciMissingParameter, "時間形式がありません");
  const std::string f = upperAscii(w[i]);
  if (f != "MILLISECONDS" && f != "MS") return fail(kMciUnsupportedFormat, "扱えない時間形式です: " + w[i]);
  ++i;
  return std::nullopt;
}

// PLAY alias [FROM n] [TO n] [NOTIFY], in any order.
Tail playTail(MciCommand& c, const Words& w, size_t& i) {
  while (i < w.size()) {
    const std::string k = upperAscii(w[i]);
    if (k == "NOTIFY") {
      c.notify = true;
      ++i;
      continue;
    }
    if (k != "FROM" && k != "TO") return extra(w[i]);
    if (i + 1 >= w.size()) return fail(kMciMissingParameter, k + "の値がありません");
    std::optional<int64_t> v = number(w[i + 1]);
    if (!v) return fail(kMciBadNumber, "数値が正しくありません: " + w[i + 1]);
    (k == "FROM" ? c.from : c.to) = v;
    i += 2;
  }
  return std::nullopt;
}

// STATUS alias POSITION | LENGTH | MODE.
Tail statusTail(MciCommand& c, const Words& w, size_t& i) {
  using Item = MciCommand::Item;
  static const std::pair<const char*, Item> kItems[] = {
      {"POSITION", Item::kPosition}, {"LENGTH", Item::kLength}, {"MODE", Item::kMode}};
  if (i >= w.size()) return fail(kMciMissingParameter, "問い合わせる項目がありません");
  const std::string k = upperAscii(w[i]);
  for (const auto& [name, item] : kItems) {
    if (k != name) continue;
    c.item = item;
    ++i;
    return std::nullopt;
  }
  return extra(w[i]);
}

// CLOSE alias | ALL.
Tail closeTail(MciCommand& c, const Words&, size_t&) {
  c.all = upperAscii(c.alias) == "ALL";
  return std::nullopt;
}

Tail noTail(MciCommand&, const Words&, size_t&) { return std::nullopt; }

struct VerbForm {
  const char* name;
  Verb verb;
  Tail (*tail)(MciCommand& c, const Words& w, size_t& i);
};

const VerbForm kVerbs[] = {
    {"SET", Verb::kSet, setTail},
    {"PLAY", Verb::kPlay, playTail},
    {"STOP", Verb::kStop, noTail},
    {"CLOSE", Verb::kClose, closeTail},
    {"STATUS", Verb::kStatus, statusTail},
};

// VERB alias, then the words of the verb and nothing more.
MciParse parseWords(const VerbForm& form, const Words& w) {
  MciParse p;
  p.command.verb = form.verb;
  if (w.size() < 2) return fail(kMciMissingParameter, "エイリアスがありません");
  p.command.alias = w[1];
  size_t i = 2;
  if (Tail failed = form.tail(p.command, w, i)) return *failed;
  if (i < w.size()) return extra(w[i]);
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
  const std::string t = trimBlanks(text);
  const size_t sp = t.find_first_of(" \t");
  const std::string verb = upperAscii(t.substr(0, sp));
  if (verb == "OPEN") {
    if (sp == std::string::npos) return fail(kMciMissingParameter, "ファイル名がありません");
    // The path starts right after the one separator that ends the verb.
    return parseOpen(t.substr(sp + 1));
  }
  for (const VerbForm& form : kVerbs) {
    if (verb == form.name) return parseWords(form, splitWords(t));
  }
  return fail(kMciUnknownCommand, verb.empty() ? "コマンドがありません" : "不明なコマンドです: " + t.substr(0, sp));
}

}  // namespace pelisto
