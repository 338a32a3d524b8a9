#include "settings/profile.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace quorrel {
namespace {

using namespace std::string_literals;

std::string valueOf(const Profile& profile, std::string_view section, std::string_view key) {
  const auto value = profile.find(section, key);
  return value ? std::string(*value) : std::string("<missing>");
}

std::string afterSet(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
  Profile profile(text);
  profile.set(section, key, value);
  return profile.text();
}

// Reading hand-edited text the way Windows does

TEST(ProfileReading, blanksAroundNamesAndValuesAreTrimmed) {
  const Profile profile("  [ Options ]  \n\t Height \t=  100 \t\nLast Dir = /home/me/ \n");
  EXPECT_EQ(valueOf(profile, "Options", "Height"), "100");
  EXPECT_EQ(valueOf(profile, "options", "last dir"), "/home/me/");
  EXPECT_EQ(valueOf(profile, " Options", "Height "), "100");
}

TEST(ProfileReading, valueWhollyInMatchingQuotesIsUnquoted) {
  const Profile profile("[s]\na=\"x y\"\nb='z'\nc=\"mixed'\nd=\"\ne=\"\"\nf=say \"hi\"\n");
  EXPECT_EQ(valueOf(profile, "s", "a"), "x y");
  EXPECT_EQ(valueOf(profile, "s", "b"), "z");
  EXPECT_EQ(valueOf(profile, "s", "c"), "\"mixed'");
  EXPECT_EQ(valueOf(profile, "s", "d"), "\"");
  EXPECT_EQ(valueOf(profile, "s", "e"), "");
  EXPECT_EQ(valueOf(profile, "s", "f"), "say \"hi\"");
}

TEST(ProfileReading, commentLinesAndLinesWithoutEqualsAreNotKeys) {
  const Profile profile("[s]\n;a=1\n  ; b=2\nc\nd=4\n");
  EXPECT_EQ(valueOf(profile, "s", ";a"), "<missing>");
  EXPECT_EQ(valueOf(profile, "s", "c"), "<missing>");
  EXPECT_EQ(valueOf(profile, "s", "d"), "4");
}

TEST(ProfileReading, firstOfDuplicateSectionsAndKeysWins) {
  const Profile profile("[S]\na=1\na=2\n[t]\nb=1\n[s]\na=3\nc=5\n");
  EXPECT_EQ(valueOf(profile, "s", "a"), "1");
  // The later duplicate section is not read at all.
  EXPECT_EQ(valueOf(profile, "s", "c"), "<missing>");
}

TEST(ProfileReading, keysBeforeAnySectionAreIgnored) {
  const Profile profile("a=1\n[s]\nb=2\n");
  EXPECT_EQ(valueOf(profile, "", "a"), "<missing>");
  EXPECT_EQ(valueOf(profile, "s", "a"), "<missing>");
  EXPECT_EQ(valueOf(profile, "s", "b"), "2");
}

TEST(ProfileReading, everyLineEndIsAccepted) {
  for (const std::string_view nl : {"\n", "\r\n", "\r"}) {
    const std::string text = "[s]" + std::string(nl) + "a=1" + std::string(nl) + "b=2";
    const Profile profile(text);
    EXPECT_EQ(valueOf(profile, "s", "a"), "1");
    EXPECT_EQ(valueOf(profile, "s", "b"), "2");
  }
}

TEST(ProfileReading, byteOrderMarkIsSkippedAndKept) {
  Profile profile("\xEF\xBB\xBF[s]\na=1\n");
  EXPECT_EQ(valueOf(profile, "s", "a"), "1");
  profile.set("s", "b", "2");
  EXPECT_EQ(profile.text(), "\xEF\xBB\xBF[s]\na=1\nb=2\n");
}

TEST(ProfileReading, valueEndsAtNulByte) {
  const Profile profile("[s]\na=ab\0cd\nb=2\n"s);
  EXPECT_EQ(valueOf(profile, "s", "a"), "ab");
  EXPECT_EQ(valueOf(profile, "s", "b"), "2");
}

TEST(ProfileReading, sectionNameRunsToTheLastBracket) {
  const Profile profile("[a]b]\nk=1\n[bad\nk=2\n");
  EXPECT_EQ(valueOf(profile, "a]b", "k"), "1");
  // A line with no closing bracket opens nothing; its key stays in "a]b".
  EXPECT_EQ(valueOf(profile, "bad", "k"), "<missing>");
}

// Editing

TEST(ProfileEditing, existingKeyIsReplacedInPlaceKeepingItsSpelling) {
  EXPECT_EQ(afterSet("[Options]\n HEIGHT = 100 \nWidth=1\n", "options", "Height", "200"),
            "[Options]\n HEIGHT = 200\nWidth=1\n");
}

TEST(ProfileEditing, newKeyGoesAfterTheSectionsLastEntry) {
  EXPECT_EQ(afterSet("[a]\nx=1\n\n; about b\n[b]\ny=2\n", "A", "z", "3"), "[a]\nx=1\nz=3\n\n; about b\n[b]\ny=2\n");
  EXPECT_EQ(afterSet("[a]\n[b]\n", "a", "z", "3"), "[a]\nz=3\n[b]\n");
}

TEST(ProfileEditing, newSectionGoesAtTheEndSetApartByABlankLine) {
  EXPECT_EQ(afterSet("[a]\nx=1\n", "b", "y", "2"), "[a]\nx=1\n\n[b]\ny=2\n");
  EXPECT_EQ(afterSet("[a]\nx=1\n\n", "b", "y", "2"), "[a]\nx=1\n\n[b]\ny=2\n");
  EXPECT_EQ(afterSet("", "b", "y", "2"), "[b]\ny=2\n");
}

TEST(ProfileEditing, lastLineWithoutLineEndGetsOne) {
  EXPECT_EQ(afterSet("[a]\nx=1", "a", "y", "2"), "[a]\nx=1\ny=2\n");
  EXPECT_EQ(afterSet("[a]\nx=1", "b", "y", "2"), "[a]\nx=1\n\n[b]\ny=2\n");
  EXPECT_EQ(afterSet("[a]\nx=1", "a", "x", "2"), "[a]\nx=2");
}

TEST(ProfileEditing, newLinesFollowTheTextsLineEnds) {
  EXPECT_EQ(afterSet("[a]\r\nx=1\r\n", "a", "y", "2"), "[a]\r\nx=1\r\ny=2\r\n");
  EXPECT_EQ(afterSet("[a]\r\nx=1\r\n", "b", "y", "2"), "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
  EXPECT_EQ(afterSet("[a]\rx=1\r", "a", "y", "2"), "[a]\rx=1\ry=2\r");
}

TEST(ProfileEditing, untouchedLinesKeepEveryByte) {
  const std::string text =
      "; hand-made\r\nstray=1\n[vidConfig]\t\r\nName1 =  /v/a.avi\r\n\n  [Options]\rSound=0\n[vidconfig]\nName2=x\n";
  Profile profile(text);
  profile.set("VIDCONFIG", "Name1", "/v/b.avi");
  EXPECT_EQ(
      profile.text(),
      "; hand-made\r\nstray=1\n[vidConfig]\t\r\nName1 =  /v/b.avi\r\n\n  [Options]\rSound=0\n[vidconfig]\nName2=x\n");
}

TEST(ProfileEditing, writesGoToTheFirstOfDuplicates) {
  EXPECT_EQ(afterSet("[s]\na=1\na=2\n[S]\nb=1\n", "s", "a", "9"), "[s]\na=9\na=2\n[S]\nb=1\n");
  EXPECT_EQ(afterSet("[s]\na=1\n[S]\nb=1\n", "s", "b", "9"), "[s]\na=1\nb=9\n[S]\nb=1\n");
}

TEST(ProfileEditing, valuesThatWouldLoseBlanksOrQuotesAreQuoted) {
  for (const std::string_view value : {" lead", "trail ", "\"quoted\"", "'single'", "\"\"", " "}) {
    Profile profile;
    profile.set("s", "k", value);
    EXPECT_EQ(valueOf(Profile(profile.text()), "s", "k"), value);
  }
  EXPECT_EQ(afterSet("", "s", "k", "/v/a \"b\".avi"), "[s]\nk=/v/a \"b\".avi\n");
}

TEST(ProfileEditing, removeDeletesEveryLineOfTheKeyInTheFirstSection) {
  Profile profile("[s]\na=1\nb=2\nA=3\n[s]\na=4\n");
  EXPECT_TRUE(profile.remove("S", "a"));
  EXPECT_EQ(profile.text(), "[s]\nb=2\n[s]\na=4\n");
  EXPECT_EQ(valueOf(profile, "s", "a"), "<missing>");
  EXPECT_FALSE(profile.remove("s", "a"));
  EXPECT_FALSE(profile.remove("t", "a"));
  profile.set("s", "c", "5");
  EXPECT_EQ(profile.text(), "[s]\nb=2\nc=5\n[s]\na=4\n");
}

// A lone CR followed by an empty LF line reads as one CR-LF. Edits must
// not leave such a pair in the lines held, or the next edit goes astray.
TEST(ProfileEditing, editsNextToALoneCarriageReturnKeepTheTextsLines) {
  struct Case {
    std::string text;
    std::string section, key;  // removed when value is empty
    std::string value;
    std::string expected;
  };
  const Case cases[] = {
      {"[s]\nc=0\ra=1\n\nb=2\n", "s", "a", "", "[s]\nc=0\r\nb=2\n"},
      {"[a]\nx=1\r", "b", "y", "2", "[a]\nx=1\r\r[b]\ny=2\n"},
      {"[a]\rx=1\n\n", "a", "y", "2", "[a]\rx=1\ny=2\r\n\n"},
  };
  for (const Case& c : cases) {
    Profile held(c.text);
    if (c.value.empty()) {
      EXPECT_TRUE(held.remove(c.section, c.key));
    } else {
      held.set(c.section, c.key, c.value);
    }
    EXPECT_EQ(held.text(), c.expected);
    // The next edits land where they land on a fresh read of the same text.
    Profile fresh(held.text());
    for (Profile* profile : {&held, &fresh}) {
      profile->set("a", "n", "7");
      profile->set("s", "n", "8");
      profile->remove("a", "x");
      profile->remove("s", "c");
    }
    EXPECT_EQ(held.text(), fresh.text()) << "from " << ::testing::PrintToString(c.text);
  }
}

TEST(ProfileEditing, namesAndValuesTheFormatCannotHoldAreRefused) {
  Profile profile("[s]\na=1\n");
  EXPECT_THROW(profile.set("s", "a", "x\ny"), std::invalid_argument);
  EXPECT_THROW(profile.set("s", "a", "x\0y"s), std::invalid_argument);
  EXPECT_THROW(profile.set("s]", "a", "x"), std::invalid_argument);
  EXPECT_THROW(profile.set("s", "a=b", "x"), std::invalid_argument);
  EXPECT_THROW(profile.set("s", ";a", "x"), std::invalid_argument);
  EXPECT_THROW(profile.set("s", "[a", "x"), std::invalid_argument);
  EXPECT_THROW(profile.set("s", "  ", "x"), std::invalid_argument);
  EXPECT_EQ(profile.text(), "[s]\na=1\n");
}

}  // namespace
}  // namespace quorrel
