// The scenario runner in processes of its own, as programs meet on one
// machine: what a running program keeps (in this process namespace and in
// another), what a killed one leaves to the next start, and a start over
// a copy of 256 MB or 3000 copies.
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
#include <regex>
#include <thread>

#include "project/recovery_format.h"
#include "support/test_app.h"

namespace pelisto::test {
namespace {

namespace fs = std::filesystem;

// The runner with its script on a pipe and its transcript read line by line.
class Runner {
 public:
  Runner(const fs::path& dir, const std::vector<std::string>& prefix = {}, rlim_t memory = 0) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(in[0], 0), ::dup2(out[1], 1);
      ::close(in[1]), ::close(out[0]);
      if (::chdir(dir.c_str()) != 0) ::_exit(127);
      ::setenv("XDG_STATE_HOME", (dir / ".state").c_str(), 1), ::setenv("XDG_CACHE_HOME", (dir / ".cache").c_str(), 1);
      const rlimit limit{memory, memory};
      if (memory) ::setrlimit(RLIMIT_AS, &limit);
      std::vector<const char*> argv;
      for (const std::string& p : prefix) argv.push_back(p.c_str());
      argv.push_back(PELISTO_SCRIPT), argv.push_back(nullptr);
      ::execvp(argv[0], const_cast<char* const*>(argv.data()));
      ::_exit(127);
    }
    ::close(in[0]), ::close(out[1]);
    m_in = ::fdopen(in[1], "w"), m_out = ::fdopen(out[0], "r");
  }
  ~Runner() {
    if (m_in) std::fclose(m_in);
    if (m_pid > 0) ::kill(m_pid, SIGKILL), reap();
    if (m_out) std::fclose(m_out);
  }
  void send(const std::string& line) { std::fputs((line + "\n").c_str(), m_in), std::fflush(m_in); }
  // Reads up to the line that starts with `start` (all there is at the end).
  std::vector<std::string> upTo(const std::string& start) {
    std::vector<std::string> lines;
    char buffer[65536];
    while (std::fgets(buffer, sizeof buffer, m_out)) {
      lines.emplace_back(buffer, std::strlen(buffer) - 1);
      if (!start.empty() && lines.back().starts_with(start)) break;
    }
    return lines;
  }
  // The script ends; the rest of the transcript and the exit status.
  std::vector<std::string> end(int& status) {
    std::fclose(m_in), m_in = nullptr;
    std::vector<std::string> lines = upTo("");
    status = reap();
    return lines;
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

 private:
  pid_t m_pid = -1;
  FILE* m_in = nullptr;
  FILE* m_out = nullptr;
};

struct Folder {
  Folder() {
    char name[] = "/tmp/pelisto-owners-XXXXXX";
    dir = ::mkdtemp(name);
    fs::create_directories(dir / ".state/pelisto"), fs::create_directories(dir / ".cache");
    write("n.wav", wavFile(patternData(3 * kBytesPerSecond)));
    write("café.wav", wavFile(patternData(3 * kBytesPerSecond)));
  }
  ~Folder() { fs::remove_all(dir); }
  void write(const fs::path& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  // The names in the folder (of the state and cache folders too) that match.
  std::vector<std::string> named(const std::string& pattern) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
      if (std::regex_match(e.path().filename().string(), std::regex(pattern))) names.push_back(e.path().filename());
    }
    return names;
  }
  // Waits up to 20 s for a file that matches.
  bool appears(const std::string& pattern) {
    for (int i = 0; i < 20000 && named(pattern).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return !named(pattern).empty();
  }
  fs::path dir;
};

const std::string kCopy = "RECOVERY-[0-9]+\\.PRJ", kTemp = "\\.pelisto-.*\\.tmp", kNote = "SAVING-.*\\.NOTE";

// An unsaved list of one pending line on `wave`, its copy on disk once the
// title is printed; with `cache`, the fast display on.
void markOn(Runner& r, const std::string& wave, bool cache = false) {
  for (std::string line : {"answer open " + wave, std::string("menu OpenWaveFile"), std::string("click BUTTON3"),
                           std::string("mouse PICTURE1 down 1 100 40"), std::string("print title")}) {
    if (cache && line == "click BUTTON3") r.send("menu GrapgFast");
    r.send(line);
  }
  r.upTo("title:");
}

// A write of 3000 seconds of silence (529 MB) under way, its temporary file made.
void startLongWrite(Runner& r, Folder& f) {
  markOn(r, "n.wav");
  for (const char* line : {"click BUTTON4", "mouse PICTURE1 down 1 300 40", "answer input 3000", "click BUTTON11",
                           "answer save out.wav", "click BUTTON6"}) {
    r.send(line);
  }
  ASSERT_TRUE(f.appears(kTemp));
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

TEST(ProgramOwners, ARunningProgramKeepsItsCopyCacheAndTemporaryFile) {
  for (bool otherNamespace : {false, true}) {
    if (otherNamespace && std::system("unshare -p -f true > /dev/null 2>&1") != 0) {
      GTEST_SKIP() << "unshare -p -f is not permitted here: the other process namespace is not tried";
    }
    Folder f;
    const std::vector<std::string> prefix = otherNamespace ? std::vector<std::string>{"unshare", "-p", "-f"}
                                                           : std::vector<std::string>{};
    Runner live(f.dir, prefix), writer(f.dir, prefix);
    markOn(live, "n.wav", true);
    startLongWrite(writer, f);
    ::kill(writer.program(), SIGSTOP);
    Runner next(f.dir);
    for (const char* line : {"answer open n.wav", "menu OpenWaveFile", "answer save p.prj", "menu SaveProject"}) {
      next.send(line);
    }
    int status = 0;
    const std::string seen = joined(next.end(status));
    EXPECT_EQ(seen.find("recovery"), std::string::npos) << seen;
    EXPECT_EQ(f.named(kCopy).size(), 2u);
    EXPECT_EQ(f.named("WKGRAPH-.*").size(), 1u);
    ::kill(writer.program(), SIGCONT);
    writer.send("print title");
    const std::string wrote = joined(writer.upTo("title:"));
    EXPECT_EQ(wrote.find("message"), std::string::npos) << wrote;
    EXPECT_GT(fs::file_size(f.dir / "out.wav"), 3000u * kBytesPerSecond);
  }
}

// Killed, a program leaves its copy, offered at the next start whatever
// became of its process id (ended, not yet reaped, or another program's
// now), and the journal takes a write it left half-way.
TEST(ProgramOwners, WhatAKilledProgramLeavesIsFoundAtTheNextStart) {
  Folder f;
  {
    Runner zombie(f.dir), writer(f.dir);
    markOn(zombie, "café.wav");
    startLongWrite(writer, f);
    ::kill(zombie.program(), SIGKILL);
    ::kill(writer.program(), SIGKILL);
    writer.reap();
    EXPECT_EQ(f.named(kNote).size(), 1u);
    Runner next(f.dir);
    next.send("answer restore 2");  // the zombie's, the older one
    next.send("print WAVEFILENAME");
    int status = 0;
    const std::string seen = joined(next.end(status));
    EXPECT_NE(seen.find("recovery 2: café.wav の編集リスト（1 行、"), std::string::npos) << seen;
    EXPECT_NE(seen.find("WAVEFILENAME: café.wav"), std::string::npos) << seen;
    EXPECT_EQ(f.named(kTemp).size() + f.named(kNote).size(), 0u);
  }
  // The one copy left (the writer's) under the number of a process running now.
  const pid_t sleeper = ::fork();
  if (sleeper == 0) ::execlp("sleep", "sleep", "60", nullptr), ::_exit(127);
  ASSERT_EQ(f.named(kCopy).size(), 1u);
  fs::rename(f.dir / ".state/pelisto" / f.named(kCopy)[0],
             f.dir / ".state/pelisto" / ("RECOVERY-" + std::to_string(sleeper) + ".PRJ"));
  Runner next(f.dir);
  next.send("answer later");
  int status = 0;
  EXPECT_NE(joined(next.end(status)).find("recovery: "), std::string::npos);
  ::kill(sleeper, SIGKILL), ::waitpid(sleeper, &status, 0);
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
  const std::string path = std::string(4100, 'p');
  for (int i = 0; i < kMaxEditRows; ++i) large.entries.push_back(ProjectEntry{{path, "n.wav"}, {}});
  f.write(".state/pelisto/RECOVERY-4294967296.PRJ", encodeRecoveryCopy(large, -1).value());
  ASSERT_GT(fs::file_size(f.dir / ".state/pelisto/RECOVERY-4294967296.PRJ"), size_t{256} << 20);
  for (const char* answer : {"later", "yes"}) {
    Runner start(f.dir, {}, rlim_t{512} << 20);
    start.send(std::string("answer ") + answer);
    int status = 0;
    const std::string seen = joined(start.end(status));
    EXPECT_NE(seen.find("n.wav の編集リスト（32767 行、"), std::string::npos) << seen.substr(0, 300);
    EXPECT_EQ(status, 0) << answer;
  }
  fs::remove(f.dir / ".state/pelisto/RECOVERY-4294967296.PRJ");
  const std::vector<uint8_t> small = encodeRecoveryCopy(Project{1, 2, "n.wav", {}, 0}, -1).value();
  for (int i = 0; i < 3000; ++i) f.write(".state/pelisto/RECOVERY-" + std::to_string(8589934592 + i) + ".PRJ", small);
  Runner start(f.dir, {}, rlim_t{512} << 20);
  start.send("answer later");
  int status = 0;
  const std::vector<std::string> seen = start.end(status);
  EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const std::string& l) { return l.starts_with("recovery: "); }), 1);
  EXPECT_EQ(seen.size(), 3002u);  // the question's two lines and a line for each copy
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace pelisto::test
