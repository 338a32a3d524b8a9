// The Debian package as tools/package builds it (CPack from the build
// tree), what it holds, and its files unpacked into a scratch root the way
// dpkg installs them.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "options/options_actions.h"
#include "tests/support/process.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class DebianPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = std::make_unique<TempDir>();
    const ProcessResult built = RunProcess(
        {"cpack", "-G", "DEB", "-B", scratch_->path(), "--config", QUORREL_BUILD_DIR "/CPackConfig.cmake"}, 5min);
    ASSERT_EQ(built.exitStatus, 0) << built.output;
    const std::string architecture = trimmed(RunProcess({"dpkg", "--print-architecture"}).output);
    package_ = scratch_->file("quorrel_3.26_" + architecture + ".deb");
    ASSERT_TRUE(fs::is_regular_file(package_)) << built.output;
    root_ = scratch_->file("root");
    const ProcessResult unpacked = RunProcess({"dpkg", "-x", package_, root_});
    ASSERT_EQ(unpacked.exitStatus, 0) << unpacked.output;
  }
  static void TearDownTestSuite() { scratch_.reset(); }

  static std::string field(const std::string& name) {
    return trimmed(RunProcess({"dpkg-deb", "-f", package_, name}).output);
  }
  static std::string installed(const std::string& path) { return root_ + "/usr/" + path; }

  static inline std::unique_ptr<TempDir> scratch_;
  static inline std::string package_;
  static inline std::string root_;
};

TEST_F(DebianPackage, listsEveryFileAndDependsOnWhatTheProgramLinks) {
  EXPECT_EQ(field("Package"), "quorrel");
  EXPECT_EQ(field("Version"), "3.26");
  // Computed from the shared libraries, plus what is loaded at run time.
  const std::string depends = field("Depends");
  for (const char* library :
       {"libmpv2", "libqt6widgets6", "libfluidsynth3", "libpulse0", "libxcb1", "qt6-qpa-plugins"}) {
    EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from " << depends;
  }
  const std::string listing = RunProcess({"dpkg-deb", "-c", package_}).output;
  for (const char* path :
       {"./usr/bin/quorrel", "./usr/libexec/xscreensaver/quorrel -> ../../bin/quorrel",
        "./usr/share/xscreensaver/config/quorrel.xml", "./usr/share/applications/screensavers/quorrel.desktop",
        "./usr/share/applications/quorrel.desktop", "./usr/share/icons/hicolor/scalable/apps/quorrel.svg",
        "./usr/share/man/man1/quorrel.1.gz", "./usr/share/doc/quorrel/README.md", "./usr/share/doc/quorrel/copyright",
        "./usr/share/doc/quorrel/changelog.gz", "./usr/libexec/quorrel/quorrel-idle",
        "./etc/xdg/autostart/quorrel-idle.desktop"}) {
    EXPECT_NE(listing.find(std::string(" ") + path + "\n"), std::string::npos) << path << " is not in\n" << listing;
  }
}

TEST_F(DebianPackage, unpackedItsSaverLinkReachesTheProgramAndItsFilesAreValid) {
  const std::string saver = installed("libexec/xscreensaver/quorrel");
  ASSERT_TRUE(fs::is_symlink(saver));
  EXPECT_EQ(fs::canonical(saver), fs::canonical(installed("bin/quorrel")));
  // The unpacked program finds every library it needs: an unknown switch
  // does nothing and ends with 0.
  const ProcessResult started = RunProcess({saver, "/X"}, 30s);
  EXPECT_EQ(started.exitStatus, 0) << started.output;
  // The options dialog's "Support" and "More Software" find the installed
  // README from the program's folder.
  const std::string readme = FindReadme(installed("bin"));
  EXPECT_EQ(readme, fs::canonical(installed("share/doc/quorrel/README.md")).string());
  EXPECT_EQ(ReadFile(readme), ReadFile(QUORREL_SOURCE_DIR "/README.md"));

  // mate-screensaver accepts a theme whose Exec is a program in its saver
  // folders, named by its full path.
  const std::string theme = installed("share/applications/screensavers/quorrel.desktop");
  EXPECT_NE(ReadFile(theme).find("\nExec=/usr/libexec/xscreensaver/quorrel --root\n"), std::string::npos)
      << ReadFile(theme);
  const std::string settings = installed("share/applications/quorrel.desktop");
  EXPECT_NE(ReadFile(settings).find("\nName=Quorrel Settings\n"), std::string::npos);
  EXPECT_NE(ReadFile(settings).find("\nExec=quorrel /C\n"), std::string::npos);
  EXPECT_NE(ReadFile(settings).find("\nIcon=quorrel\n"), std::string::npos);
  // Every desktop session starts the idle watcher at login; the unpacked
  // program finds it in its library folder, and with the option off (no
  // settings at all here) it ends at once, without a word.
  const std::string autostart = root_ + "/etc/xdg/autostart/quorrel-idle.desktop";
  EXPECT_NE(ReadFile(autostart).find("\nExec=quorrel --idle\n"), std::string::npos) << ReadFile(autostart);
  TempDir home;
  const ProcessResult watcher = RunProcess(
      {"env", "HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.path(), installed("bin/quorrel"), "--idle"}, 30s);
  EXPECT_EQ(watcher.exitStatus, 0);
  EXPECT_EQ(watcher.output, "");
  EXPECT_NE(RunProcess({"sh", "-c", "dpkg-deb -I \"$0\" conffiles", package_})
                .output.find("/etc/xdg/autostart/quorrel-idle.desktop"),
            std::string::npos);
  for (const std::string& desktop : {theme, settings, autostart}) {
    const ProcessResult valid = RunProcess({"desktop-file-validate", desktop});
    EXPECT_EQ(valid.exitStatus, 0) << valid.output;
    EXPECT_EQ(valid.output.find("error:"), std::string::npos) << valid.output;
  }

  // xscreensaver-settings reads the saver's description from the XML named
  // after the command.
  const std::string config = installed("share/xscreensaver/config/quorrel.xml");
  const ProcessResult xml = RunProcess({"xmllint", "--noout", config});
  EXPECT_EQ(xml.exitStatus, 0) << xml.output;
  EXPECT_NE(ReadFile(config).find("<screensaver name=\"quorrel\""), std::string::npos);
  EXPECT_NE(ReadFile(config).find("quorrel /C"), std::string::npos);

  const ProcessResult man =
      RunProcess({"sh", "-c", "zcat \"$0\" | groff -man -ww -z", installed("share/man/man1/quorrel.1.gz")});
  EXPECT_EQ(man.exitStatus, 0);
  EXPECT_EQ(man.output, "") << "the man page has mistakes";
}

// What Debian's own check of a package finds: no error and no warning. The
// informational notes it may give are listed, not held against it.
TEST_F(DebianPackage, lintianFindsNoErrorOrWarning) {
  const ProcessResult lintian =
      RunProcess({"lintian", "--no-cfg", "--display-info", "--fail-on", "error,warning", package_}, 5min);
  EXPECT_EQ(lintian.exitStatus, 0) << lintian.output;
  EXPECT_EQ(lintian.output.find("\nE: "), std::string::npos) << lintian.output;
  EXPECT_EQ(lintian.output.find("\nW: "), std::string::npos) << lintian.output;
  RecordProperty("lintian", lintian.output);
  // The maintainer is a name and an address, which Debian requires.
  EXPECT_NE(field("Maintainer").find(" <"), std::string::npos) << field("Maintainer");
}

}  // namespace
}  // namespace quorrel::test
