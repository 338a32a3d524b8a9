#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/settings_text.h"
#include "system/file_system.h"
#include "tests/core/settings/folder_listing.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::FilesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class SettingsFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("quorrel4.ini");
  SettingsFile file{path};
};

// Reading

TEST_F(SettingsFileTest, missingFileReadsAsDefaultWithoutTrailingBlanks) {
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "");
  EXPECT_EQ(file.readText("History", "Last Dir", "/home/x/  "), "/home/x/");
  EXPECT_EQ(file.readNumber("Options", "Height", -1), -1);
  EXPECT_TRUE(file.readFlag("Options", "Sound", true));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsFileTest, missingKeyAndSectionReadAsDefault) {
  WriteFile(path, "[Options]\nSound=0\n");
  EXPECT_EQ(file.readText("Options", "Other", "x "), "x");
  EXPECT_EQ(file.readText("Nothing", "Sound", " "), "");
  EXPECT_FALSE(file.readFlag("Options", "Sound", true));
}

TEST_F(SettingsFileTest, textReadsAreCutAt2047Bytes) {
  const std::string longPath = "/" + std::string(3000, 'v');
  file.writeText("vidConfig", "Name1", longPath);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), longPath.substr(0, 2047));
  EXPECT_EQ(file.readText("vidConfig", "Name2", std::string(2100, 'd')), std::string(2047, 'd'));
}

TEST_F(SettingsFileTest, numbersReadAsDecimalOrHexadecimal) {
  WriteFile(path,
            "[Options]\nHeight=0x64\nWidth=0X1f\nColor=-12\nPicdis=7\nBig=2147483647\nSmall=-2147483648\n"
            "Over=2147483648\nHexOver=0x80000000\nJunk=12abc\nEmpty=\nPlus=+5\nBareHex=0x\nSpaced= 42 \nMinus=-\n");
  EXPECT_EQ(file.readNumber("Options", "Height", -1), 100);
  EXPECT_EQ(file.readNumber("Options", "Width", -1), 31);
  EXPECT_EQ(file.readNumber("Options", "Color", 4), -12);
  EXPECT_EQ(file.readNumber("Options", "Picdis", 5), 7);
  EXPECT_EQ(file.readNumber("Options", "Big", 0), 2147483647);
  EXPECT_EQ(file.readNumber("Options", "Small", 0), INT32_MIN);
  EXPECT_EQ(file.readNumber("Options", "Spaced", 0), 42);
  for (const char* key : {"Over", "HexOver", "Junk", "Empty", "Plus", "BareHex", "Minus"}) {
    EXPECT_EQ(file.readNumber("Options", key, -7), -7) << key;
  }
}

TEST_F(SettingsFileTest, flagsAreNumbersWhereNonZeroIsTrue) {
  WriteFile(path, "[Options]\nSound=2\nRepeat=0\nStatus=yes\n");
  EXPECT_TRUE(file.readFlag("Options", "Sound", false));
  EXPECT_FALSE(file.readFlag("Options", "Repeat", true));
  EXPECT_TRUE(file.readFlag("Options", "Status", true));
  EXPECT_FALSE(file.readFlag("Options", "Status", false));
}

TEST_F(SettingsFileTest, readsSeeChangesMadeByOthersAtOnce) {
  WriteFile(path, "[vidConfig]\nName1=/a.avi\n");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/a.avi");
  // Same size, same inode, written at once: only a cache that trusts times
  // within their granularity would miss this.
  WriteFile(path, "[vidConfig]\nName1=/b.avi\n");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/b.avi");
  SettingsFile other(path);
  other.writeText("vidConfig", "Name1", "/c.avi");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/c.avi");
  std::filesystem::remove(path);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "");
}

TEST_F(SettingsFileTest, settledFileChangedInPlaceIsReadAgain) {
  WriteFile(path, "[vidConfig]\nName1=/a.avi\n");
  // Long enough for the read cache to trust the file's times.
  test::SleepFor(std::chrono::milliseconds(200));
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/a.avi");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/a.avi");
  // Same inode and size: only the times tell.
  WriteFile(path, "[vidConfig]\nName1=/b.avi\n");
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/b.avi");
}

// Writing

TEST_F(SettingsFileTest, writesCreateTheFileWithLfLineEnds) {
  file.writeFlag("Options", "Sound", true);
  file.writeNumber("Options", "Height", -100);
  file.writeText("VidConfig", "Name1", "/v/a b.avi");
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=1\nHeight=-100\n\n[VidConfig]\nName1=/v/a b.avi\n");
  EXPECT_EQ(file.readNumber("options", "HEIGHT", 0), -100);
}

TEST_F(SettingsFileTest, writeUnderOtherCaseKeepsTheFirstHeader) {
  WriteFile(path, "[vidConfig]\r\nName1=Null\r\nName2=Null\r\n");
  file.writeText("VidConfig", "name2", "/v/b.avi");
  file.writeText("VidConfig", "Name3", "/v/c.avi");
  EXPECT_EQ(ReadFile(path), "[vidConfig]\r\nName1=Null\r\nName2=/v/b.avi\r\nName3=/v/c.avi\r\n");
  EXPECT_EQ(file.readText("vidconfig", "NAME2", " "), "/v/b.avi");
}

