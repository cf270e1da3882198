// The real file system over POSIX calls.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "platform/file_errors.h"
#include "platform/file_system.h"

namespace pelisto {
namespace {

// The code and the user's reason for an errno value. Paths are left to the
// caller, which knows the name the user chose (not a temporary one).
Status errnoStatus(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return Status::error(StatusCode::kNotFound, reason::kNotFound);
    case EACCES:
    case EPERM: return Status::error(StatusCode::kDenied, reason::kDenied);
    case ENOSPC:
    case EDQUOT: return Status::error(StatusCode::kNoSpace, reason::kNoSpace);
    case EROFS: return Status::error(StatusCode::kDenied, reason::kReadOnlyFs);
    case EISDIR: return Status::error(StatusCode::kUnsupported, reason::kIsFolder);
    case EEXIST:
    case ELOOP: return Status::error(StatusCode::kExists, reason::kExists);
    case EMFILE:
    case ENFILE: return Status::error(StatusCode::kLimit, reason::kTooManyFiles);
    case ENAMETOOLONG: return Status::error(StatusCode::kInvalid, reason::kNameTooLong);
    case EIO: return Status::error(StatusCode::kIoError, reason::kIoError);
    default:
      return Status::error(StatusCode::kIoError,
                           std::string(reason::kIoError) + "（エラー番号 " + std::to_string(err) + "）");
  }
}

int64_t nanoseconds(const struct timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int64_t clockNs(clockid_t clock) {
  struct timespec t;
  ::clock_gettime(clock, &t);
  return nanoseconds(t);
}

// The first bytes of a small file of /proc; empty when it cannot be read.
std::string readProcFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char buffer[1024];
  ssize_t n;
  do {
    n = ::read(fd, buffer, sizeof buffer);
  } while (n < 0 && errno == EINTR);
  ::close(fd);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// From /proc/PID/stat: the state (field 3) and the start in clock ticks
// after boot (field 22). The name (field 2) may hold blanks and
// parentheses, so the fields are counted from its last ')'.
std::optional<std::pair<char, uint64_t>> procStat(int64_t pid) {
  const std::string stat = readProcFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::string state, skipped;
  fields >> state;
  for (int i = 4; i < 22; ++i) fields >> skipped;
  uint64_t ticks = 0;
  if (!(fields >> ticks) || state.empty()) return std::nullopt;
  return std::make_pair(state[0], ticks);
}

// A path as the system calls take it: relative to the current folder, or,
// when it is too long for one call (a temporary name beside a target of
// nearly the longest length the system takes), its last name relative to
// its folder, opened first on its own.
class AtPath {
 public:
  explicit AtPath(const std::string& path) : m_name(path) {
    const size_t slash = path.find_last_of('/');
    if (path.size() < PATH_MAX || slash == std::string::npos) return;
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    m_dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dir < 0) {
      m_dir = AT_FDCWD;  // the call then reports the name as too long
      return;
    }
    m_name = path.substr(slash + 1);
  }
  ~AtPath() {
    if (m_dir != AT_FDCWD) ::close(m_dir);
  }
  AtPath(const AtPath&) = delete;
  AtPath& operator=(const AtPath&) = delete;

  int dir() const { return m_dir; }
  const char* name() const { return m_name.c_str(); }

 private:
  int m_dir = AT_FDCWD;
  std::string m_name;
};

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : m_fd(fd) {}
  ~PosixFile() override { ::close(m_fd); }

  Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(m_fd, dst + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return errnoStatus(errno);
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    return done;
  }

  Status write(uint64_t offset, const uint8_t* src, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t w = ::pwrite(m_fd, src + done, n - done, static_cast<off_t>(offset + done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return errnoStatus(errno);
      }
      done += static_cast<size_t>(w);
    }
    return Status::ok();
  }

  Result<uint64_t> size() override {
    struct stat st;
    if (::fstat(m_fd, &st) != 0) return errnoStatus(errno);
    return static_cast<uint64_t>(st.st_size);
  }

