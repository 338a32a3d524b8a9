#pragma once

// Screen-saver hosts refuse to run savers as root, so when the tests run as
// root (as CI does) they run every host as the ordinary user that
// tools/desktop.sh names in QUORREL_TEST_USER; otherwise as the user who
// runs the tests.

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace quorrel::test {

using Environment = std::map<std::string, std::string>;

class TestUser {
 public:
  static const TestUser& get();

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] uid_t uid() const { return uid_; }
  [[nodiscard]] gid_t gid() const { return gid_; }

  // Makes `path` and everything under it the test user's own.
  void own(const std::string& path) const;

  // The command line that runs `argv` as the test user with exactly
  // `environment`, nothing of the test's own environment inherited, its
  // standard output and error appended to `log`. Each step execs the next,
  // so the command's process is the one that runs `argv` in the end.
  [[nodiscard]] std::vector<std::string> command(const std::vector<std::string>& argv, const Environment& environment,
                                                 const std::string& log) const;

  // The same in a mount namespace of its own, where `folder` is seen at
  // /usr/libexec/xscreensaver: hosts that run savers only from there find
  // the saver under test without anything being installed on the machine.
  [[nodiscard]] std::vector<std::string> commandWithSaverFolder(const std::string& folder,
                                                                const std::vector<std::string>& argv,
                                                                const Environment& environment,
                                                                const std::string& log) const;

 private:
  TestUser();
  std::vector<std::string> withEnvironment(const std::vector<std::string>& argv, const Environment& environment,
                                           const std::string& log) const;

  std::string name_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  bool switching_ = false;  // the tests run as root and hand over to the test user
};

inline constexpr const char* kSaverFolder = "/usr/libexec/xscreensaver";

}  // namespace quorrel::test