TEST_F(SettingsFileTest, lineBreakOrNulInValueIsRefusedAndNothingWritten) {
  file.writeText("vidConfig", "Name1", "/v/a.avi");
  const std::string before = ReadFile(path);
  for (const std::string& value : {std::string("/v/a\nb.avi"), std::string("/v/a\rb"), std::string("a\0b", 3)}) {
    EXPECT_THROW(file.writeText("vidConfig", "Name1", value), SettingsValueError);
  }
  EXPECT_THROW(file.writeText("vid]Config", "Name1", "x"), SettingsValueError);
  EXPECT_THROW(file.writeText("vidConfig", "Na=me", "x"), SettingsValueError);
  EXPECT_THROW(file.writeText("vidConfig", "Name\n1", "x"), SettingsValueError);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"quorrel4.ini"});
}

TEST_F(SettingsFileTest, valueErrorNamesTheProblem) {
  try {
    file.writeText("vidConfig", "Name1", "a\nb");
    FAIL() << "no error";
  } catch (const SettingsValueError& e) {
    EXPECT_EQ(std::string(e.what()), "A text with a line break or a NUL character cannot be stored in " + path);
  }
}

TEST_F(SettingsFileTest, readOnlyFileRefusesWritesAndStaysAsItWas) {
  WriteFile(path, "[Options]\nSound=0\n");
  ::chmod(path.c_str(), 0444);
  try {
    file.writeFlag("Options", "Sound", true);
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=0\n");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"quorrel4.ini"});
}

TEST_F(SettingsFileTest, missingFolderRefusesWrites) {
  SettingsFile nowhere(dir.file("missing/quorrel4.ini"));
  EXPECT_THROW(nowhere.writeText("Options", "Sound", "1"), SettingsWriteError);
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

// A refusal by the write lock names the lock file, which is what stands in
// the way, and says why.
TEST_F(SettingsFileTest, aLockThatCannotBeHadIsNamedInTheRefusal) {
  WriteFile(path, "[Options]\nSound=0\n");
  const std::string lockFile = dir.file(".quorrel4.ini.lock");
  {
    // Another writer that never lets go.
    const std::optional<WriteLock> held = WriteLock::Acquire(path, std::chrono::milliseconds(0));
    ASSERT_TRUE(held.has_value());
    try {
      file.writeFlag("Options", "Sound", true);
      FAIL() << "no error";
    } catch (const SettingsWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path + ": another program holds its lock file " + lockFile);
    }
  }
  // A lock file that nobody can open.
  std::filesystem::remove(lockFile);
  std::filesystem::create_directory(lockFile);
  try {
    file.writeFlag("Options", "Sound", true);
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    // The system's own words for it follow, in brackets.
    const std::string message = e.what();
    EXPECT_TRUE(message.starts_with("Unable to write to " + path + ": its lock file " + lockFile + " cannot be opened (") &&
                message.ends_with(")"))
        << message;
  }
  EXPECT_EQ(ReadFile(path), "[Options]\nSound=0\n");
}

TEST_F(SettingsFileTest, fileModeIsKept) {
  WriteFile(path, "[Options]\nSound=0\n");
  ::chmod(path.c_str(), 0640);
  file.writeFlag("Options", "Sound", true);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SettingsFileTest, deleteKeyRemovesTheLineAndNeverThrows) {
  WriteFile(path, "[Options]\nStarton=1\nEndon=0\n");
  file.deleteKey("options", "STARTON");
  EXPECT_EQ(ReadFile(path), "[Options]\nEndon=0\n");
  file.deleteKey("Options", "Starton");
  file.deleteKey("Nothing", "Starton");
  SettingsFile nowhere(dir.file("missing/quorrel4.ini"));
  nowhere.deleteKey("Options", "Endon");
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  ::chmod(path.c_str(), 0444);
  file.deleteKey("Options", "Endon");
  EXPECT_EQ(ReadFile(path), "[Options]\nEndon=0\n");
}

TEST_F(SettingsFileTest, writingTheStoredValueAgainLeavesTheFileAlone) {
  WriteFile(path, "[Options]\nSound=1\n");
  const auto inode = [&] {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
  };
  const auto before = inode();
  file.writeFlag("Options", "Sound", true);
  EXPECT_EQ(inode(), before);
  // A read-only file still refuses it: every write to it is refused alike.
  ::chmod(path.c_str(), 0444);
  EXPECT_THROW(file.writeFlag("Options", "Sound", true), SettingsWriteError);
}

// Encodings

std::string utf16(std::string_view utf8) { return "\xFF\xFE" + Utf8ToUtf16Le(utf8); }

TEST_F(SettingsFileTest, aUtf16FileIsReadAndRewrittenInUtf16) {
  // Notepad's "Unicode": a byte order mark and CR-LF line ends. The path
  // holds a letter beyond the 16-bit range too.
  const std::string before = "[Options]\r\nSound=1\r\n[vidConfig]\r\nName1=/v/J\u00fcrgen/\U0001F600.avi\r\n";
  WriteFile(path, utf16(before));
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/v/J\u00fcrgen/\U0001F600.avi");
  EXPECT_TRUE(file.readFlag("Options", "Sound", false));

  file.writeNumber("Options", "Picdis", 3);
  file.writeText("vidConfig", "Name2", "/v/\u65e5\u672c.mp4");
  const std::string after = ReadFile(path);
  EXPECT_EQ(after, utf16("[Options]\r\nSound=1\r\nPicdis=3\r\n[vidConfig]\r\nName1=/v/J\u00fcrgen/\U0001F600.avi\r\n"
                         "Name2=/v/\u65e5\u672c.mp4\r\n"));
  EXPECT_EQ(SettingsFile(path).readText("vidConfig", "Name2", " "), "/v/\u65e5\u672c.mp4");
}

// "Unicode big endian" in Notepad's words. The byte order is checked on
// the first characters by hand, not only through the converter under test.
TEST_F(SettingsFileTest, aUtf16BigEndianFileIsReadAndRewrittenInItsOwnEncoding) {
  const auto utf16Be = [](std::string_view utf8) { return "\xFE\xFF" + Utf8ToUtf16Be(utf8); };
  WriteFile(path, utf16Be("[Options]\r\nSound=1\r\n[vidConfig]\r\nName1=/v/J\u00fcrgen/\U0001F600.avi\r\n"));
  EXPECT_FALSE(file.inUnreadableEncoding());
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "/v/J\u00fcrgen/\U0001F600.avi");
  EXPECT_TRUE(file.readFlag("Options", "Sound", false));

  file.writeNumber("Options", "Picdis", 3);
  file.writeText("vidConfig", "Name2", "/v/\u65e5\u672c.mp4");
  const std::string after = ReadFile(path);
  EXPECT_EQ(after.substr(0, 8), std::string("\xFE\xFF\0[\0O\0p", 8));
  EXPECT_EQ(after, utf16Be("[Options]\r\nSound=1\r\nPicdis=3\r\n[vidConfig]\r\nName1=/v/J\u00fcrgen/\U0001F600.avi\r\n"
                           "Name2=/v/\u65e5\u672c.mp4\r\n"));
  EXPECT_EQ(SettingsFile(path).readText("vidConfig", "Name2", " "), "/v/\u65e5\u672c.mp4");
}

