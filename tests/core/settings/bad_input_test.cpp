// Settings files and paths that a user, a crash or another program may
// leave behind: every read gives the stored answer or the default, nothing
// crashes, and a later write keeps every line it does not change.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/core/settings/folder_listing.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::FilesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using namespace std::string_literals;

class BadInput : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("quorrel4.ini");
  SettingsFile file{path};

  // Writes a new section and checks that the old text is kept whole in
  // front of it (a line end may be added to an unterminated last line).
  void expectAppendKeepsText(const std::string& old) {
    file.writeText("Added", "Key", "value");
    const std::string now = ReadFile(path);
    EXPECT_EQ(now.substr(0, old.size()), old);
    EXPECT_EQ(file.readText("Added", "Key", " "), "value");
  }
};

TEST_F(BadInput, emptyFileReadsDefaultsAndTakesWrites) {
  WriteFile(path, "");
  EXPECT_TRUE(file.readFlag("Options", "Sound", true));
  EXPECT_EQ(file.readNumber("Options", "Picdis", 5), 5);
  file.writeText("vidConfig", "Name1", "/v/a.avi");
  EXPECT_EQ(ReadFile(path), "[vidConfig]\nName1=/v/a.avi\n");
}

TEST_F(BadInput, binaryGarbageReadsDefaultsAndSurvivesWrites) {
  std::mt19937 random(20261207);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  WriteFile(path, garbage);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "");
  EXPECT_EQ(file.readNumber("Options", "Height", -1), -1);
  expectAppendKeepsText(garbage);
}

TEST_F(BadInput, tenMegabyteFileIsReadAndEditedInPlace) {
  std::string text = "[Options]\nHeight=100\n[vidConfig]\n";
  for (int n = 1; text.size() < 10 * 1024 * 1024; ++n) {
    text += "Name" + std::to_string(n) + "=/videos/" + std::string(100, 'v') + std::to_string(n) + ".avi\n";
  }
  WriteFile(path, text);
  EXPECT_EQ(file.readText("VIDCONFIG", "Name80000", " "), "/videos/" + std::string(100, 'v') + "80000.avi");
  file.writeNumber("Options", "Height", 200);
  std::string expected = text;
  expected.replace(expected.find("Height=100"), 10, "Height=200");
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(BadInput, lineOfHundredThousandCharactersIsCutOnReadAndKept) {
  const std::string longLine = "Name1=" + std::string(100000, 'x');
  const std::string text = "[vidConfig]\n" + longLine + "\n" + std::string(100000, ';') + "\n";
  WriteFile(path, text);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), std::string(2047, 'x'));
  file.writeText("vidConfig", "Name2", "/v/b.avi");
  EXPECT_EQ(ReadFile(path), "[vidConfig]\n" + longLine + "\nName2=/v/b.avi\n" + std::string(100000, ';') + "\n");
}

TEST_F(BadInput, crOnlyLineEndsAreReadAndKept) {
  WriteFile(path, "[Options]\rSound=0\rHeight=0x64\r");
  EXPECT_FALSE(file.readFlag("Options", "Sound", true));
  EXPECT_EQ(file.readNumber("Options", "Height", -1), 100);
  file.writeNumber("Options", "Width", 5);
  EXPECT_EQ(ReadFile(path), "[Options]\rSound=0\rHeight=0x64\rWidth=5\r");
}

TEST_F(BadInput, byteOrderMarkedCrLfFileKeepsBoth) {
  WriteFile(path, "\xEF\xBB\xBF[Options]\r\nSound=1\r\n");
  EXPECT_TRUE(file.readFlag("Options", "Sound", false));
  file.writeFlag("Options", "Repeat", false);
  file.writeText("WavConfig", "Name1", "Null");
  EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[Options]\r\nSound=1\r\nRepeat=0\r\n\r\n[WavConfig]\r\nName1=Null\r\n");
}

TEST_F(BadInput, duplicateSectionsReadAndWriteTheFirst) {
  WriteFile(path, "[vidConfig]\nName1=/v/first.avi\n[VidConfig]\nName1=/v/second.avi\nName2=/v/only-later.avi\n");
  EXPECT_EQ(file.readText("VidConfig", "Name1", " "), "/v/first.avi");
  EXPECT_EQ(file.readText("VidConfig", "Name2", " "), "");
  file.writeText("VidConfig", "Name2", "/v/b.avi");
  EXPECT_EQ(
      ReadFile(path),
      "[vidConfig]\nName1=/v/first.avi\nName2=/v/b.avi\n[VidConfig]\nName1=/v/second.avi\nName2=/v/only-later.avi\n");
}

