#pragma once

#include <memory>
#include <string>

#include "media/media_device.h"

namespace quorrel::test {

// A back end whose one device keeps a mode and counts commands.
struct DeviceLog {
  PlayerMode mode = PlayerMode::Stopped;
  int opens = 0, plays = 0, stops = 0, pauses = 0, resumes = 0;
  std::string lastFile;
};

class FakeDevice : public MediaDevice {
 public:
  explicit FakeDevice(DeviceLog& log) : log_(log) {}
  bool hasVideo() const override { return true; }
  Rect sourceRect() const override { return {0, 0, 320, 240}; }
  std::uint32_t close() override { return 0; }
  std::uint32_t play() override { return ++log_.plays, log_.mode = PlayerMode::Playing, 0u; }
  std::uint32_t stop() override { return ++log_.stops, log_.mode = PlayerMode::Stopped, 0u; }
  std::uint32_t pause() override { return ++log_.pauses, log_.mode = PlayerMode::Paused, 0u; }
  std::uint32_t resume() override { return ++log_.resumes, log_.mode = PlayerMode::Playing, 0u; }
  std::uint32_t seekToStart() override { return 0; }
  std::uint32_t position(std::int64_t& ms) override { return ms = 0, 0u; }
  std::uint32_t length(std::int64_t& ms) override { return ms = 1000, 0u; }
  std::uint32_t mode(PlayerMode& mode) override { return mode = log_.mode, 0u; }
  std::uint32_t setDisplayWindow(NativeWindow) override { return 0; }
  std::uint32_t setDestination(const Rect&) override { return 0; }
  std::uint32_t destination(Rect& rect) override { return rect = {0, 0, 320, 240}, 0u; }

 private:
  DeviceLog& log_;
};

class FakeBackend : public MediaBackend {
 public:
  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow,
                                    std::uint32_t& code) override {
    ++log.opens;
    log.lastFile = fileName;
    if (fileName.find("missing") != std::string::npos) {
      code = 263;
      return nullptr;
    }
    code = 0;
    log.mode = PlayerMode::Stopped;
    return std::make_unique<FakeDevice>(log);
  }
  std::uint32_t noDeviceCode() const override { return 999; }
  std::string errorText(std::uint32_t code) const override {
    return code == 263 ? "The specified device is not open or is not recognized by MCI." : "";
  }
  DeviceLog log;
};

}  // namespace quorrel::test
