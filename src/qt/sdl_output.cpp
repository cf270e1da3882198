#include "qt/sdl_output.h"

#include "qt/sdl_library.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace pelisto {
namespace {

constexpr int kBufferFrames = 1024;  // about 23 ms

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

SdlOutput::SdlOutput(std::function<void(const std::string&)> notice) : m_notice(std::move(notice)) {}

SdlOutput::~SdlOutput() {
  if (m_device != 0) m_sdl->CloseAudioDevice(m_device);
  if (m_subsystem) m_sdl->QuitSubSystem(SDL_INIT_AUDIO);
}

uint32_t SdlOutput::openDevice() {
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kBufferFrames;
  want.callback = &SdlOutput::callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the device wants.
  return m_sdl->OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

Status SdlOutput::prepare() {
  if (m_device != 0) return Status::ok();
  std::string why;
  if (!m_sdl && !(m_sdl = sdlLibrary(why))) return Status::error(StatusCode::kIoError, why);
  if (!m_subsystem) {
    // SDL would take over SIGINT and SIGTERM and turn them into events
    // nobody reads here: the program could then no longer be terminated.
    m_sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (m_sdl->InitSubSystem(SDL_INIT_AUDIO) == 0) m_subsystem = true;
  }
  if (m_subsystem) m_device = openDevice();
  if (m_device == 0) {
    // No usable device: play silently, in real time.
    if (m_subsystem) {
      m_sdl->AudioQuit();
      if (m_sdl->AudioInit("dummy") == 0) m_device = openDevice();
    }
    if (m_device == 0) {
      // The chosen driver could not even start: start the subsystem afresh
      // with the silent driver.
      if (m_subsystem) m_sdl->QuitSubSystem(SDL_INIT_AUDIO);
      m_subsystem = false;
      m_sdl->SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (m_sdl->InitSubSystem(SDL_INIT_AUDIO) == 0) {
        m_subsystem = true;
        m_device = openDevice();
      }
    }
    if (m_device == 0) return Status::error(StatusCode::kIoError, m_sdl->GetError());
    if (m_notice && !m_noticeGiven) m_notice(kNoSoundDeviceNotice);
    m_noticeGiven = true;
  }
  const char* name = m_sdl->GetCurrentAudioDriver();
  m_driver = name ? name : "";
  return Status::ok();
}

Status SdlOutput::start(std::shared_ptr<FrameSource> source, std::function<void()> onEnd) {
  Status ready = prepare();
  if (!ready) return ready;
  m_sdl->LockAudioDevice(m_device);
  m_source = std::move(source);
  m_onEnd = std::move(onEnd);
  m_drained = false;
  m_startNs = nowNs();
  m_latencyNs = 0;
  {
    std::lock_guard<std::mutex> lock(m_posMutex);
    m_before = m_handed = 0;
    m_stampNs = m_startNs;
  }
  m_sdl->UnlockAudioDevice(m_device);
  m_sdl->PauseAudioDevice(m_device, 0);
  return Status::ok();
}

void SdlOutput::release() {
  if (m_device == 0) return;
  stop();
  m_sdl->CloseAudioDevice(m_device);
  m_device = 0;
}

void SdlOutput::stop() {
  if (m_device == 0) return;
  m_sdl->PauseAudioDevice(m_device, 1);
  // Waits for a callback that is running to finish.
  m_sdl->LockAudioDevice(m_device);
  m_source.reset();
  m_onEnd = nullptr;
  m_sdl->UnlockAudioDevice(m_device);
}

uint64_t SdlOutput::consumed() const {
  std::lock_guard<std::mutex> lock(m_posMutex);
  if (m_handed == 0) return 0;
  const int64_t since = std::max<int64_t>(0, nowNs() - m_stampNs);
  const uint64_t played = m_before + uint64_t(since) * kRate / 1000000000;
  return std::min(played, m_handed);
}

void SdlOutput::callback(void* self, uint8_t* stream, int len) {
  static_cast<SdlOutput*>(self)->fill(reinterpret_cast<int16_t*>(stream), size_t(len) / 4);
}

void SdlOutput::fill(int16_t* dst, size_t frames) {
  size_t n = 0;
  std::function<void()> onEnd;
  if (m_source && !m_drained) {
    n = m_source->pull(dst, frames);
    std::lock_guard<std::mutex> lock(m_posMutex);
    if (n < frames || m_handed + n >= m_source->totalFrames()) m_drained = true;
  } else if (m_source) {
    // The last frames went out with the previous callback and have played.
    onEnd = std::move(m_onEnd);
    m_onEnd = nullptr;
    m_source.reset();
  }
  std::memset(dst + 2 * n, 0, (frames - n) * 4);
  const int64_t now = nowNs();
  if (n > 0 && m_latencyNs.load() == 0) m_latencyNs = std::max<int64_t>(1, now - m_startNs);
  {
    std::lock_guard<std::mutex> lock(m_posMutex);
    if (n > 0 || !m_source) {
      m_before = m_handed;
      m_handed += n;
      m_stampNs = now;
    }
  }
  if (onEnd) onEnd();
}

}  // namespace pelisto