  Status sync() override {
    if (::fsync(m_fd) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status reserve(uint64_t bytes) override {
    if (bytes == 0) return Status::ok();
    // The system call itself, not posix_fallocate: where the file system
    // cannot reserve, the library's fallback would write every byte once
    // more as zeros. Such a file system simply grows the file as it is written.
    while (::fallocate(m_fd, 0, 0, static_cast<off_t>(bytes)) != 0) {
      if (errno == EINTR) continue;
      if (errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL) return Status::ok();
      return errnoStatus(errno);
    }
    return Status::ok();
  }

  void startWriteback(uint64_t offset, uint64_t n) override {
    ::sync_file_range(m_fd, static_cast<off_t>(offset), static_cast<off_t>(n), SYNC_FILE_RANGE_WRITE);
  }

  // flock, not fcntl: its lock belongs to this open file, so it holds
  // across threads and against the program's own other handles, and the
  // kernel lets it go with the last handle whatever ends the program.
  LockResult tryLock() override {
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      return errno == EWOULDBLOCK ? LockResult::kHeld : LockResult::kUnsupported;
    }
    return LockResult::kTaken;
  }

 private:
  int m_fd;
};

// A new regular file at path that holds its lock before it has its name:
// made nameless in its folder, locked, then linked under the name. The
// descriptor; -1 (errno EEXIST) when the name is taken; -2 when it cannot
// be made so here (no nameless files, no /proc), for the usual way.
int createLockedFile(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const int dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return -2;
  const int fd = ::openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) {
    ::close(dir);
    return -2;
  }
  ::flock(fd, LOCK_EX | LOCK_NB);
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const bool linked = ::linkat(AT_FDCWD, self.c_str(), dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  const int err = errno;
  ::close(dir);
  if (linked) return fd;
  ::close(fd);
  errno = err;
  return err == EEXIST ? -1 : -2;
}

class PosixFileSystem final : public FileSystem {
 public:
  PosixFileSystem() : m_started(clockNs(CLOCK_REALTIME)) {}

  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
    // Non-blocking, so that a FIFO or a device is refused at once instead
    // of waiting for a writer; the mode is cleared once the file is known
    // to be a regular one.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode) {
      case OpenMode::kRead: flags |= O_RDONLY; break;
      case OpenMode::kReadWrite: flags |= O_RDWR; break;
      case OpenMode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
      case OpenMode::kCreateNew:
      case OpenMode::kCreateNewLocked: flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    if (mode == OpenMode::kCreateNewLocked) {
      if (const int made = createLockedFile(path); made >= 0) return std::unique_ptr<File>(new PosixFile(made));
      else if (made == -1) return errnoStatus(EEXIST);
    }
    const AtPath at(path);
    int fd = ::openat(at.dir(), at.name(), flags, 0666);
    if (fd < 0) return errnoStatus(errno);
    if (mode == OpenMode::kCreateNewLocked) ::flock(fd, LOCK_EX | LOCK_NB);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      Status failed = errnoStatus(errno);
      ::close(fd);
      return failed;
    }
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      return Status::error(StatusCode::kUnsupported,
                           S_ISDIR(st.st_mode) ? reason::kIsFolder : reason::kNotRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::unique_ptr<File>(new PosixFile(fd));
  }

  Result<FileInfo> info(const std::string& path) override {
    const AtPath at(path);
    struct stat st;
    if (::fstatat(at.dir(), at.name(), &st, 0) != 0) return errnoStatus(errno);
    FileInfo i;
    i.kind = S_ISREG(st.st_mode)   ? FileKind::kRegular
             : S_ISDIR(st.st_mode) ? FileKind::kDirectory
                                   : FileKind::kOther;
    i.size = static_cast<uint64_t>(st.st_size);
    i.modifiedNs = nanoseconds(st.st_mtim);
    i.permissions = st.st_mode & 07777;
    // A file without any write bit is read-only by intent, even for a user
    // (root) whom the system would let write it.
    i.writable = ::faccessat(at.dir(), at.name(), W_OK, 0) == 0 && (st.st_mode & 0222) != 0;
    return i;
  }

  Result<std::vector<std::string>> list(const std::string& folder) override {
    const AtPath at(folder);
    const int fd = ::openat(at.dir(), at.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
      Status failed = errnoStatus(errno);
      if (fd >= 0) ::close(fd);
      return failed;
    }
    std::vector<std::string> names;
    while (struct dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
  }

  Status makeFolder(const std::string& path) override {
    const AtPath at(path);
    if (::mkdirat(at.dir(), at.name(), 0700) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status remove(const std::string& path) override {
    const AtPath at(path);
    if (::unlinkat(at.dir(), at.name(), 0) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status rename(const std::string& from, const std::string& to) override {
    const AtPath a(from), b(to);
    if (::renameat(a.dir(), a.name(), b.dir(), b.name()) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status setPermissions(const std::string& path, uint32_t permissions) override {
    const AtPath at(path);
    if (::fchmodat(at.dir(), at.name(), permissions & 07777, 0) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status syncFolder(const std::string& folder) override {
    const AtPath at(folder);
    int fd = ::openat(at.dir(), at.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errnoStatus(errno);
    Status st;
    // Some file systems cannot sync a folder; that loses nothing.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) st = errnoStatus(errno);
    ::close(fd);
    return st;
  }

  bool sameFile(const std::string& a, const std::string& b) override {
    const AtPath atA(a), atB(b);
    struct stat sa, sb;
    if (::fstatat(atA.dir(), atA.name(), &sa, 0) != 0 || ::fstatat(atB.dir(), atB.name(), &sb, 0) != 0) {
      return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }

  int64_t startedNs() const override { return m_started; }

  std::optional<int64_t> processStartedNs(int64_t pid) override {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return std::nullopt;
    const auto stat = procStat(pid);
    if (!stat) {
      // No /proc to read: whether it runs can still be told, not since when.
      if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return std::nullopt;
      return std::numeric_limits<int64_t>::min();
    }
    if (stat->first == 'Z' || stat->first == 'X') return std::nullopt;  // ended, not yet reaped
    // Boot on the wall clock, plus the start after boot rounded down to a
    // tick: never later than the process started.
    const int64_t boot = clockNs(CLOCK_REALTIME) - clockNs(CLOCK_BOOTTIME);
    const int64_t hz = std::max<long>(1, ::sysconf(_SC_CLK_TCK));
    const int64_t ticks = static_cast<int64_t>(stat->second);
    return boot + ticks / hz * 1000000000 + ticks % hz * 1000000000 / hz;
  }

 private:
  int64_t m_started = 0;
};

}  // namespace

std::unique_ptr<FileSystem> newPosixFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace pelisto