// UTF-32 (either byte order, after its mark) and UTF-16 without its mark:
// lines written in another encoding would leave such a file readable in
// none, so it reads as empty and every write leaves it as it was.
TEST_F(SettingsFileTest, aFileInAnEncodingThatIsNotReadReadsAsEmptyAndIsNeverWrittenInto) {
  const std::string text = "[Options]\r\nSound=0\r\n";
  std::string utf32Le = std::string("\xFF\xFE\0\0", 4);
  std::string utf32Be = std::string("\0\0\xFE\xFF", 4);
  for (const char c : text) {
    utf32Le += std::string(1, c) + std::string(3, '\0');
    utf32Be += std::string(3, '\0') + std::string(1, c);
  }
  for (const std::string& stored : {utf32Le, utf32Be, Utf8ToUtf16Le(text), Utf8ToUtf16Be(text)}) {
    WriteFile(path, stored);
    EXPECT_TRUE(file.inUnreadableEncoding());
    EXPECT_TRUE(file.readFlag("Options", "Sound", true));
    try {
      file.writeFlag("Options", "Sound", true);
      ADD_FAILURE() << "the write went through";
    } catch (const SettingsWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path + ": Quorrel cannot read its text encoding");
    }
    file.deleteKey("Options", "Sound");
    EXPECT_EQ(ReadFile(path), stored);
  }
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"quorrel4.ini"});
}

TEST(SettingsText, damagedUtf16AndUtf8BecomeReplacementCharactersNotLostLines) {
  // A lone surrogate and an odd last byte.
  EXPECT_EQ(Utf16LeToUtf8(std::string("a\0\x00\xD8" "b\0c", 7)), "a\uFFFDb\uFFFD");
  EXPECT_FALSE(IsUtf8("J\xFCrgen"));
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));  // an overlong '/'
  EXPECT_TRUE(IsUtf8("J\u00fcrgen \U0001F600"));
  EXPECT_EQ(Utf16LeToUtf8(Utf8ToUtf16Le("x\xFFy")), "x\uFFFDy");
  // A file without a byte order mark keeps its bytes where the system has
  // no ANSI code page to read them in.
  const StoredText stored = DecodeSettingsText("Name1=J\xFCrgen\n");
  if (stored.encoding == TextEncoding::Bytes) {
    EXPECT_EQ(stored.text, "Name1=J\xFCrgen\n");
  }
  EXPECT_EQ(EncodeSettingsText("x", TextEncoding::Bytes), "x");
}

}  // namespace
}  // namespace quorrel
