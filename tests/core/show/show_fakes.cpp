#include "tests/core/show/show_fakes.h"

namespace quorrel::test {

class FakeDevice : public MediaDevice {
 public:
  FakeDevice(std::shared_ptr<FakeDeviceState> state, FakeFile file, std::string backend, EventLog& log)
      : s_(std::move(state)), file_(file), backend_(std::move(backend)), log_(log) {
    s_->destination = sourceRect();
  }
  ~FakeDevice() override { s_->closed = true; }

  bool hasVideo() const override { return file_.hasVideo; }
  Rect sourceRect() const override {
    return file_.hasVideo ? Rect{0, 0, file_.width, file_.height} : Rect{};
  }
  std::uint32_t close() override {
    s_->closed = true;
    return note("close");
  }
  std::uint32_t play() override {
    s_->mode = PlayerMode::Playing;
    return note("play");
  }
  std::uint32_t stop() override {
    s_->mode = PlayerMode::Stopped;
    return note("stop");
  }
  std::uint32_t pause() override {
    s_->mode = PlayerMode::Paused;
    return note("pause");
  }
  std::uint32_t resume() override {
    s_->mode = PlayerMode::Playing;
    return note("resume");
  }
  std::uint32_t seekToStart() override { return 0; }
  std::uint32_t position(std::int64_t& ms) override {
    ms = 0;
    return 0;
  }
  std::uint32_t length(std::int64_t& ms) override {
    ms = 1000;
    return 0;
  }
  std::uint32_t mode(PlayerMode& m) override {
    m = s_->mode;
    return 0;
  }
  std::uint32_t setDisplayWindow(NativeWindow) override { return 0; }
  std::uint32_t setDestination(const Rect& r) override {
    s_->destination = r;
    return 0;
  }
  std::uint32_t destination(Rect& r) override {
    r = s_->destination;
    return 0;
  }

 private:
  std::uint32_t note(const std::string& command) {
    log_.push_back(backend_ + " " + command + " " + s_->fileName);
    return 0;
  }
  std::shared_ptr<FakeDeviceState> s_;
  FakeFile file_;
  std::string backend_;
  EventLog& log_;
};

std::unique_ptr<MediaDevice> FakeBackend::open(const std::string& fileName, NativeWindow,
                                               std::uint32_t& errorCode) {
  log_.push_back(name_ + " open " + fileName);
  if (duringOpen) duringOpen();
  const auto found = files.find(fileName);
  if (found == files.end()) {
    errorCode = 263;
    return nullptr;
  }
  errorCode = 0;
  auto state = std::make_shared<FakeDeviceState>();
  state->fileName = fileName;
  opened.push_back(state);
  return std::make_unique<FakeDevice>(state, found->second, name_, log_);
}

std::vector<std::string> FakeBackend::openedNames() const {
  std::vector<std::string> names;
  for (const auto& device : opened) names.push_back(device->fileName);
  return names;
}

namespace {

class FakeKey : public DesktopSettingsKey {
 public:
  FakeKey(std::optional<std::uint32_t> value, EventLog& log) : value_(value), log_(log) {}
  ~FakeKey() override { log_.push_back("key closed"); }
  std::optional<std::uint32_t> screenSaveUsePassword() const override { return value_; }

 private:
  std::optional<std::uint32_t> value_;
  EventLog& log_;
};

class FakeVerifier : public PasswordVerifier {
 public:
  FakeVerifier(FakePassword& owner, bool answer, EventLog& log) : owner_(owner), answer_(answer), log_(log) {}
  ~FakeVerifier() override { log_.push_back("library unloaded"); }
  bool verifyPassword() override {
    ++owner_.asked;
    log_.push_back("asked");
    if (owner_.whileAsking) owner_.whileAsking();
    return answer_;
  }

 private:
  FakePassword& owner_;
  bool answer_;
  EventLog& log_;
};

}  // namespace

std::unique_ptr<DesktopSettingsKey> FakePassword::openDesktopKey() {
  if (!keyOpens) return nullptr;
  return std::make_unique<FakeKey>(usePassword, log_);
}

std::unique_ptr<PasswordVerifier> FakePassword::loadVerifier() {
  if (!libraryLoads) return nullptr;
  bool answer = false;
  if (!answers.empty()) {
    answer = answers.front();
    answers.erase(answers.begin());
  }
  return std::make_unique<FakeVerifier>(*this, answer, log_);
}

}  // namespace quorrel::test
