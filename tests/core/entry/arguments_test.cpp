#include "entry/arguments.h"

#include <gtest/gtest.h>

namespace quorrel {
namespace {

Mode decode(std::vector<std::string> arguments) { return DecodeMode(arguments); }

TEST(ArgumentDecoding, noArgumentDoesNothing) { EXPECT_EQ(decode({}), Mode::None); }

TEST(ArgumentDecoding, showSwitchMustMatchExactly) {
  EXPECT_EQ(decode({"/s"}), Mode::Show);
  EXPECT_EQ(decode({"/S"}), Mode::Show);
  EXPECT_EQ(decode({"/S", "1234"}), Mode::Show);
  EXPECT_EQ(decode({"/S:1"}), Mode::None);
  EXPECT_EQ(decode({"/SX"}), Mode::None);
  EXPECT_EQ(decode({"/s "}), Mode::None);
}

TEST(ArgumentDecoding, configureSwitchAcceptsAnySuffix) {
  EXPECT_EQ(decode({"/c"}), Mode::Configure);
  EXPECT_EQ(decode({"/C"}), Mode::Configure);
  EXPECT_EQ(decode({"/C:1234"}), Mode::Configure);
  EXPECT_EQ(decode({"/C1234"}), Mode::Configure);
  EXPECT_EQ(decode({"/c5"}), Mode::Configure);
}

TEST(ArgumentDecoding, passwordSwitchAcceptsAnySuffixAndIgnoresTheHandle) {
  EXPECT_EQ(decode({"/a", "4242"}), Mode::ChangePassword);
  EXPECT_EQ(decode({"/A:1234"}), Mode::ChangePassword);
}

TEST(ArgumentDecoding, everythingElseDoesNothing) {
  for (const char* argument : {"/", "-s", "-c", "s", "", "//S", "\\S", "/PX", "/p1234", "/P 1"}) {
    EXPECT_EQ(decode({argument}), Mode::None) << argument;
  }
}

TEST(ArgumentDecoding, thePreviewTakesItsWindowInEitherFormAndNothingElse) {
  EXPECT_EQ(decode({"/p", "1234"}), Mode::Preview);
  EXPECT_EQ(PreviewWindowHandle({"/p", "1234"}), 1234U);
  EXPECT_EQ(PreviewWindowHandle({"/P:5678"}), 5678U);
  EXPECT_EQ(PreviewWindowHandle({"/p", "18446744073709551615"}), 18446744073709551615ULL);
  // Still the preview, but without a window to draw into; the platform
  // ends it quietly.
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"/p"},
                                             {"/P:"},
                                             {"/p", "0"},
                                             {"/p", "0x10"},
                                             {"/p", "-5"},
                                             {"/p", "12a"},
                                             {"/p:12 "},
                                             {"/p", "18446744073709551616"}}) {
    EXPECT_EQ(decode(arguments), Mode::Preview) << arguments.front();
    EXPECT_EQ(PreviewWindowHandle(arguments), std::nullopt) << arguments.front() << " " << arguments.back();
  }
  EXPECT_EQ(PreviewWindowHandle({"/s", "1234"}), std::nullopt);
  EXPECT_FALSE(RefusedWhileAShowRuns(Mode::Preview));
  EXPECT_TRUE(RefusedWhileAShowRuns(Mode::Configure));
}

TEST(ArgumentDecoding, theSettingsTakeTheirOwnerInEitherFormAndStillOpenWithoutOne) {
  EXPECT_EQ(SettingsOwnerHandle({"/c:4242"}), 4242U);
  EXPECT_EQ(SettingsOwnerHandle({"/C", "4242"}), 4242U);
  // Still the settings, with nobody to own them.
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"/c"}, {"/c:"}, {"/c:0"}, {"/c", "x1"}, {"/configure"}, {"/c", "-1"}}) {
    EXPECT_EQ(decode(arguments), Mode::Configure) << arguments.back();
    EXPECT_EQ(SettingsOwnerHandle(arguments), std::nullopt) << arguments.back();
  }
  EXPECT_EQ(SettingsOwnerHandle({"/p:4242"}), std::nullopt);
}

TEST(ArgumentDecoding, onlyTheFirstArgumentCounts) {
  EXPECT_EQ(decode({"/p", "/S"}), Mode::Preview);
  EXPECT_EQ(decode({"x", "/C"}), Mode::None);
}

TEST(ArgumentUpperCasing, onlyAsciiLettersAreUpperCased) {
  EXPECT_EQ(UpperCasedArgument("/s:abz09-"), "/S:ABZ09-");
  // "é" and "ß" in UTF-8 and a Latin-1 byte stay as they are.
  EXPECT_EQ(UpperCasedArgument("/c\xC3\xA9\xC3\x9F\xE9"), "/C\xC3\xA9\xC3\x9F\xE9");
}

TEST(ArgumentDecoding, nonAsciiLetterAfterTheSlashIsNotASwitch) {
  // U+017F LATIN SMALL LETTER LONG S upper-cases to "S" in Unicode; it must
  // not count as the show switch.
  EXPECT_EQ(decode({"/\xC5\xBF"}), Mode::None);
  EXPECT_EQ(decode({"/\xC3\xA7"}), Mode::None);
}

}  // namespace
}  // namespace quorrel
