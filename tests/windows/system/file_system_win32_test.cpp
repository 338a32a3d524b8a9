#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "options/video_list.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "show/read_settings.h"
#include "show/show_state.h"
#include "system/file_system.h"
#include "tests/support/process.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string windowsPath(const TempDir& dir, const std::string& name) {
  std::string path = dir.path() + "\\" + name;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

TEST(WinFileIo, writesReplaceTheFileWhileAReaderKeepsItOpen) {
  TempDir dir;
  const std::string path = windowsPath(dir, "quorrel4.ini");
  SettingsFile file(path);
  file.writeText("Options", "Sound", "0");
  // The read cache keeps the file it read open, as another process's
  // reader would; the replace must not fail against it.
  EXPECT_EQ(file.readText("Options", "Sound", ""), "0");
  HANDLE reader = ::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const std::optional<FileStatus> before = StatusOf(path);
  file.writeText("Options", "Sound", "1");
  EXPECT_EQ(file.readText("Options", "Sound", ""), "1");
  const std::optional<FileStatus> after = StatusOf(path);
  ASSERT_TRUE(before && after);
  EXPECT_TRUE(after->regular);
  EXPECT_NE(before->identity, after->identity) << "a replace makes a new file";
  ::CloseHandle(reader);
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=1\n");
}

TEST(WinFileIo, aWriterWaitsWhileAnotherHoldsTheLockAndThenWrites) {
  TempDir dir;
  const std::string path = windowsPath(dir, "quorrel4.ini");
  SettingsFile file(path);
  file.writeText("Options", "Sound", "0");
  std::optional<WriteLock> held = WriteLock::Acquire(path, std::chrono::milliseconds(0));
  ASSERT_TRUE(held.has_value());
  // LockFileEx locks belong to a handle, so a second handle is refused as
  // another process's would be.
  EXPECT_FALSE(WriteLock::Acquire(path, std::chrono::milliseconds(50)).has_value());
  std::string failure;
  std::thread writer([&] {
    try {
      file.writeText("Options", "Sound", "1");
    } catch (const std::exception& error) {
      failure = error.what();
    }
  });
  test::SleepFor(std::chrono::milliseconds(300));
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=0\n") << "the write did not wait for the lock";
  held.reset();
  writer.join();
  EXPECT_EQ(failure, "");
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=1\n");
  EXPECT_TRUE(WriteLock::Acquire(path, std::chrono::milliseconds(0)).has_value()) << "the writer let go";
}

TEST(WinFileIo, nonAsciiPathsAndValuesRoundTrip) {
  TempDir dir;
  const std::string folder = windowsPath(dir, "Vid\xC3\xA9os \xE6\x97\xA5\xE6\x9C\xAC");
  ASSERT_TRUE(CreateFolders(folder + "\\deeper"));
  const std::string path = folder + "\\deeper\\quorrel4.ini";
  SettingsFile file(path);
  file.writeText("VidConfig", "Name1", folder + "\\clip.avi");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), folder + "\\clip.avi");
  // The names on disk are the UTF-16 form of the UTF-8 bytes: the settings
  // file and the write lock's file beside it.
  EXPECT_NE(::GetFileAttributesW(Widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<FolderEntry> entries = ListFolder(folder + "\\deeper").value();
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, ".quorrel4.ini.lock");
  EXPECT_EQ(entries[1].name, "quorrel4.ini");
  EXPECT_TRUE(entries[1].regularFile);
}

