// The real file system over POSIX calls.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/file_errors.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"

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

 private:
  int m_fd;
};

class PosixFileSystem final : public FileSystem {
 public:
  PosixFileSystem() {
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    m_started = nanoseconds(now);
  }

  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
    // Non-blocking, so that a FIFO or a device is refused at once instead
    // of waiting for a writer; the mode is cleared once the file is known
    // to be a regular one.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode) {
      case OpenMode::kRead: flags |= O_RDONLY; break;
      case OpenMode::kReadWrite: flags |= O_RDWR; break;
      case OpenMode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
      case OpenMode::kCreateNew: flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return errnoStatus(errno);
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
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errnoStatus(errno);
    FileInfo i;
    i.kind = S_ISREG(st.st_mode)   ? FileKind::kRegular
             : S_ISDIR(st.st_mode) ? FileKind::kDirectory
                                   : FileKind::kOther;
    i.size = static_cast<uint64_t>(st.st_size);
    i.modifiedNs = nanoseconds(st.st_mtim);
    i.permissions = st.st_mode & 07777;
    // A file without any write bit is read-only by intent, even for a user
    // (root) whom the system would let write it.
    i.writable = ::access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
    return i;
  }

  Result<std::vector<std::string>> list(const std::string& folder) override {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return errnoStatus(errno);
    std::vector<std::string> names;
    while (struct dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
  }

  Status makeFolder(const std::string& path) override {
    if (::mkdir(path.c_str(), 0700) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status setPermissions(const std::string& path, uint32_t permissions) override {
    if (::chmod(path.c_str(), permissions & 07777) != 0) return errnoStatus(errno);
    return Status::ok();
  }

  Status syncFolder(const std::string& folder) override {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errnoStatus(errno);
    Status st;
    // Some file systems cannot sync a folder; that loses nothing.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) st = errnoStatus(errno);
    ::close(fd);
    return st;
  }

  bool sameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }

  int64_t startedNs() const override { return m_started; }

 private:
  int64_t m_started = 0;
};

}  // namespace

std::unique_ptr<FileSystem> newPosixFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string temporaryPathBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  std::string folder = folderOf(target);
  std::string name = kTemporaryPrefix + std::to_string(::getpid()) + "-" +
                     std::to_string(counter.fetch_add(1)) + kTemporarySuffix;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace pelisto
