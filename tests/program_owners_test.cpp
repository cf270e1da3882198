// The scenario runner in processes of its own, as programs meet on one
// machine: what a running program keeps (in this process namespace and in
// another), what a killed one leaves to the next start, and a start over a
// copy of 268 MB or 3000 copies.
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "project/recovery_format.h"
#include "support/test_app.h"

namespace pelisto::test {
namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The runner in dir (its state and cache folders there), its script on a
// pipe, its transcript read line by line.
class Runner {
 public:
  explicit Runner(const fs::path& dir, const std::vector<std::string>& prefix = {}, rlim_t memory = 0) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return;
    if ((m_pid = ::fork()) == 0) {
      ::dup2(in[0], 0), ::dup2(out[1], 1), ::close(in[1]), ::close(out[0]);
      ::setenv("XDG_STATE_HOME", (dir / ".state").c_str(), 1), ::setenv("XDG_CACHE_HOME", (dir / ".cache").c_str(), 1);
      const rlimit limit{memory, memory};
      if (memory) ::setrlimit(RLIMIT_AS, &limit);
      std::vector<const char*> argv;
      for (const std::string& p : prefix) argv.push_back(p.c_str());
      argv.push_back(PELISTO_SCRIPT), argv.push_back(nullptr);
      if (::chdir(dir.c_str()) == 0) ::execvp(argv[0], const_cast<char* const*>(argv.data()));
      ::_exit(127);
    }
    ::close(in[0]), ::close(out[1]);
    m_in = ::fdopen(in[1], "w"), m_out = ::fdopen(out[0], "r");
  }
  ~Runner() {
    if (m_in) std::fclose(m_in);
    if (m_pid > 0) ::kill(m_pid, SIGKILL), reap();
    std::fclose(m_out);
  }
  void send(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) std::fputs((l + "\n").c_str(), m_in);
    std::fflush(m_in);
  }
  // The transcript up to the line that starts with `until`, or (the script
  // ended) to its end.
  std::string read(const std::string& until = "") {
    std::string seen;
    char line[65536];
    if (until.empty()) std::fclose(m_in), m_in = nullptr;
    while (std::fgets(line, sizeof line, m_out) && (seen += line, until.empty() || !has(seen, "\n" + until))) {}
    if (until.empty()) m_status = reap();
    return seen;
  }
  // The runner itself (inside `unshare`, its child).
  pid_t program() const {
    std::ifstream children("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid) + "/children");
    pid_t child = 0;
    return children >> child ? child : m_pid;
  }
  int reap() {
    int status = -1;
    if (m_pid > 0) ::waitpid(m_pid, &status, 0);
    m_pid = 0;
    return status;
  }
  int status() const { return m_status; }

 private:
  pid_t m_pid = -1;
  int m_status = -1;
  FILE* m_in = nullptr;
  FILE* m_out = nullptr;
};

struct Folder {
  Folder() {
    char name[] = "/tmp/pelisto-owners-XXXXXX";
    dir = ::mkdtemp(name);
    state = dir / ".state/pelisto";
    fs::create_directories(state), fs::create_directories(dir / ".cache");
    for (const char* wave : {"n.wav", "café.wav"}) write(dir / wave, wavFile(patternData(3 * kBytesPerSecond)));
  }
  ~Folder() { fs::remove_all(dir); }
  static void write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  // The names below the folder that match the shell pattern, waiting up to
  // 20 s for one.
  std::vector<std::string> named(const std::string& pattern, bool wait = false) {
    std::vector<std::string> names;
    for (int i = 0; i < (wait ? 20000 : 1) && names.empty(); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (fnmatch(pattern.c_str(), e.path().filename().c_str(), 0) == 0) names.push_back(e.path().filename());
      }
    }
    return names;
  }
  fs::path dir, state;
};

const std::string kCopy = "RECOVERY-[0-9]*.PRJ", kTemp = ".pelisto-*.tmp", kNote = "SAVING-*.NOTE";

// An unsaved list of one entry on `wave` (the fast display on first with
// `cache`), its copy on disk once the title is printed.
void mark(Runner& r, const std::string& wave, bool cache = false) {
  r.send({"answer open " + wave, "menu OpenWaveFile", cache ? "menu GrapgFast" : "# no cache", "click BUTTON3",
          "mouse PICTURE1 down 1 100 40", "click BUTTON4", "mouse PICTURE1 down 1 300 40", "print title"});
  r.read("title:");
}

// A write of 3000 seconds of silence (529 MB) under way, its temporary file made.
void startLongWrite(Runner& r, Folder& f) {
  mark(r, "n.wav");
  r.send({"answer input 3000", "click BUTTON11", "answer save out.wav", "click BUTTON6"});
  ASSERT_FALSE(f.named(kTemp, true).empty());
}

