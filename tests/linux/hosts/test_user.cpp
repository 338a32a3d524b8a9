#include "tests/linux/hosts/test_user.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace quorrel::test {

TestUser::TestUser() {
  const char* configured = std::getenv("QUORREL_TEST_USER");
  if (getuid() == 0 && configured != nullptr && *configured != '\0') {
    const passwd* entry = getpwnam(configured);
    if (entry == nullptr) throw std::runtime_error(std::string("no such test user: ") + configured);
    name_ = configured;
    uid_ = entry->pw_uid;
    gid_ = entry->pw_gid;
    switching_ = true;
    return;
  }
  if (getuid() == 0) {
    throw std::runtime_error("the host tests run as root but QUORREL_TEST_USER names no user; run them with tools/test");
  }
  uid_ = getuid();
  gid_ = getgid();
  const passwd* entry = getpwuid(uid_);
  name_ = entry != nullptr ? entry->pw_name : std::to_string(uid_);
}

const TestUser& TestUser::get() {
  static const TestUser user;
  return user;
}

void TestUser::own(const std::string& path) const {
  if (!switching_) return;
  const auto give = [this](const std::filesystem::path& p) {
    if (lchown(p.c_str(), uid_, gid_) != 0) throw std::runtime_error("cannot hand " + p.string() + " to the test user");
  };
  give(path);
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(path))) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) give(entry.path());
}

std::vector<std::string> TestUser::withEnvironment(const std::vector<std::string>& argv, const Environment& environment,
                                                   const std::string& log) const {
  std::vector<std::string> result = {"env", "-i"};
  for (const auto& [key, value] : environment) result.push_back(key + "=" + value);
  result.insert(result.end(), {"/bin/sh", "-c", "exec \"$@\" >>\"$0\" 2>&1", log});
  result.insert(result.end(), argv.begin(), argv.end());
  return result;
}

std::vector<std::string> TestUser::command(const std::vector<std::string>& argv, const Environment& environment,
                                           const std::string& log) const {
  std::vector<std::string> result;
  if (switching_) {
    result = {"setpriv", "--reuid=" + std::to_string(uid_), "--regid=" + std::to_string(gid_), "--init-groups"};
  }
  const std::vector<std::string> rest = withEnvironment(argv, environment, log);
  result.insert(result.end(), rest.begin(), rest.end());
  return result;
}

std::vector<std::string> TestUser::commandWithSaverFolder(const std::string& folder,
                                                          const std::vector<std::string>& argv,
                                                          const Environment& environment,
                                                          const std::string& log) const {
  const std::string mount = std::string("mount --bind \"$folder\" ") + kSaverFolder;
  std::vector<std::string> result;
  std::vector<std::string> rest;
  if (switching_) {
    // Root makes the mount namespace, then hands over to the test user.
    result = {"unshare", "--mount", "--propagation", "private", "/bin/sh", "-c",
              "folder=$0; " + mount + " && exec \"$@\"", folder};
    rest = command(argv, environment, log);
  } else {
    // An ordinary user needs a user namespace to mount, in which it is
    // root; a second one maps it back to itself, since hosts refuse root.
    result = {"unshare", "--user", "--map-root-user", "--mount", "/bin/sh", "-c",
              "folder=$0; uid=$1; gid=$2; shift 2; " + mount +
                  " && exec unshare --user --map-user=\"$uid\" --map-group=\"$gid\" -- \"$@\"",
              folder, std::to_string(uid_), std::to_string(gid_)};
    rest = withEnvironment(argv, environment, log);
  }
  result.insert(result.end(), rest.begin(), rest.end());
  return result;
}

}  // namespace quorrel::test
