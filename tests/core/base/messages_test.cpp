#include "base/messages.h"

#include <gtest/gtest.h>

namespace quorrel {
namespace {

TEST(GeneralErrorReport, fullStopFollowsLettersAndDigits) {
  EXPECT_EQ(GeneralErrorText("Unable to write to /home/u/.config/Quorrel/quorrel4.ini"),
            "Unable to write to /home/u/.config/Quorrel/quorrel4.ini.");
  EXPECT_EQ(GeneralErrorText("Volume setting error... error is #6"), "Volume setting error... error is #6.");
  EXPECT_EQ(GeneralErrorText("ends in a slash/"), "ends in a slash/.");
}

TEST(GeneralErrorReport, noFullStopAfterPunctuationAtOrBelowIt) {
  EXPECT_EQ(GeneralErrorText("Done."), "Done.");
  EXPECT_EQ(GeneralErrorText("Stop!"), "Stop!");
  EXPECT_EQ(GeneralErrorText("trailing blank "), "trailing blank ");
  EXPECT_EQ(GeneralErrorText("a-b-"), "a-b-");
  EXPECT_EQ(GeneralErrorText(""), "");
}

TEST(GeneralErrorReport, bytesAboveAsciiCountAsHigher) {
  EXPECT_EQ(GeneralErrorText("caf\xC3\xA9"), "caf\xC3\xA9.");
}

TEST(ApplicationTitle, executableNameKeepsFirstCharacterAndLowersTheRest) {
  EXPECT_EQ(TitleFromExecutable("/usr/local/bin/quorrel"), "quorrel");
  EXPECT_EQ(TitleFromExecutable("build/QUORREL.SCR"), "Quorrel");
  EXPECT_EQ(TitleFromExecutable("qUORREL"), "quorrel");
  EXPECT_EQ(TitleFromExecutable("/opt/my.dir/Quorrel"), "Quorrel");
}

TEST(MessageCaptions, typedBoxesCarryTheirKindAndPlainBoxesTheTitle) {
  SetApplicationTitle("Quorrel");
  EXPECT_EQ(MessageCaption(MessageKind::Warning), "Warning");
  EXPECT_EQ(MessageCaption(MessageKind::Error), "Error");
  EXPECT_EQ(MessageCaption(MessageKind::Information), "Information");
  EXPECT_EQ(MessageCaption(MessageKind::Confirm), "Confirm");
  EXPECT_EQ(MessageCaption(MessageKind::Plain), "Quorrel");
}

}  // namespace
}  // namespace quorrel
