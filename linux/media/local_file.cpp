#include "linux/media/local_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <vector>

#include "linux/media/media_errors.h"

namespace quorrel::linux_desktop {

namespace {

// "scheme:" at the start, as in "http:", "av:", "lavfi:" or "file:".
bool startsWithScheme(const std::string& name) {
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (c == ':') return true;
    const auto u = static_cast<unsigned char>(c);
    if (!std::isalnum(u) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

std::string currentFolder() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

std::uint32_t CheckLocalFile(const std::string& name, std::string& path) {
  using namespace media_errors;
  if (name.empty()) return kFileNotFound;
  if (name.find('\0') != std::string::npos) return kNotLocalFile;
  if (name[0] == '-' || name.find("://") != std::string::npos) return kNotLocalFile;
  if (name[0] != '/' && startsWithScheme(name)) return kNotLocalFile;

  path = name[0] == '/' ? name : currentFolder() + "/" + name;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return kFileNotFound;
  if (!S_ISREG(info.st_mode)) return kNotRegularFile;
  return kSuccess;
}

}  // namespace quorrel::linux_desktop
