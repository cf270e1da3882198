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
//
//   startup_bench [ROUNDS]             the two ways above (15 rounds)
//   startup_bench --desktop [ROUNDS [PELISTO]]
//                                      the real program (or the one at
//                                      PELISTO, another build) against mhwaveedit
//
// The desktop mode starts an X server of its own (Xvfb on :81) with openbox,
// and times the real desktop program (pelisto beside this benchmark's
// folder) from its start to the first window the window manager maps for
// it, interleaved with the general-purpose editor mhwaveedit timed the same
// way: medians of 8 starts each (ROUNDS), after one start of each that
// fills the caches. Both start with fresh, empty settings and no file.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

// Last: its macros (Status, Bool, …) would clash with the names above.
#include <X11/Xlib.h>

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
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx(ui, *fs, *mci, worker, *sound);
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
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The desktop mode's X server and window manager, ended with it.
class VirtualDesktop {
 public:
  static constexpr const char* kDisplay = ":81";
  VirtualDesktop() {
    m_server = spawnQuiet({"Xvfb", kDisplay, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"});
    for (int i = 0; i < 100 && !m_x; ++i) {
      usleep(50000);
      m_x = XOpenDisplay(kDisplay);
    }
    if (!m_x) return;
    setenv("DISPLAY", kDisplay, 1);
    m_manager = spawnQuiet({"openbox"});
    usleep(1500000);  // openbox takes the screen
    XSelectInput(m_x, DefaultRootWindow(m_x), SubstructureNotifyMask);
  }
  ~VirtualDesktop() {
    if (m_x) XCloseDisplay(m_x);
    for (pid_t pid : {m_manager, m_server}) {
      if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
    }
  }
  bool ready() const { return m_x != nullptr; }

  // Starts argv and waits for the first window mapped on the screen after
  // it (the frame the window manager makes for its main window): the
  // milliseconds from the start, or -1 after 20 s. The program is then ended.
  double timeToFirstWindow(const std::vector<std::string>& argv) {
    while (XPending(m_x)) XNextEvent(m_x, &m_event);  // nothing left from before
    const int64_t t0 = monotonicNs();
    const pid_t pid = spawnQuiet(argv);
    double ms = -1;
    while (pid > 0 && ms < 0 && monotonicNs() - t0 < int64_t(20) * 1000000000) {
      if (!XPending(m_x)) {
        pollfd fd{ConnectionNumber(m_x), POLLIN, 0};
        poll(&fd, 1, 100);
        continue;
      }
      XNextEvent(m_x, &m_event);
      if (m_event.type == MapNotify && !m_event.xmap.override_redirect) ms = double(monotonicNs() - t0) / 1e6;
    }
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    usleep(200000);  // the window manager tidies up
    return ms;
  }

 private:
  static pid_t spawnQuiet(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  Display* m_x = nullptr;
  pid_t m_server = -1, m_manager = -1;
  XEvent m_event{};
};

// The desktop mode (see the top of this file).
int desktopMode(const std::string& self, int rounds, std::string pelisto) {
  if (pelisto.empty()) pelisto = self.substr(0, self.rfind("/bench/")) + "/pelisto";
  if (access(pelisto.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "no %s: build the desktop program first\n", pelisto.c_str());
    return 2;
  }
  for (const char* tool : {"Xvfb", "openbox", "mhwaveedit"}) {
    if (std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) != 0) {
      std::fprintf(stderr, "needs %s (apt-get install xvfb openbox mhwaveedit)\n", tool);
      return 2;
    }
  }
  // Fresh settings for both, kept from one start to the next as a user's are.
  char home[] = "/tmp/pelisto-startup-bench.XXXXXX";
  if (!mkdtemp(home)) return 2;
  for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
    setenv(var, (std::string(home) + (std::strcmp(var, "HOME") ? std::string("/") + var : "")).c_str(), 1);
  }
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("SDL_AUDIODRIVER");
  double pelistoMs = 0, otherMs = 0;
  {
    VirtualDesktop desk;
    if (!desk.ready()) {
      std::fprintf(stderr, "the X server on %s did not start\n", VirtualDesktop::kDisplay);
      return 2;
    }
    const std::vector<std::string> programs[2] = {{pelisto}, {"mhwaveedit"}};
    std::vector<double> ms[2];
    for (int r = -1; r < rounds; ++r) {  // round -1 fills the caches
      for (int p = 0; p < 2; ++p) {
        const double t = desk.timeToFirstWindow(programs[(r + p + 2) % 2 == 0 ? 0 : 1]);
        const int which = (r + p + 2) % 2 == 0 ? 0 : 1;
        if (t < 0) {
          std::fprintf(stderr, "%s mapped no window\n", programs[which][0].c_str());
          return 2;
        }
        if (r >= 0) ms[which].push_back(t);
      }
    }
    pelistoMs = median(ms[0]);
    otherMs = median(ms[1]);
  }
  std::system((std::string("rm -rf ") + home).c_str());
  std::printf("start to the first mapped window under Xvfb and openbox, median of %d starts each, interleaved\n",
              rounds);
  std::printf("  pelisto:    %7.1f ms  (%s)\n  mhwaveedit: %7.1f ms\n", pelistoMs, pelisto.c_str(), otherMs);
  std::printf("pelisto / mhwaveedit: %.2f\n", pelistoMs / otherMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
    return child(argc, argv, std::strcmp(argv[2], "substituted") == 0);
  }
  if (argc >= 2 && std::strcmp(argv[1], "--desktop") == 0) {
    char exe[4096] = {};
    if (readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return 2;
    return desktopMode(exe, argc > 2 ? std::max(1, std::atoi(argv[2])) : 8, argc > 3 ? argv[3] : "");
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