// "Add Video" refuses a file that is not there, a name Windows cannot hold
// among them, and "Add Entire Folder" tells an empty folder from one it
// cannot list.
TEST(WinFileIo, readAccessAndListingsTellMissingFilesAndFoldersApart) {
  TempDir dir;
  const std::string clip = windowsPath(dir, "clip.avi");
  WriteFile(clip, "x");
  EXPECT_EQ(ReadAccessOf(clip), ReadAccess::Readable);
  EXPECT_EQ(ReadAccessOf(windowsPath(dir, "q.avi")), ReadAccess::Missing);
  EXPECT_EQ(ReadAccessOf(windowsPath(dir, "\"q\".avi")), ReadAccess::Missing);
  EXPECT_EQ(ReadAccessOf(windowsPath(dir, "gone\\clip.avi")), ReadAccess::Missing);
  EXPECT_EQ(ReadAccessOf(dir.path()), ReadAccess::Unreadable);
  const std::string empty = windowsPath(dir, "empty");
  ASSERT_TRUE(CreateFolders(empty));
  const std::optional<std::vector<FolderEntry>> none = ListFolder(empty);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  EXPECT_FALSE(ListFolder(windowsPath(dir, "missing")).has_value());
  EXPECT_FALSE(ListFolder(clip).has_value());
}

TEST(WinFileIo, readOnlyFileRefusesWritesAndStaysAsItWas) {
  TempDir dir;
  const std::string path = windowsPath(dir, "quorrel4.ini");
  WriteFile(path, "[Options]\nSound=0\n");
  ASSERT_TRUE(::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY));
  SettingsFile file(path);
  try {
    file.writeText("Options", "Sound", "1");
    ADD_FAILURE() << "the write went through";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=0\n");
  ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::vector<FolderEntry> left = ListFolder(dir.path()).value();
  for (const FolderEntry& entry : left) {
    EXPECT_EQ(entry.name.find(".tmp-"), std::string::npos) << "a temporary file is left behind: " << entry.name;
  }
}

TEST(WinFileIo, staleTemporaryFilesOfEndedProcessesGoAndOthersStay) {
  TempDir dir;
  const std::string path = windowsPath(dir, "quorrel4.ini");
  // Process identifiers are multiples of four; 3 is never a running one.
  const std::string stale = windowsPath(dir, ".quorrel4.ini.tmp-3-0-1");
  const std::string live = windowsPath(dir, ".quorrel4.ini.tmp-" + std::to_string(::GetCurrentProcessId()) + "-0-1");
  WriteFile(stale, "half");
  WriteFile(live, "half");
  RemoveStaleTemporaryFiles(path);
  EXPECT_FALSE(StatusOf(stale).has_value());
  EXPECT_TRUE(StatusOf(live).has_value());
}

TEST(WinFileIo, dataFolderIsInTheRoamingApplicationDataFolder) {
  struct NoBoxes : MessageBoxes {
    void showMessage(MessageKind, const std::string& text) override { ADD_FAILURE() << text; }
  } boxes;
  const SettingsLocation location = UserSettingsLocation();
  SetupDataFolder(location, boxes);
  const std::string home = UserSettingsHome();
  ASSERT_FALSE(home.empty());
  EXPECT_EQ(location.DataFolder, home + "\\Quorrel");
  EXPECT_EQ(location.SettingsFileName, home + "\\Quorrel\\quorrel4.ini");
  EXPECT_EQ(SettingsFile(location.SettingsFileName).readText("vidConfig", "Name1000", ""), "Null");
}