TEST_F(BadInput, keysBeforeAnySectionAreIgnoredAndKept) {
  WriteFile(path, "Sound=0\n[Options]\nRepeat=0\n");
  EXPECT_TRUE(file.readFlag("Options", "Sound", true));
  file.writeFlag("Options", "Sound", false);
  EXPECT_EQ(ReadFile(path), "Sound=0\n[Options]\nRepeat=0\nSound=0\n");
}

TEST_F(BadInput, nulByteEndsTheValueAndIsKept) {
  const std::string text = "[vidConfig]\nName1=/v/a.avi\0junk\nName2=/v/b.avi\n"s;
  WriteFile(path, text);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/v/a.avi");
  EXPECT_EQ(file.readText("vidConfig", "Name2", " "), "/v/b.avi");
  expectAppendKeepsText(text);
}

// Paths that are not a plain file in a writable folder

TEST_F(BadInput, folderAtTheSettingsPathRefusesWritesAndReadsDefaults) {
  std::filesystem::create_directory(path);
  EXPECT_EQ(file.readNumber("Options", "Picdis", 5), 5);
  EXPECT_THROW(file.writeNumber("Options", "Picdis", 1), SettingsWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"quorrel4.ini"});
}

TEST_F(BadInput, fifoAtTheSettingsPathNeitherBlocksNorIsReplaced) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  EXPECT_EQ(file.readText("Options", "Sound", "d"), "d");
  EXPECT_THROW(file.writeText("Options", "Sound", "1"), SettingsWriteError);
  file.deleteKey("Options", "Sound");
  struct stat st {};
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(BadInput, symlinkIsWrittenThroughAndKept) {
  std::filesystem::create_directory(dir.file("real"));
  WriteFile(dir.file("real/settings.ini"), "[Options]\nSound=0\n");
  std::filesystem::create_symlink("real/settings.ini", path);
  EXPECT_FALSE(file.readFlag("Options", "Sound", true));
  file.writeFlag("Options", "Sound", true);
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadFile(dir.file("real/settings.ini")), "[Options]\nSound=1\n");
  EXPECT_TRUE(file.readFlag("Options", "Sound", false));
  EXPECT_EQ(FilesIn(dir.file("real")), std::vector<std::string>{"settings.ini"});
}

TEST_F(BadInput, danglingSymlinkCreatesItsTarget) {
  std::filesystem::create_symlink(dir.file("target.ini"), path);
  file.writeText("Options", "Sound", "1");
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadFile(dir.file("target.ini")), "[Options]\nSound=1\n");
}

TEST_F(BadInput, symlinkLoopRefusesWrites) {
  std::filesystem::create_symlink(dir.file("b.ini"), path);
  std::filesystem::create_symlink(path, dir.file("b.ini"));
  EXPECT_EQ(file.readText("Options", "Sound", "d"), "d");
  EXPECT_THROW(file.writeText("Options", "Sound", "1"), SettingsWriteError);
}

TEST_F(BadInput, readOnlyFolderRefusesWrites) {
  WriteFile(path, "[Options]\nSound=0\n");
  ::chmod(dir.path().c_str(), 0555);
  try {
    file.writeFlag("Options", "Sound", true);
    ADD_FAILURE() << "the write went through";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path + ": the folder " + dir.path() + " is read-only");
  }
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=0\n");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"quorrel4.ini"});
}

// Runs `body` in a child process and returns its exit code, so that
// process-wide limits and private mounts end with it.
template <typename Body>
int inChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The child's checks: 0 when the write was refused with the message, the
// file kept and no temporary file left.
int refusedWriteKeepsEverything(const std::string& folder, const std::string& path, const std::string& before) {
  SettingsFile file(path);
  try {
    file.writeText("vidConfig", "Name2", std::string(200000, 'n'));
    return 1;
  } catch (const SettingsWriteError& e) {
    if (std::string(e.what()) != "Unable to write to " + path) return 2;
  }
  if (ReadFile(path) != before) return 3;
  if (FilesIn(folder) != std::vector<std::string>{"quorrel4.ini"}) return 4;
  return 0;
}

