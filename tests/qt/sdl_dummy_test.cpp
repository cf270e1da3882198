// The real sound path over SDL's silent "dummy" driver: paced in real
// time, and the fallback when no device can be had. Timing is asserted
// loosely.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "sdl_support.h"

using namespace pelisto;
using namespace pelisto::test;

class SdlDummyTest : public QObject {
  Q_OBJECT

 private slots:
  void leavesTerminationSignalsAlone();  // first: before any device has started SDL
  void playsInRealTime();
  void stopAbortsAtOnce();
  void truncatedWhilePlayingFails();
  void startAndStopInALoop();
  void fallsBackWhenNoDeviceOpens();
  void fallsBackToSilenceOnce();  // last: it leaves the silent driver forced
};

void SdlDummyTest::playsInRealTime() {
  qputenv("SDL_AUDIODRIVER", "dummy");
  QTemporaryDir dir;
  SdlDevice d;
  const std::string path = dir.path().toStdString() + "/a.wav";
  QVERIFY(writeFile(*d.fs, path, wavFile(patternData(3 * kBytesPerSecond))));
  QCOMPARE(d.mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code, 0);
  QElapsedTimer clock;
  clock.start();
  QCOMPARE(d.mci.send("PLAY W FROM 500 TO 2500 NOTIFY").code, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const int64_t early = d.position();
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const int64_t later = d.position();
  QVERIFY2(early > 500 && early < 1400, std::to_string(early).c_str());
  QVERIFY2(later > early + 300 && later < 2400, std::to_string(later).c_str());
  QTRY_VERIFY_WITH_TIMEOUT(d.successful.load() == 1, 8000);
  const qint64 took = clock.elapsed();
  QVERIFY2(took >= 1500 && took <= 4000, std::to_string(took).c_str());
  QCOMPARE(d.position(), 2500);
  QCOMPARE(d.other.load(), 0);
  QVERIFY(d.notices.empty());
}

namespace {

using Handler = void (*)(int);

Handler handlerOf(int signal) {
  struct sigaction action {};
  sigaction(signal, nullptr, &action);
  return action.sa_handler;
}

// Sets the default actions of SIGTERM and SIGINT (SDL only takes over a
// signal left at its default) and puts the test's own handlers back later.
class DefaultSignals {
 public:
  DefaultSignals() {
    for (int i = 0; i < 2; ++i) {
      struct sigaction action {};
      action.sa_handler = SIG_DFL;
      sigaction(kSignals[i], &action, &m_saved[i]);
    }
  }
  ~DefaultSignals() {
    for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &m_saved[i], nullptr);
  }

 private:
  static constexpr int kSignals[2] = {SIGTERM, SIGINT};
  struct sigaction m_saved[2] {};
};

}  // namespace

// A program that has played something still ends on SIGTERM and SIGINT.
void SdlDummyTest::leavesTerminationSignalsAlone() {
  qputenv("SDL_AUDIODRIVER", "dummy");
  DefaultSignals defaults;
  QTemporaryDir dir;
  SdlDevice d;
  const std::string path = dir.path().toStdString() + "/a.wav";
  QVERIFY(writeFile(*d.fs, path, wavFile(patternData(kBytesPerSecond))));
  QCOMPARE(d.mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code, 0);
  QCOMPARE(d.mci.send("PLAY W FROM 0").code, 0);
  QVERIFY(handlerOf(SIGTERM) == SIG_DFL);
  QVERIFY(handlerOf(SIGINT) == SIG_DFL);
  QCOMPARE(d.mci.send("CLOSE W").code, 0);
}

