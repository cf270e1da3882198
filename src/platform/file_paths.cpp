// The path helpers of file_system.h: plain text work, but for the process
// number in a temporary name and the current directory.
#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/file_system.h"
#include "platform/replace_file.h"

namespace pelisto {

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

std::string absolutePathOf(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  std::string folder(PATH_MAX, '\0');
  if (!::getcwd(folder.data(), folder.size())) return path;
  folder.resize(folder.find('\0'));
  std::string relative = path;
  while (relative.starts_with("./")) relative.erase(0, 2);
  return folder == "/" ? "/" + relative : folder + "/" + relative;
}

}  // namespace pelisto
