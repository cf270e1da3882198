// Start-up of the desktop program: from the moment a process is started to
// the first paint of the main window, and the CPU the process has used by
// then. Each start is a process of its own (this program run again as a
// child that sets up the window exactly as the desktop program does, then
// exits at the first paint), the two ways of naming fonts alternating in
// the same run:
//   substituted: fonts name the program's own faces ("ＭＳ Ｐゴシック", …)
//                and Qt resolves them through the substitution table
//                (the earlier way, kept reachable for this comparison);
//   named:       fonts name the installed faces directly (the program's way).
// Runs on the display of the environment (DISPLAY, or QT_QPA_PLATFORM).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "qt/desktop_mci.h"
#include "qt/qt_text.h"
#include "qt/qt_ui.h"
#include "qt/worker_timer.h"
#include "shell/events.h"
#include "shell/handlers.h"
#include "system/thread_worker.h"

extern char** environ;

using namespace pelisto;

namespace {

int64_t monotonicNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Paints the main window's client area itself at its first paint event,
// then reports the time and ends the event loop.
class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || m_done) return false;
    watched->event(event);  // the paint itself, through the public QObject entry
    m_done = true;
    std::printf("%lld %.6f\n", static_cast<long long>(monotonicNs()), cpuSeconds());
    std::fflush(stdout);
    QCoreApplication::exit(0);
    return true;
  }

 private:
  bool m_done = false;
};

// The desktop program's start, as in its main(), up to the first paint.
int child(int argc, char** argv, bool substituted) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelisto"));
  QTranslator translator;
  if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&translator);
  }
  nameFacesThroughSubstitutions(substituted);
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  QtUi ui;
  std::unique_ptr<MciDevice> mci = newDesktopMci(*fs, [](MciNotify) {}, nullptr);
  ThreadWorker worker;
  WorkerTimer workerTimer(worker);
  AppContext ctx(ui, *fs, *mci, worker);
  ui.setEventSink([&ctx](const Event& event) { dispatchEvent(ctx, event); });
  FirstPaint probe;
  ui.window().form()->installEventFilter(&probe);
  ui.window().show();
  MAINFORM_START(ctx);
  return app.exec();
}

struct Start {
  double wallMs, cpuMs;
};

bool runChild(const std::string& self, const char* variant, Start& out) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  char* args[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--child"),
                  const_cast<char*>(variant), nullptr};
  const int64_t t0 = monotonicNs();
  pid_t pid = 0;
  const bool spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  char line[128] = {};
  ssize_t n = spawned ? read(fds[0], line, sizeof line - 1) : -1;
  close(fds[0]);
  int status = 0;
  if (spawned) waitpid(pid, &status, 0);
  long long paintedNs = 0;
  double cpu = 0;
  if (n <= 0 || std::sscanf(line, "%lld %lf", &paintedNs, &cpu) != 2) return false;
  out = Start{double(paintedNs - t0) / 1e6, cpu * 1e3};
  return true;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
    return child(argc, argv, std::strcmp(argv[2], "substituted") == 0);
  }
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 2;

  const char* variants[] = {"substituted", "named"};
  std::vector<double> wall[2], cpu[2];
  Start warm{};
  runChild(self, "named", warm);  // the first start fills the disk and font caches
  for (int r = 0; r < rounds; ++r) {
    for (int v = 0; v < 2; ++v) {
      Start s{};
      if (!runChild(self, variants[v], s)) {
        std::fprintf(stderr, "the %s child did not report a paint\n", variants[v]);
        return 2;
      }
      wall[v].push_back(s.wallMs);
      cpu[v].push_back(s.cpuMs);
    }
  }
  const char* display = std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : std::getenv("DISPLAY");
  std::printf("start-up to the first paint of the main window, median of %d starts each (display %s)\n",
              rounds, display);
  for (int v = 0; v < 2; ++v) {
    std::printf("  %-12s fonts: %7.1f ms wall, %7.1f ms CPU\n", variants[v], median(wall[v]), median(cpu[v]));
  }
  std::printf("named / substituted: wall %.2f, CPU %.2f\n", median(wall[1]) / median(wall[0]),
              median(cpu[1]) / median(cpu[0]));
  return 0;
}