void SdlDummyTest::stopAbortsAtOnce() {
  QTemporaryDir dir;
  SdlDevice d;
  const std::string path = dir.path().toStdString() + "/a.wav";
  QVERIFY(writeFile(*d.fs, path, wavFile(patternData(2 * kBytesPerSecond))));
  QCOMPARE(d.mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code, 0);
  QCOMPARE(d.mci.send("PLAY W FROM 0 NOTIFY").code, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  QCOMPARE(d.mci.send("STOP W").code, 0);
  QCOMPARE(d.other.load(), 1);  // queued during the stop
  const int64_t stopped = d.position();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  QCOMPARE(d.position(), stopped);
  QCOMPARE(d.successful.load(), 0);
}

// The file cut to two seconds of sound 300 ms into a play to 3.5 s: the
// play ends there with the failure notification.
void SdlDummyTest::truncatedWhilePlayingFails() {
  qputenv("SDL_AUDIODRIVER", "dummy");
  QTemporaryDir dir;
  SdlDevice d;
  const std::string path = dir.path().toStdString() + "/a.wav";
  QVERIFY(writeFile(*d.fs, path, wavFile(patternData(4 * kBytesPerSecond))));
  QCOMPARE(d.mci.send("OPEN " + path + " TYPE WAVEAUDIO ALIAS W").code, 0);
  QCOMPARE(d.mci.send("PLAY W FROM 0 TO 3500 NOTIFY").code, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::filesystem::resize_file(path, kHeaderSize + 2 * kBytesPerSecond);
  QTRY_VERIFY_WITH_TIMEOUT(d.failed.load() == 1, 8000);
  QCOMPARE(d.position(), 2000);
  QCOMPARE(d.successful.load() + d.other.load(), 0);
}

// Plays stopped, superseded and closed at random moments, the device
// opened again: every play notifies exactly once.
void SdlDummyTest::startAndStopInALoop() {
  qputenv("SDL_AUDIODRIVER", "dummy");
  QTemporaryDir dir;
  SdlDevice d;
  const std::string path = dir.path().toStdString() + "/a.wav";
  QVERIFY(writeFile(*d.fs, path, wavFile(patternData(kBytesPerSecond / 10))));
  const std::string open = "OPEN " + path + " TYPE WAVEAUDIO ALIAS W";
  QCOMPARE(d.mci.send(open).code, 0);
  int plays = 0;
  for (int i = 0; i < 60; ++i) {
    QCOMPARE(d.mci.send("PLAY W FROM " + std::to_string(i % 90) + " NOTIFY").code, 0);
    ++plays;
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 5));
    const char* end[] = {"STOP W", "PLAY W FROM 0 TO 1", "CLOSE W", "STATUS W POSITION"};
    QCOMPARE(d.mci.send(end[i % 4]).code, 0);
    if (i % 4 == 2) QCOMPARE(d.mci.send(open).code, 0);
  }
  QCOMPARE(d.mci.send("CLOSE W").code, 0);
  QCOMPARE(d.successful.load() + d.failed.load() + d.other.load(), plays);
  QCOMPARE(d.failed.load(), 0);
}

// ALSA starts on a machine without a sound card, but no device opens.
void SdlDummyTest::fallsBackWhenNoDeviceOpens() {
  qputenv("SDL_AUDIODRIVER", "alsa");
  SdlDevice d;
  QVERIFY(d.out.prepare().isOk());
  if (d.out.driver() == "alsa") QSKIP("this machine has a sound card");
  QCOMPARE(d.out.driver(), std::string("dummy"));
  QCOMPARE(d.notices, std::vector<std::string>{kNoSoundDeviceNotice});
}

void SdlDummyTest::fallsBackToSilenceOnce() {
  qputenv("SDL_AUDIODRIVER", "no-such-driver");
  SdlDevice d;
  QVERIFY(d.out.prepare().isOk());
  d.out.release();
  QVERIFY(d.out.prepare().isOk());
  QCOMPARE(d.out.driver(), std::string("dummy"));
  QCOMPARE(d.notices, std::vector<std::string>{kNoSoundDeviceNotice});
}

QTEST_GUILESS_MAIN(SdlDummyTest)
#include "sdl_dummy_test.moc"
