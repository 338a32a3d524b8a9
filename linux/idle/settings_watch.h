#pragma once

#include <functional>
#include <string>

#include "linux/idle/poll_loop.h"

namespace quorrel::linux_desktop {

// Tells when the settings file may have changed: the options dialog's "OK"
// replaces it (a new file renamed over the old one), an editor writes it in
// place, or it goes. Through inotify on its folder, so a change is seen at
// once and nothing wakes the watcher otherwise; where the folder cannot be
// watched (it does not exist yet), every two seconds.
class SettingsWatch : public Pollable {
 public:
  SettingsWatch(std::string folder, std::string fileName, std::function<void()> changed);
  ~SettingsWatch() override;
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  int pollFd() const override { return watching_ ? inotify_ : -1; }
  short pollEvents() const override;
  std::optional<SteadyTime> deadline() const override;
  void afterWait(short revents) override;

 private:
  void watchFolder();

  std::string folder_;
  std::string fileName_;
  std::function<void()> changed_;
  int inotify_ = -1;
  bool watching_ = false;
  SteadyTime nextLook_{};
};

}  // namespace quorrel::linux_desktop
