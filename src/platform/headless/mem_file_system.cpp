#include "platform/headless/mem_file_system.h"

#include <algorithm>

namespace pelisto {

class MemFile final : public File {
 public:
  MemFile(MemFileSystem& fs, std::string path, MemFileSystem::Data data, bool writable)
      : m_fs(fs), m_path(std::move(path)), m_data(std::move(data)), m_writable(writable) {}

  Result<size_t> read(uint64_t offset, uint8_t* dst, size_t n) override {
    if (m_fs.m_failReads.count(m_path)) {
      return Status::error(StatusCode::kIoError, m_path + ": read error");
    }
    if (offset >= m_data->size()) return size_t{0};
    size_t count = std::min<uint64_t>(n, m_data->size() - offset);
    std::copy_n(m_data->begin() + offset, count, dst);
    return count;
  }

  Status write(uint64_t offset, const uint8_t* src, size_t n) override {
    if (!m_writable || m_fs.readOnly(m_path)) {
      return Status::error(StatusCode::kIoError, m_path + ": not writable");
    }
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
        return Status::error(StatusCode::kNoSpace, m_path + ": no space left on device");
      }
      m_data->resize(end);
    }
    std::copy_n(src, n, m_data->begin() + offset);
    return Status::ok();
  }

  Result<uint64_t> size() override { return static_cast<uint64_t>(m_data->size()); }
  Status sync() override { return Status::ok(); }

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

Result<std::unique_ptr<File>> MemFileSystem::open(const std::string& path, OpenMode mode) {
  auto it = m_files.find(path);
  if (mode == OpenMode::kCreate) {
    if (!isDirectory(folderOf(path))) {
      return Status::error(StatusCode::kNotFound, path + ": no such folder");
    }
    if (readOnly(path)) return Status::error(StatusCode::kIoError, path + ": permission denied");
    Data data = std::make_shared<std::vector<uint8_t>>();
    if (it != m_files.end()) {
      it->second->clear();
      data = it->second;
    } else {
      m_files[path] = data;
    }
    return std::unique_ptr<File>(new MemFile(*this, path, data, true));
  }
  if (it == m_files.end()) return Status::error(StatusCode::kNotFound, path + ": no such file");
  return std::unique_ptr<File>(new MemFile(*this, path, it->second, mode == OpenMode::kReadWrite));
}

bool MemFileSystem::isFile(const std::string& path) { return m_files.count(path) != 0; }

bool MemFileSystem::isDirectory(const std::string& path) { return m_dirs.count(path) != 0; }

Status MemFileSystem::remove(const std::string& path) {
  if (!m_files.count(path)) return Status::error(StatusCode::kNotFound, path + ": no such file");
  if (readOnly(path)) return Status::error(StatusCode::kIoError, path + ": permission denied");
  m_files.erase(path);
  return Status::ok();
}

Status MemFileSystem::rename(const std::string& from, const std::string& to) {
  auto it = m_files.find(from);
  if (it == m_files.end()) return Status::error(StatusCode::kNotFound, from + ": no such file");
  if (readOnly(to) || readOnly(from)) {
    return Status::error(StatusCode::kIoError, to + ": permission denied");
  }
  Data data = it->second;
  m_files.erase(it);
  m_files[to] = data;
  return Status::ok();
}

bool MemFileSystem::sameFile(const std::string& a, const std::string& b) {
  auto ia = m_files.find(a), ib = m_files.find(b);
  return ia != m_files.end() && ib != m_files.end() && ia->second == ib->second;
}

void MemFileSystem::addDirectory(const std::string& path) { m_dirs.insert(path); }

void MemFileSystem::setContents(const std::string& path, std::vector<uint8_t> bytes) {
  m_files[path] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
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
