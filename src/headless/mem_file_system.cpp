#include "headless/mem_file_system.h"

#include <algorithm>
#include <new>

#include "platform/file_errors.h"

namespace pelisto {
namespace {

constexpr uint32_t kDefaultPermissions = 0644;

Status failure(StatusCode code, const char* reason) { return Status::error(code, reason); }

}  // namespace

class MemFile final : public File {
 public:
  MemFile(MemFileSystem& fs, std::string path, MemFileSystem::Data data, bool writable)
      : m_fs(fs), m_path(std::move(path)), m_data(std::move(data)), m_writable(writable) {}
  ~MemFile() override {
    auto it = m_fs.m_locks.find(m_data.get());
    if (it != m_fs.m_locks.end() && it->second == this) m_fs.m_locks.erase(it);
  }

  Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) override {
    if (auto bad = m_fs.m_failReads.find(m_path);
        bad != m_fs.m_failReads.end() && (bad->second == 0 || offset + n > bad->second)) {
      return failure(StatusCode::kIoError, reason::kIoError);
    }
    if (auto out = m_fs.m_memoryOut.find(m_path); out != m_fs.m_memoryOut.end() && offset + n > out->second) {
      throw std::bad_alloc();
    }
    const uint64_t length = m_fs.lengthOf(m_path, m_data);
    if (offset >= length) return size_t{0};
    const size_t count = static_cast<size_t>(std::min<uint64_t>(n, length - offset));
    const size_t held = offset < m_data->size()
                            ? static_cast<size_t>(std::min<uint64_t>(count, m_data->size() - offset))
                            : 0;
    std::copy_n(m_data->begin() + offset, held, dst);
    std::fill(dst + held, dst + count, uint8_t{0});
    return count;
  }

  Status write(uint64_t offset, const uint8_t* src, size_t n) override {
    if (!m_writable || m_fs.readOnly(m_path)) return failure(StatusCode::kDenied, reason::kDenied);
    uint64_t end = offset + n;
    if (end > m_data->size()) {
      uint64_t growth = end - m_data->size();
      if (m_fs.usedBytes() + growth > m_fs.m_capacity) {
        // Fill what fits, as a real device does, then fail.
        uint64_t room = m_fs.m_capacity - std::min(m_fs.m_capacity, m_fs.usedBytes());
        if (offset <= m_data->size()) {
          size_t part = static_cast<size_t>(std::min<uint64_t>(n, m_data->size() - offset + room));
          m_data->resize(std::max<uint64_t>(m_data->size(), offset + part));
          std::copy_n(src, part, m_data->begin() + offset);
        }
        return failure(StatusCode::kNoSpace, reason::kNoSpace);
      }
      m_data->resize(end);
    }
    std::copy_n(src, n, m_data->begin() + offset);
    m_fs.touch(m_path);
    return Status::ok();
  }

  Result<uint64_t> size() override { return m_fs.lengthOf(m_path, m_data); }
  Status sync() override { return Status::ok(); }

  void startWriteback(uint64_t, uint64_t) override {}

  LockResult tryLock() override {
    if (m_fs.m_locksRefused) return LockResult::kUnsupported;
    const void*& holder = m_fs.m_locks[m_data.get()];
    if (holder && holder != this) return LockResult::kHeld;
    holder = this;
    return LockResult::kTaken;
  }

  // Nothing is held in advance; only a device too small is refused.
  Status reserve(uint64_t bytes) override {
    if (!m_writable || m_fs.readOnly(m_path)) return failure(StatusCode::kDenied, reason::kDenied);
    const uint64_t held = m_data->size();
    if (bytes > held && m_fs.usedBytes() + (bytes - held) > m_fs.m_capacity) {
      return failure(StatusCode::kNoSpace, reason::kNoSpace);
    }
    return Status::ok();
  }

 private:
  MemFileSystem& m_fs;
  std::string m_path;
  MemFileSystem::Data m_data;
  bool m_writable;
};

MemFileSystem::MemFileSystem() {
  m_dirs.insert(".");
  m_dirs.insert("/");
}

uint64_t MemFileSystem::usedBytes() const {
  uint64_t used = 0;
  for (const auto& [path, data] : m_files) used += data->size();
  return used;
}

bool MemFileSystem::readOnly(const std::string& path) const {
  return m_readOnly.count(folderOf(path)) != 0;
}

uint64_t MemFileSystem::lengthOf(const std::string& path, const Data& data) const {
  auto it = m_sparse.find(path);
  return std::max<uint64_t>(data->size(), it == m_sparse.end() ? 0 : it->second);
}

uint32_t MemFileSystem::permissions(const std::string& path) const {
  auto it = m_permissions.find(path);
  return it == m_permissions.end() ? kDefaultPermissions : it->second;
}

void MemFileSystem::setProcess(int64_t pid, std::optional<int64_t> startedNs) {
  if (startedNs) {
    m_processes[pid] = *startedNs;
  } else {
    m_processes.erase(pid);
  }
}

std::optional<int64_t> MemFileSystem::processStartedNs(int64_t pid) {
  auto it = m_processes.find(pid);
  if (it == m_processes.end()) return std::nullopt;
  return it->second;
}

bool MemFileSystem::locked(const std::string& path) const {
  auto it = m_files.find(path);
  return it != m_files.end() && m_locks.count(it->second.get()) != 0;
}