TEST(ProgramOwners, ARunningProgramKeepsItsCopyCacheAndTemporaryFile) {
  for (bool otherNamespace : {false, true}) {
    if (otherNamespace && std::system("unshare -p -f true > /dev/null 2>&1") != 0) {
      GTEST_SKIP() << "unshare -p -f is not permitted here: the other process namespace is not tried";
    }
    Folder f;
    const std::vector<std::string> prefix = {"unshare", "-p", "-f"};
    Runner live(f.dir, otherNamespace ? prefix : std::vector<std::string>{}), writer(f.dir, otherNamespace ? prefix : std::vector<std::string>{});
    mark(live, "n.wav", true);
    startLongWrite(writer, f);
    ::kill(writer.program(), SIGSTOP);
    Runner next(f.dir);
    next.send({"answer open n.wav", "menu OpenWaveFile", "answer save p.prj", "menu SaveProject"});
    const std::string seen = next.read();
    EXPECT_FALSE(has(seen, "recovery")) << seen;
    EXPECT_EQ(f.named(kCopy).size() * 10 + f.named("WKGRAPH-*").size(), 21u) << "two copies, one cache";
    ::kill(writer.program(), SIGCONT);
    writer.send({"print title"});
    const std::string wrote = writer.read("title:");
    EXPECT_FALSE(has(wrote, "message")) << wrote;
    EXPECT_GT(fs::file_size(f.dir / "out.wav"), 3000u * kBytesPerSecond);
  }
}

// Killed, a program leaves its copy, offered at the next start whatever
// became of its process id (ended, not yet reaped, another program's now),
// and the journal takes a write it left half-way.
TEST(ProgramOwners, WhatAKilledProgramLeavesIsFoundAtTheNextStart) {
  Folder f;
  {
    Runner zombie(f.dir), writer(f.dir);
    mark(zombie, "café.wav");
    startLongWrite(writer, f);
    const pid_t zombiePid = zombie.program(), writerPid = writer.program();
    ::kill(zombiePid, SIGKILL), ::kill(writerPid, SIGKILL), writer.reap();
    EXPECT_EQ(f.named(kNote).size(), 1u);
    // The zombie's copy made the older by a minute: two copies written
    // within one tick of the file system's clock, or the first written
    // again when its program finished surveying its file, could come in
    // either order.
    auto copyOf = [&](pid_t pid) { return f.state / ("RECOVERY-" + std::to_string(pid) + ".PRJ"); };
    fs::last_write_time(copyOf(zombiePid), fs::last_write_time(copyOf(writerPid)) - std::chrono::minutes(1));
    Runner next(f.dir);
    next.send({"answer restore 2", "print WAVEFILENAME"});  // the zombie's, the older one
    const std::string seen = next.read();
    EXPECT_TRUE(has(seen, "recovery 2: café.wav の編集リスト（1 行、")) << seen;
    EXPECT_TRUE(has(seen, "WAVEFILENAME: café.wav")) << seen;
    EXPECT_EQ(f.named(kTemp).size() + f.named(kNote).size(), 0u);
  }
  // The one copy left (the writer's) under the number of a process running now.
  const pid_t sleeper = ::fork();
  if (sleeper == 0) ::execlp("sleep", "sleep", "60", nullptr), ::_exit(127);
  ASSERT_EQ(f.named(kCopy).size(), 1u);
  fs::rename(f.state / f.named(kCopy)[0], f.state / ("RECOVERY-" + std::to_string(sleeper) + ".PRJ"));
  Runner next(f.dir);
  next.send({"answer later"});
  EXPECT_TRUE(has(next.read(), "recovery: "));
  ::kill(sleeper, SIGKILL), ::waitpid(sleeper, nullptr, 0);
}

// One question however many copies, read at their ends only: the start
// stays within an address space of 512 MB (where a list of 268 MB cannot
// be restored: memory runs out with its message, and the program goes on).
TEST(ProgramOwners, ALargeCopyAndThousandsOfCopiesGetOneQuestion) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit tried";
#endif
  Folder f;
  Project large{1, 2, "n.wav", {}, 0};
  large.entries.assign(kMaxEditRows, ProjectEntry{{std::string(4100, 'p'), "n.wav"}, {}});
  f.write(f.state / "RECOVERY-4294967296.PRJ", encodeRecoveryCopy(large, -1).value());
  ASSERT_GT(fs::file_size(f.state / "RECOVERY-4294967296.PRJ"), size_t{256} << 20);
  for (const char* answer : {"later", "yes"}) {
    Runner start(f.dir, {}, rlim_t{512} << 20);
    start.send({std::string("answer ") + answer});
    const std::string seen = start.read();
    EXPECT_TRUE(has(seen, "n.wav の編集リスト（32767 行、")) << seen.substr(0, 300);
    EXPECT_EQ(start.status(), 0) << answer;
  }
  fs::remove(f.state / "RECOVERY-4294967296.PRJ");
  const std::vector<uint8_t> small = encodeRecoveryCopy(Project{1, 2, "n.wav", {}, 0}, -1).value();
  for (int i = 0; i < 3000; ++i) f.write(f.state / ("RECOVERY-" + std::to_string(8589934592 + i) + ".PRJ"), small);
  Runner start(f.dir, {}, rlim_t{512} << 20);
  start.send({"answer later"});
  const std::string seen = start.read();
  // The question's text in two lines, then a line for each copy.
  EXPECT_EQ(std::count(seen.begin(), seen.end(), '\n'), 3002);
  EXPECT_TRUE(seen.starts_with("recovery: ") && seen.find("recovery: ", 1) == std::string::npos);
  EXPECT_EQ(start.status(), 0);
}

}  // namespace
}  // namespace pelisto::test