// A settings file as an older program wrote it: in the ANSI code page, here
// with a video in a folder whose name has a letter outside ASCII.
TEST(WinFileIo, anAnsiSettingsFileIsReadAsItsLettersAndKeepsItsCodePage) {
  TempDir dir;
  const std::string folder = windowsPath(dir, "J\u00fcrgen");
  ASSERT_TRUE(::CreateDirectoryW(Widen(folder).c_str(), nullptr));
  // Made through the wide call: the test's narrow file helpers take the
  // ANSI code page, not UTF-8.
  const HANDLE clip = ::CreateFileW(Widen(folder + "\\clip.avi").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(clip, INVALID_HANDLE_VALUE);
  ::CloseHandle(clip);
  const std::optional<std::string> ansiFolder = ToAnsiCodePage(folder);
  if (!ansiFolder || ::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << ::GetACP();
  const std::string path = windowsPath(dir, "quorrel4.ini");
  std::string emptySlots;
  for (int n = 2; n <= 1000; ++n) emptySlots += "Name" + std::to_string(n) + "=Null\r\n";
  WriteFile(path, "[Options]\r\nSound=0\r\n[vidConfig]\r\nName1=" + *ansiFolder + "\\clip.avi\r\n" + emptySlots);

  // The show finds the video instead of reporting "J?rgen" as gone.
  ShowState state;
  std::string message = "unchanged";
  ReadSettings(SettingsFile(path), state, message);
  EXPECT_EQ(state.PlayListCount, 1);
  ASSERT_EQ(state.PlayList.size(), 1u);
  EXPECT_EQ(state.PlayList[0], folder + "\\clip.avi");
  EXPECT_EQ(message, "unchanged");

  // A write keeps the file in its code page, byte for byte elsewhere.
  SettingsFile(path).writeNumber("Options", "Picdis", 2);
  EXPECT_EQ(ReadFile(path), "[Options]\r\nSound=0\r\nPicdis=2\r\n[vidConfig]\r\nName1=" + *ansiFolder +
                                "\\clip.avi\r\n" + emptySlots);
  // A letter the code page lacks does not turn into a question mark: the
  // file becomes UTF-16, which Windows reads as well.
  SettingsFile(path).writeText("vidConfig", "Name2", "C:\\\u65e5\u672c\\a.mp4");
  const std::string rewritten = ReadFile(path);
  EXPECT_EQ(rewritten.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(SettingsFile(path).readText("vidConfig", "Name2", " "), "C:\\\u65e5\u672c\\a.mp4");
  EXPECT_EQ(SettingsFile(path).readText("vidConfig", "Name1", " "), folder + "\\clip.avi");
}

// Notepad's "Unicode": read right, and "OK" writes UTF-16 into it, not
// 8-bit lines after the byte order mark.
TEST(WinFileIo, aUtf16SettingsFileFromNotepadIsReadAndStaysUtf16) {
  TempDir dir;
  const std::string path = windowsPath(dir, "quorrel4.ini");
  const std::wstring text = L"\xFEFF[Options]\r\nPicdis=3\r\n[WavConfig]\r\nName1=C:\\M\u00fcsik\\a.wav\r\n";
  WriteFile(path, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
  EXPECT_EQ(SettingsFile(path).readNumber("Options", "Picdis", -1), 3);
  EXPECT_EQ(SettingsFile(path).readText("WavConfig", "Name1", " "), "C:\\M\u00fcsik\\a.wav");
  SettingsFile(path).writeFlag("Options", "Sound", true);
  // Windows' own profile functions read what was written.
  wchar_t value[64] = {};
  ::GetPrivateProfileStringW(L"Options", L"Sound", L"absent", value, 64, Widen(path).c_str());
  EXPECT_STREQ(value, L"1");
  ::GetPrivateProfileStringW(L"WavConfig", L"Name1", L"absent", value, 64, Widen(path).c_str());
  EXPECT_EQ(Narrow(value), "C:\\M\u00fcsik\\a.wav");
}

TEST(WinFileIo, pathsSplitAtBackslashes) {
  EXPECT_EQ(FolderOf("C:\\Videos\\a.avi"), "C:\\Videos");
  EXPECT_EQ(FolderOf("C:\\a.avi"), "C:\\");
  EXPECT_EQ(FolderOf("C:/Videos/a.avi"), "C:/Videos");
  EXPECT_EQ(BaseNameOf("C:\\Videos\\a.avi"), "a.avi");
  EXPECT_EQ(FolderWithSeparator("C:\\Videos\\a.avi"), "C:\\Videos\\");
  // A drive's root keeps its separator, which "Last Dir" holds too.
  EXPECT_EQ(WithoutTrailingSeparator("C:\\Videos\\"), "C:\\Videos");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(TitleFromExecutable("C:\\Windows\\System32\\QUORREL.SCR"), "Quorrel");
}

}  // namespace
}  // namespace quorrel::windows_desktop
