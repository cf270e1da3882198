// The real file system over POSIX calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"

namespace pelisto {
namespace {

Status errnoStatus(const std::string& what, int err) {
  StatusCode code = StatusCode::kIoError;
  if (err == ENOENT || err == ENOTDIR) code = StatusCode::kNotFound;
  if (err == ENOSPC || err == EDQUOT) code = StatusCode::kNoSpace;
  return Status::error(code, what + ": " + std::strerror(err));
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
  ~PosixFile() override { ::close(m_fd); }

  Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(m_fd, dst + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return errnoStatus(m_path, errno);
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
        return errnoStatus(m_path, errno);
      }
      done += static_cast<size_t>(w);
    }
    return Status::ok();
  }

  Result<uint64_t> size() override {
    struct stat st;
    if (::fstat(m_fd, &st) != 0) return errnoStatus(m_path, errno);
    return static_cast<uint64_t>(st.st_size);
  }

  Status sync() override {
    if (::fsync(m_fd) != 0) return errnoStatus(m_path, errno);
    return Status::ok();
  }

 private:
  int m_fd;
  std::string m_path;
};

class PosixFileSystem final : public FileSystem {
 public:
  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::kRead: flags |= O_RDONLY; break;
      case OpenMode::kReadWrite: flags |= O_RDWR; break;
      case OpenMode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    if (mode != OpenMode::kCreate && isDirectory(path)) {
      return Status::error(StatusCode::kNotFound, path + ": is a folder");
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return errnoStatus(path, errno);
    return std::unique_ptr<File>(new PosixFile(fd, path));
  }

  bool isFile(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool isDirectory(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  Status remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) return errnoStatus(path, errno);
    return Status::ok();
  }

  Status rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return errnoStatus(to, errno);
    return Status::ok();
  }

  bool sameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
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
  std::string name = ".pelisto-" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter.fetch_add(1)) + ".tmp";
  return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace pelisto
