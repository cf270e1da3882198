// Sound output through SDL2's audio subsystem: 16-bit stereo at 44100
// frames per second, SDL converting for the device. When no device can be
// opened the output falls back to SDL's silent "dummy" driver, which is
// paced in real time, and says so once through the notice sink. The device
// is open only between prepare() and release().
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "system/mci/audio_output.h"

namespace pelisto {

struct SdlLibrary;

inline constexpr const char* kNoSoundDeviceNotice =
    "サウンドデバイスが見つかりません。音は出ませんが再生は続けます。";

class SdlOutput final : public AudioOutput {
 public:
  // notice is called on the calling thread, at most once.
  explicit SdlOutput(std::function<void(const std::string&)> notice);
  ~SdlOutput() override;

  int rate() const override { return kRate; }
  Status prepare() override;
  void release() override;
  Status start(std::shared_ptr<FrameSource> source, std::function<void()> onEnd) override;
  void stop() override;
  // Frames played so far: those handed to the device before the latest
  // callback, plus the time since it, up to all frames handed.
  uint64_t consumed() const override;

  // The name of the audio driver in use ("pulseaudio", "dummy", "disk", …).
  std::string driver() const { return m_driver; }
  // Nanoseconds from the last start() to the first callback that pulled
  // its frames; 0 until that callback has run.
  int64_t startLatencyNs() const { return m_latencyNs.load(); }
  // Frames the callbacks have taken from the current source so far.
  uint64_t framesHanded() const {
    std::lock_guard<std::mutex> lock(m_posMutex);
    return m_handed;
  }

 private:
  static constexpr int kRate = 44100;
  static void callback(void* self, uint8_t* stream, int len);
  void fill(int16_t* dst, size_t frames);
  uint32_t openDevice();

  std::function<void(const std::string&)> m_notice;
  const SdlLibrary* m_sdl = nullptr;  // loaded by the first prepare()
  bool m_subsystem = false;
  uint32_t m_device = 0;
  bool m_noticeGiven = false;
  std::string m_driver;

  // Touched by the audio callback; start() and stop() hold the device lock.
  std::shared_ptr<FrameSource> m_source;
  std::function<void()> m_onEnd;
  bool m_drained = false;
  int64_t m_startNs = 0;
  std::atomic<int64_t> m_latencyNs{0};

  mutable std::mutex m_posMutex;  // guards the three below
  uint64_t m_before = 0;   // frames handed before the latest callback
  uint64_t m_handed = 0;   // frames handed so far
  int64_t m_stampNs = 0;   // when the latest callback ran
};

}  // namespace pelisto