Result<std::unique_ptr<File>> MemFileSystem::open(const std::string& path, OpenMode mode) {
  if (m_dirs.count(path)) return failure(StatusCode::kUnsupported, reason::kIsFolder);
  if (m_special.count(path)) return failure(StatusCode::kUnsupported, reason::kNotRegular);
  auto it = m_files.find(path);
  const bool fresh = mode == OpenMode::kCreateNew || mode == OpenMode::kCreateNewLocked;
  const bool create = mode == OpenMode::kCreate || fresh;
  if (!create) {
    if (it == m_files.end()) return failure(StatusCode::kNotFound, reason::kNotFound);
    const bool write = mode == OpenMode::kReadWrite;
    if (write && (permissions(path) & 0222) == 0) return failure(StatusCode::kDenied, reason::kDenied);
    return std::unique_ptr<File>(new MemFile(*this, path, it->second, write));
  }
  if (!isDirectory(folderOf(path))) return failure(StatusCode::kNotFound, reason::kNotFound);
  if (fresh && it != m_files.end()) {
    return failure(StatusCode::kExists, reason::kExists);
  }
  if (readOnly(path)) return failure(StatusCode::kDenied, reason::kDenied);
  Data data = std::make_shared<std::vector<uint8_t>>();
  if (it != m_files.end()) {
    if ((permissions(path) & 0222) == 0) return failure(StatusCode::kDenied, reason::kDenied);
    it->second->clear();
    data = it->second;
  } else {
    m_files[path] = data;
  }
  touch(path);
  auto file = std::make_unique<MemFile>(*this, path, data, true);
  if (mode == OpenMode::kCreateNewLocked) file->tryLock();
  return std::unique_ptr<File>(std::move(file));
}

Result<FileInfo> MemFileSystem::info(const std::string& path) {
  FileInfo i;
  if (m_dirs.count(path)) {
    i.kind = FileKind::kDirectory;
    i.permissions = 0755;
    i.writable = !m_readOnly.count(path);
    return i;
  }
  if (m_special.count(path)) return i;
  auto it = m_files.find(path);
  if (it == m_files.end()) return failure(StatusCode::kNotFound, reason::kNotFound);
  i.kind = FileKind::kRegular;
  i.size = lengthOf(path, it->second);
  auto m = m_modified.find(path);
  i.modifiedNs = m == m_modified.end() ? m_started : m->second;
  i.permissions = permissions(path);
  i.writable = (i.permissions & 0222) != 0 && !readOnly(path);
  return i;
}

Result<std::vector<std::string>> MemFileSystem::list(const std::string& folder) {
  if (!m_dirs.count(folder)) return failure(StatusCode::kNotFound, reason::kNotFound);
  std::vector<std::string> names;
  auto add = [&](const std::string& path) {
    if (path != folder && folderOf(path) == folder) {
      names.push_back(path.substr(path.find_last_of('/') + 1));
    }
  };
  for (const auto& [path, data] : m_files) add(path);
  for (const auto& path : m_dirs) add(path);
  for (const auto& path : m_special) add(path);
  return names;
}

Status MemFileSystem::makeFolder(const std::string& path) {
  if (m_dirs.count(path) || m_files.count(path) || m_special.count(path)) {
    return failure(StatusCode::kExists, reason::kExists);
  }
  if (!m_dirs.count(folderOf(path))) return failure(StatusCode::kNotFound, reason::kNotFound);
  if (readOnly(path)) return failure(StatusCode::kDenied, reason::kDenied);
  m_dirs.insert(path);
  return Status::ok();
}

Status MemFileSystem::remove(const std::string& path) {
  if (!m_files.count(path) && !m_special.count(path)) {
    return failure(StatusCode::kNotFound, reason::kNotFound);
  }
  if (readOnly(path)) return failure(StatusCode::kDenied, reason::kDenied);
  m_files.erase(path);
  m_sparse.erase(path);
  m_special.erase(path);
  m_modified.erase(path);
  m_permissions.erase(path);
  return Status::ok();
}

Status MemFileSystem::rename(const std::string& from, const std::string& to) {
  auto it = m_files.find(from);
  if (it == m_files.end()) return failure(StatusCode::kNotFound, reason::kNotFound);
  if (readOnly(to) || readOnly(from)) return failure(StatusCode::kDenied, reason::kDenied);
  Data data = it->second;
  const uint32_t perms = permissions(from);
  m_files.erase(it);
  m_permissions.erase(from);
  m_files[to] = data;
  m_permissions[to] = perms;
  m_modified[to] = m_modified.count(from) ? m_modified[from] : m_started;
  m_modified.erase(from);
  return Status::ok();
}

Status MemFileSystem::setPermissions(const std::string& path, uint32_t permissions) {
  if (!m_files.count(path)) return failure(StatusCode::kNotFound, reason::kNotFound);
  m_permissions[path] = permissions & 07777;
  return Status::ok();
}

Status MemFileSystem::syncFolder(const std::string& folder) {
  if (!m_dirs.count(folder)) return failure(StatusCode::kNotFound, reason::kNotFound);
  return Status::ok();
}

bool MemFileSystem::sameFile(const std::string& a, const std::string& b) {
  auto ia = m_files.find(a), ib = m_files.find(b);
  return ia != m_files.end() && ib != m_files.end() && ia->second == ib->second;
}

void MemFileSystem::addDirectory(const std::string& path) { m_dirs.insert(path); }

void MemFileSystem::setContents(const std::string& path, std::vector<uint8_t> bytes) {
  m_files[path] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
  touch(path);
}

std::vector<uint8_t> MemFileSystem::contents(const std::string& path) const {
  auto it = m_files.find(path);
  return it == m_files.end() ? std::vector<uint8_t>() : *it->second;
}

std::vector<std::string> MemFileSystem::files() const {
  std::vector<std::string> out;
  for (const auto& [path, data] : m_files) out.push_back(path);
  return out;
}

}  // namespace pelisto
