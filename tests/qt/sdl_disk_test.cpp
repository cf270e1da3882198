// The real sound path, written to a file by SDL's "disk" driver: the bytes
// played are exactly the source frames of the range.
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "sdl_support.h"

using namespace pelisto;
using namespace pelisto::test;

class SdlDiskTest : public QObject {
  Q_OBJECT

 private slots:
  void playsTheBytesOfTheRange();
};

void SdlDiskTest::playsTheBytesOfTheRange() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const std::string root = dir.path().toStdString();
  const std::string raw = root + "/played.raw";
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILE", QByteArray::fromStdString(raw));

  const std::vector<uint8_t> wav = wavFile(patternData(3 * kBytesPerSecond, 7, 3));
  {
    SdlDevice d;
    QVERIFY(writeFile(*d.fs, root + "/a b.wav", wav));
    QCOMPARE(d.mci.send("OPEN " + root + "/a b.wav TYPE WAVEAUDIO ALIAS W").code, 0);
    QCOMPARE(d.out.driver(), std::string("disk"));
    QCOMPARE(d.mci.send("SET W TIMEFORMAT MILLISECONDS").code, 0);
    QCOMPARE(d.mci.send("PLAY W FROM 1500 TO 2000 NOTIFY").code, 0);
    QTRY_VERIFY_WITH_TIMEOUT(d.successful.load() == 1, 10000);
    QCOMPARE(d.position(), 2000);
    d.mci.send("CLOSE W");
    QVERIFY(d.notices.empty());
  }  // the device is closed and the file complete

  std::ifstream in(raw, std::ios::binary);
  const std::vector<uint8_t> played((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto first = wav.begin() + kHeaderSize + 66150 * 4;
  const auto last = wav.begin() + kHeaderSize + 88200 * 4;
  const auto at = std::search(played.begin(), played.end(), first, last);
  QVERIFY2(at != played.end(), "the range's frames are not in the played bytes");
  // Everything else written is silence (no source frame is all zero).
  size_t sounding = 0;
  for (size_t i = 0; i + 4 <= played.size(); i += 4) {
    if (played[i] | played[i + 1] | played[i + 2] | played[i + 3]) ++sounding;
  }
  QCOMPARE(sounding, size_t(88200 - 66150));
  QCOMPARE((at - played.begin()) % 4, 0);
}

QTEST_GUILESS_MAIN(SdlDiskTest)
#include "sdl_disk_test.moc"
