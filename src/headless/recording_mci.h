// A media device wrapper that writes every command into the transcript
// ("mci: COMMAND") before passing it on.
#pragma once

#include "headless/headless_ui.h"
#include "platform/mci.h"

namespace pelisto {

class RecordingMci final : public MciDevice {
 public:
  RecordingMci(Transcript& transcript, MciDevice* inner) : m_transcript(transcript), m_inner(inner) {}
  MciResult send(const std::string& command) override {
    m_transcript.add("mci: " + command);
    return m_inner ? m_inner->send(command) : MciResult{};
  }
  int outputLatencyMs() const override { return m_inner ? m_inner->outputLatencyMs() : 0; }
  void setInner(MciDevice* inner) { m_inner = inner; }

 private:
  Transcript& m_transcript;
  MciDevice* m_inner;
};

}  // namespace pelisto
