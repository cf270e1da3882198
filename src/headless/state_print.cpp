#include "headless/state_print.h"

#include <algorithm>

namespace pelisto {
namespace {

constexpr size_t kMinRun = 4;

std::string join(const int32_t* values, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += ' ';
    out += std::to_string(values[i]);
  }
  return out;
}

std::string boxRow(const int16_t (&row)[5], size_t cells) {
  int32_t v[5];
  for (size_t i = 0; i < cells; ++i) v[i] = row[i];
  return join(v, cells);
}

std::string formatLine(const WaveFormat& f) {
  return "FORMATTAG=" + std::to_string(f.FORMATTAG) + " CHANNELS=" + std::to_string(f.CHANNELS) +
         " SAMPLERATE=" + std::to_string(f.SAMPLERATE) + " BYTERATE=" +
         std::to_string(f.BYTERATE) + " BLOCKALIGN=" + std::to_string(f.BLOCKALIGN) +
         " BITSPERSAMPLE=" + std::to_string(f.BITSPERSAMPLE);
}

}  // namespace

std::string runLengthText(const uint8_t* values, size_t count) {
  std::string out;
  for (size_t i = 0; i < count;) {
    size_t j = i;
    while (j < count && values[j] == values[i]) ++j;
    const size_t run = j - i;
    if (run >= kMinRun) {
      if (!out.empty()) out += ' ';
      out += std::to_string(values[i]) + "*" + std::to_string(run);
    } else {
      for (size_t k = i; k < j; ++k) {
        if (!out.empty()) out += ' ';
        out += std::to_string(values[k]);
      }
    }
    i = j;
  }
  return out;
}

std::string rowLine(const AppState& s, int row) {
  const EditFileRow& f = s.EDITFILE[row];
  return "row " + std::to_string(row) + ": " + f[0] + " | " + f[1] + " | " +
         join(s.EDITDATA[row].data(), 8);
}

std::vector<std::string> listLines(const Ui& ui) {
  std::vector<std::string> out;
  out.push_back("list: " + std::to_string(ui.lineCount()) + " lines, selected " +
                std::to_string(ui.selected()));
  for (int k = 0; k < ui.lineCount(); ++k) {
    out.push_back("line " + std::to_string(k) + ": " + ui.line(k));
  }
  return out;
}

std::string markerBoxLine(const AppState& s) {
  return "markerbox: " + boxRow(s.MARKERBOX[0], 4) + " | " + boxRow(s.MARKERBOX[1], 4);
}

std::vector<std::string> stateLines(const AppContext& ctx) {
  const AppState& s = ctx.state;
  std::vector<std::string> out;
  auto add = [&](const char* name, const std::string& value) {
    out.push_back(std::string(name) + ": " + value);
  };
  auto num = [](int64_t v) { return std::to_string(v); };
  add("APPTITLE", s.APPTITLE);
  add("WAVEFILENAME", s.WAVEFILENAME);
  add("WAVEFNUM", num(s.WAVEFNUM));
  add("WAVEFMT", formatLine(s.WAVEFMT));
  add("DATASIZE", num(s.DATASIZE));
  add("PLAYFLAG", num(s.PLAYFLAG));
  add("GRAPHFAST", num(s.GRAPHFAST));
  add("GRAPHFNUM", num(s.GRAPHFNUM));
  add("GRAPHBUF", runLengthText(s.GRAPHBUF.data(), s.GRAPHBUF.size()));
  add("WAVEBUF", runLengthText(s.WAVEBUF.data(), s.WAVEBUF.size()));
  add("EDITCOUNT", num(s.EDITCOUNT));
  const int rows = std::min<int>(std::max<int>(s.EDITCOUNT, ctx.ui.lineCount()),
                                 static_cast<int>(s.EDITDATA.size()));
  if (rows <= 0) {
    add("EDITFILE", "(none)");
    add("EDITDATA", "(none)");
  }
  for (int r = 0; r < rows; ++r) {
    out.push_back("EDITFILE(" + num(r) + "): " + s.EDITFILE[r][kSourcePath] + " | " + s.EDITFILE[r][kDisplayName]);
  }
  for (int r = 0; r < rows; ++r) {
    out.push_back("EDITDATA(" + num(r) + "): " + join(s.EDITDATA[r].data(), 8));
  }
  add("MARKMODE", num(s.MARKMODE));
  add("CURSORX", num(s.CURSORX));
  add("DRAGMODE", num(s.DRAGMODE));
  add("MARKERBOX", boxRow(s.MARKERBOX[0], 5) + " | " + boxRow(s.MARKERBOX[1], 5) + " | " +
                       boxRow(s.MARKERBOX[2], 5));
  add("TRACESEC", num(s.TRACESEC));
  add("TRACEX", num(s.TRACEX));
  return out;
}

}  // namespace pelisto
