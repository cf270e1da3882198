// The desktop program: the real window over the program's handlers.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>
#include <QTranslator>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"
#include "platform/program_files.h"
#include "platform/user_folders.h"
#include "qt/desktop_mci.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_ui.h"
#include "qt/worker_timer.h"
#include "shell/command_line.h"
#include "shell/events.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/open_document.h"
#include "shell/write_project.h"
#include "system/console_ui.h"
#include "system/thread_worker.h"

namespace {

// The program's own arguments: Qt's options (and their values) are Qt's.
std::vector<std::string> programArguments(int argc, char** argv) {
  static const std::set<std::string> withValue = {
      "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
      "-qwindowicon", "-qwindowtitle", "-display", "-geometry", "-style", "-stylesheet",
      "-session"};
  static const std::set<std::string> flags = {"-reverse", "-nograb", "-dograb", "-sync",
                                              "-widgetcount"};
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      args.insert(args.end(), argv + i, argv + argc);
      break;
    }
    if (withValue.count(a)) {
      ++i;
    } else if (!flags.count(a)) {
      args.push_back(a);
    }
  }
  return args;
}

// A file named from the folder the program started in is kept by its full
// path, which a saved project or a recovered list still finds from anywhere
// (as it is when the current folder cannot be told).
std::string fullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return path.empty() || error ? path : full.string();
}

// The media device of a command without a window: nothing plays.
class NoSound final : public pelisto::MciDevice {
 public:
  pelisto::MciResult send(const std::string&) override { return {1, "", "no sound without a window"}; }
};

// Writing a project's list without a window (and without a display): the
// program's commands over the real files and a user interface on
// standard error.
int writeWithoutWindow(const pelisto::CommandLine& command) {
  using namespace pelisto;
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  fs->setJournalFolder(userFolders().state);
  ConsoleUi ui(stderr, "pelisto");
  NoSound mci;
  ThreadWorker worker;
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx(ui, *fs, mci, worker, *sound);
  return writeProject(ctx, command);
}

// Help, the version, a wrong command line and writing a list need no
// window: the exit status after answering them, nothing for a command
// line that runs the program.
std::optional<int> answerWithoutWindow(const pelisto::CommandLine& command) {
  using Action = pelisto::CommandLine::Action;
  switch (command.action) {
    case Action::kHelp: std::fputs(pelisto::helpText("pelisto").c_str(), stdout); return 0;
    case Action::kVersion: std::fputs(pelisto::versionText().c_str(), stdout); return 0;
    case Action::kWrite: return writeWithoutWindow(command);
    case Action::kError:
      std::fprintf(stderr, "pelisto: %s\nTry 'pelisto --help'.\n", command.message.c_str());
      return pelisto::kUsageExitStatus;
    case Action::kRun: break;
  }
  return std::nullopt;
}

// The desktop's style, but for the icon of the menu bar's overflow button,
// which a bar as wide as the window never shows: the style would read its
// picture while the window is made, and the first picture read loads every
// image format Qt has, holding up the window's first showing.
class QuickStartStyle final : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon == SP_ToolBarHorizontalExtensionButton) return {};
    return QProxyStyle::standardIcon(icon, option, widget);
  }
};

// The application's names, and Qt's own dialogs in Japanese like the rest
// of the program (through translator, which outlives the window).
void setUpApplication(QTranslator& translator) {
  QApplication::setApplicationName(QStringLiteral("Pelisto"));
  // Ties the window to the installed desktop entry (its menu name and icon).
  QApplication::setDesktopFileName(QStringLiteral(PELISTO_APP_ID));
  if (translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&translator);
  }
}

// The program in its window, from start-up until the window has closed.
void runProgram(const std::string& file) {
  using namespace pelisto;
  std::unique_ptr<FileSystem> fs = newPosixFileSystem();
  fs->setJournalFolder(userFolders().state);  // saves under way, for the next start after a kill
  QtUi ui;
  // Completions arrive on the sound thread and are queued, in order, for
  // this one.
  std::unique_ptr<MciDevice> mci = newDesktopMci(
      *fs, [&ui](MciNotify) { ui.post(Event::mciDone()); },
      [&ui](const std::string& text) { ui.notice(text); });
  // Declared before the context: destroyed after it, cancelling a job
  // still running.
  ThreadWorker worker;
  WorkerTimer workerTimer(worker);
  ThreadWorker recoveryWriter;  // the copy of an unsaved list, apart from the graph cache
  WorkerTimer recoveryTimer(recoveryWriter);
  std::unique_ptr<SoundLibrary> sound = newSoundLibrary();
  AppContext ctx(ui, *fs, *mci, worker, *sound);
  ctx.own = thisProgramFiles();
  ui.setEventSink([&ctx](const Event& event) { dispatchEvent(ctx, event); });
  ui.window().setCloseRefused([&ctx] { return ctx.closeRefused; });
  ui.window().setDropAllowed([&ctx] { return readyToOpen(ctx); });

  layOutWindow(ctx);
  ui.window().show();
  startProgram(ctx, file, RecoverySetUp{thisProgramFilesIn(userFolders().state), recoveryWriter, [] {
                 using namespace std::chrono;
                 return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
               }});
  QtEventPump pump(ui.window());
  runMainLoop(ctx, pump);
  shutdownProgram(ctx);
}

}  // namespace

int main(int argc, char** argv) {
  const pelisto::CommandLine command = pelisto::parseCommandLine(programArguments(argc, argv));
  if (std::optional<int> status = answerWithoutWindow(command)) return *status;
  // The menu stays in the window: asking the desktop for a menu bar of its
  // own costs a message round trip before the window can show.
  QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  QApplication app(argc, argv);
  QApplication::setStyle(new QuickStartStyle);  // the application owns it
  QTranslator translator;
  setUpApplication(translator);
  runProgram(fullPath(command.file));
  return 0;
}
