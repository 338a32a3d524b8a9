#include "entry/mode_dispatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quorrel {
namespace {

// Records each step the dispatch takes, in order.
class RecordingPlatform : public EntryPlatform, public PasswordChangeService {
 public:
  struct Claim : ShowClaim {
    explicit Claim(std::vector<std::string>& steps) : steps_(steps) {}
    ~Claim() override { steps_.push_back("release"); }
    std::vector<std::string>& steps_;
  };

  bool showWindowOnScreen() override {
    steps.push_back("look");
    return showOnScreen;
  }
  PasswordChangeService* passwordChangeService() override { return this; }
  void changePassword(const char* provider) override { steps.push_back(std::string("password ") + provider); }
  bool canRun(Mode /*mode*/) override {
    steps.push_back("ready");
    return ready;
  }
  std::unique_ptr<ShowClaim> claimShow() override {
    steps.push_back("claim");
    return claimFree ? std::make_unique<Claim>(steps) : nullptr;
  }
  void run(Mode mode) override { steps.push_back("run " + std::to_string(static_cast<int>(mode))); }

  bool showOnScreen = false;
  bool ready = true;
  bool claimFree = true;
  std::vector<std::string> steps;
};

using Steps = std::vector<std::string>;
const std::string kRunShow = "run " + std::to_string(static_cast<int>(Mode::Show));
const std::string kRunConfigure = "run " + std::to_string(static_cast<int>(Mode::Configure));
const std::string kRunHosted = "run " + std::to_string(static_cast<int>(Mode::Hosted));

TEST(ModeDispatch, theShowIsClaimedBeforeItRunsAndLetGoOnlyAfterItEnds) {
  RecordingPlatform platform;
  DispatchMode({"/s"}, platform);
  EXPECT_EQ(platform.steps, (Steps{"look", "ready", "claim", kRunShow, "release"}));

  RecordingPlatform taken;
  taken.claimFree = false;
  DispatchMode({"/S"}, taken);
  EXPECT_EQ(taken.steps, (Steps{"look", "ready", "claim"})) << "a show that loses the claim does not run";

  RecordingPlatform configure;
  DispatchMode({"/c:1234"}, configure);
  EXPECT_EQ(configure.steps, (Steps{"look", "ready", kRunConfigure})) << "only a show takes the claim";
}

TEST(ModeDispatch, aShowOnScreenRefusesEveryStartButAHostsCopy) {
  for (const char* argument : {"/s", "/c", "/a"}) {
    RecordingPlatform platform;
    platform.showOnScreen = true;
    DispatchMode({argument}, platform);
    EXPECT_EQ(platform.steps, (Steps{"look"})) << argument;
  }
  RecordingPlatform host;
  host.showOnScreen = true;
  DispatchMode({"--root"}, host);
  EXPECT_EQ(host.steps, (Steps{"ready", kRunHosted})) << "hosts run one copy per monitor at once";
  RecordingPlatform preview;
  preview.showOnScreen = true;
  DispatchMode({"/p", "1234"}, preview);
  EXPECT_EQ(preview.steps, (Steps{"ready", "run " + std::to_string(static_cast<int>(Mode::Preview))}))
      << "the settings' preview is neither refused nor a claim on the one show";
}

TEST(ModeDispatch, thePasswordChangeAndUnknownSwitchesRunNoMode) {
  RecordingPlatform password;
  DispatchMode({"/a", "4242"}, password);
  EXPECT_EQ(password.steps, (Steps{"look", "password SCRSAVE"}));

  RecordingPlatform none;
  DispatchMode({"-s"}, none);
  EXPECT_EQ(none.steps, (Steps{"look"}));

  RecordingPlatform unable;
  unable.ready = false;
  DispatchMode({"/s"}, unable);
  EXPECT_EQ(unable.steps, (Steps{"look", "ready"})) << "a platform that cannot run the mode takes no claim";
}

}  // namespace
}  // namespace quorrel
