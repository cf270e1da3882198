#include "platform/file_table.h"

#include "platform/file_errors.h"

namespace pelisto {

FileTable::Slot* FileTable::slot(int16_t num) {
  if (num < 1 || num > kMaxFiles || !m_slots[num].file) return nullptr;
  return &m_slots[num];
}

const FileTable::Slot* FileTable::slot(int16_t num) const {
  if (num < 1 || num > kMaxFiles || !m_slots[num].file) return nullptr;
  return &m_slots[num];
}

int16_t FileTable::freeFile() const {
  for (int i = 1; i <= kMaxFiles; ++i) {
    if (!m_slots[i].file) return static_cast<int16_t>(i);
  }
  return 0;
}

Status FileTable::open(int16_t num, const std::string& path, OpenMode mode) {
  if (num < 1 || num > kMaxFiles) return Status::error(StatusCode::kLimit, reason::kTooManyFiles);
  if (m_slots[num].file) return Status::error(StatusCode::kInvalid, reason::kTooManyFiles);
  auto opened = m_fs.open(path, mode);
  if (!opened) return opened.status();
  m_slots[num].file = std::move(opened.value());
  m_slots[num].path = path;
  m_slots[num].pos = 0;
  return Status::ok();
}

Result<int16_t> FileTable::openFree(const std::string& path, OpenMode mode) {
  const int16_t num = freeFile();
  if (num == 0) return Status::error(StatusCode::kLimit, reason::kTooManyFiles);
  if (Status st = open(num, path, mode); !st) return st;
  return num;
}

Result<int16_t> FileTable::adopt(const std::string& path, std::unique_ptr<File> file) {
  const int16_t num = freeFile();
  if (num == 0) return Status::error(StatusCode::kLimit, reason::kTooManyFiles);
  m_slots[num] = Slot{std::move(file), path, 0};
  return num;
}

void FileTable::close(int16_t num) {
  if (num < 1 || num > kMaxFiles) return;
  m_slots[num] = Slot();
}

std::unique_ptr<File> FileTable::release(int16_t num) {
  Slot* s = slot(num);
  if (!s) return nullptr;
  std::unique_ptr<File> file = std::move(s->file);
  *s = Slot();
  return file;
}

bool FileTable::isOpen(int16_t num) const { return slot(num) != nullptr; }

std::string FileTable::path(int16_t num) const {
  const Slot* s = slot(num);
  return s ? s->path : std::string();
}

uint64_t FileTable::tell(int16_t num) const {
  const Slot* s = slot(num);
  return s ? s->pos : 0;
}

Status FileTable::seek(int16_t num, uint64_t pos) {
  Slot* s = slot(num);
  if (!s) return Status::error(StatusCode::kInvalid, reason::kNotOpen);
  s->pos = pos;
  return Status::ok();
}

Result<uint64_t> FileTable::length(int16_t num) {
  Slot* s = slot(num);
  if (!s) return Status::error(StatusCode::kInvalid, reason::kNotOpen);
  return s->file->size();
}

Result<size_t> FileTable::read(int16_t num, uint8_t* dst, size_t n) {
  Slot* s = slot(num);
  if (!s) return Status::error(StatusCode::kInvalid, reason::kNotOpen);
  auto got = s->file->read(s->pos, dst, n);
  if (got) s->pos += got.value();
  return got;
}

Status FileTable::write(int16_t num, const uint8_t* src, size_t n) {
  Slot* s = slot(num);
  if (!s) return Status::error(StatusCode::kInvalid, reason::kNotOpen);
  Status st = s->file->write(s->pos, src, n);
  if (st) s->pos += n;
  return st;
}

File* FileTable::file(int16_t num) {
  Slot* s = slot(num);
  return s ? s->file.get() : nullptr;
}

}  // namespace pelisto