TEST_F(BadInput, writeCutShortByFileSizeLimitLeavesOldFile) {
  const std::string before = "[vidConfig]\nName1=/v/a.avi\n";
  WriteFile(path, before);
  const int result = inChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return refusedWriteKeepsEverything(dir.path(), path, before);
  });
  EXPECT_EQ(result, 0);
}

// A mount namespace of the calling process's own, in which it may mount
// file systems: as root directly, otherwise inside a user namespace of its
// own where it is root (where the system allows those). False when neither
// can be had.
bool privateMounts() {
  if (::unshare(CLONE_NEWNS) != 0) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    const auto put = [](const char* file, const std::string& text) {
      std::FILE* out = std::fopen(file, "w");
      const bool ok = out != nullptr && std::fputs(text.c_str(), out) >= 0;
      return out != nullptr && std::fclose(out) == 0 && ok;
    };
    if (!put("/proc/self/setgroups", "deny") || !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
      return false;
    }
  }
  return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A small file system, filled up and then made read-only, in a mount
// namespace of its own; skipped where the system gives none. The refusal
// on the read-only mount names the folder and says that it is read-only.
TEST_F(BadInput, fullDiskAndReadOnlyMountLeaveOldFile) {
  const std::string mountPoint = dir.file("mnt");
  std::filesystem::create_directory(mountPoint);
  const std::string inner = mountPoint + "/quorrel4.ini";
  const std::string before = "[vidConfig]\nName1=/v/a.avi\n";
  const int result = inChild([&] {
    if (!privateMounts() || ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) return 77;
    WriteFile(inner, before);
    if (const int full = refusedWriteKeepsEverything(mountPoint, inner, before); full != 0) return 10 + full;
    if (::mount("tmpfs", mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) return 77;
    SettingsFile file(inner);
    try {
      file.writeText("vidConfig", "Name2", "/v/b.avi");
      return 21;
    } catch (const SettingsWriteError& e) {
      if (std::string(e.what()) != "Unable to write to " + inner + ": the folder " + mountPoint + " is read-only") {
        std::fprintf(stderr, "%s\n", e.what());
        return 23;
      }
    }
    return ReadFile(inner) == before ? 0 : 22;
  });
  if (result == 77) GTEST_SKIP() << "no mount namespace to mount a small file system in";
  EXPECT_EQ(result, 0);
}

// A folder that others may write to but the user may not: the lock file
// cannot be made, and the refusal names the folder with the system's own
// words. Run as an ordinary user, since root is not stopped.
TEST_F(BadInput, aFolderThatRefusesNewFilesIsNamedWithTheSystemsReason) {
  const std::string folder = dir.file("shared");
  std::filesystem::create_directory(folder);
  const std::string inner = folder + "/quorrel4.ini";
  const std::string before = "[vidConfig]\nName1=/v/a.avi\n";
  WriteFile(inner, before);
  uid_t uid = ::geteuid();
  gid_t gid = ::getegid();
  if (uid == 0) {
    const char* named = std::getenv("QUORREL_TEST_USER");
    const passwd* user = ::getpwnam(named != nullptr && *named != '\0' ? named : "nobody");
    ASSERT_NE(user, nullptr) << "no ordinary user to run as";
    uid = user->pw_uid;
    gid = user->pw_gid;
  }
  for (const std::string& path : {dir.path(), folder, inner}) ASSERT_EQ(::chown(path.c_str(), uid, gid), 0) << path;
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(folder.c_str(), 0577);
  const int result = inChild([&] {
    if (::geteuid() == 0 && (::setgid(gid) != 0 || ::setuid(uid) != 0)) return 77;
    try {
      SettingsFile(inner).writeText("vidConfig", "Name2", "/v/b.avi");
      return 1;
    } catch (const SettingsWriteError& e) {
      const std::string message = e.what();
      if (message != "Unable to write to " + inner + ": no file can be made in the folder " + folder + " (" +
                         std::strerror(EACCES) + ")") {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 2;
      }
    }
    return ReadFile(inner) == before ? 0 : 3;
  });
  ::chmod(folder.c_str(), 0755);
  ASSERT_NE(result, 77) << "cannot run as an ordinary user";
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace quorrel
