#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "linux/base/application.h"
#include "linux/options/options_dialog.h"
#include "options/option_services.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel::test {

// One application object for the whole test program, on the shared X
// display. It is Quorrel's own, so an error escaping a handler that a real
// input event started reaches the general error report as in the program.
inline linux_desktop::Application& App() {
  static int argc = 1;
  static char name[] = "quorrel";
  static char* argv[] = {name, nullptr};
  static linux_desktop::Application* app = [] {
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    return new linux_desktop::Application(argc, argv);
  }();
  return *app;
}

// Runs `action` on the next modal window once it is up (a message box, a
// sub-dialog), from inside its modal loop.
inline void OnNextModal(std::function<void(QWidget*)> action, int attempts = 200) {
  QTimer::singleShot(20, [action = std::move(action), attempts]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      action(modal);
    } else if (attempts > 0) {
      OnNextModal(std::move(action), attempts - 1);
    }
  });
}

// The idle watcher that "OK" would start, counted instead.
class CountingIdleWatcher : public IdleWatcherStarter {
 public:
  void startIdleWatcher() override { ++starts; }
  int starts = 0;
};

// A fresh configuration folder holding the given settings text, and the
// options dialog opened on it with fake choosers, desktop and boxes.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  void TearDown() override {
    form.reset();
    QApplication::processEvents();
  }
  std::string settingsPath() const { return home.path() + "/Quorrel/quorrel4.ini"; }
  void writeSettings(const std::string& text) {
    std::filesystem::create_directories(home.path() + "/Quorrel");
    WriteFile(settingsPath(), text);
  }
  linux_desktop::OptionsDialog& open(const std::string& text = DefaultSettingsText()) {
    writeSettings(text);
    return openAsItIs();
  }
  linux_desktop::OptionsDialog& openAsItIs() {
    linux_desktop::OptionsDialogServices services;
    services.boxes = &boxes;
    services.chooser = &chooser;
    services.opener = &opener;
    services.progress = &progress;
    services.idleWatcher = &idleWatcher;
    services.executableFolder = home.path();
    services.settings = SettingsLocationIn(home.path());
    services.mediaBackend = mediaBackend;
    form = std::make_unique<linux_desktop::OptionsDialog>(services);
    form->show();
    QApplication::processEvents();
    return *form;
  }
  std::string read(const char* section, const char* key) const {
    return SettingsFile(settingsPath()).readText(section, key, "<absent>");
  }

  TempDir home;
  RecordingBoxes boxes;
  FakeChooser chooser;
  FakeOpener opener;
  FakeProgress progress;
  CountingIdleWatcher idleWatcher;
  std::function<MediaBackend&()> mediaBackend;
  std::unique_ptr<linux_desktop::OptionsDialog> form;
};

}  // namespace quorrel::test
