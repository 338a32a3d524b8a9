#include "options/options_controller.h"

#include "base/messages.h"
#include "options/dialog_texts.h"
#include "options/option_services.h"
#include "options/options_actions.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/file_system.h"

namespace quorrel {

OptionsController::OptionsController(OptionsServices services, OptionsView& view)
    : services_(std::move(services)),
      view_(view),
      list_(services_.settings.SettingsFileName, services_.boxes, services_.videoExtensions) {
  list_.setView(&view_);
}

void OptionsController::load(std::int32_t screenWidth, std::int32_t screenHeight) {
  SetupDataFolder(services_.settings, services_.boxes);
  // A file in an encoding that is not read would show as an empty file (a
  // thousand empty entries) and refuses every change: the dialog loads
  // nothing from it, as from no file, and the user hears why before making
  // any change.
  const bool unreadable = SettingsFile(services_.settings.SettingsFileName).inUnreadableEncoding();
  if (unreadable) {
    services_.boxes.showMessage(MessageKind::Warning, UnreadableSettingsFileText(services_.settings.SettingsFileName));
  }
  list_.resetSlots();
  view_.setSizeBarRanges(screenWidth, screenHeight);
  const std::optional<FileStatus> file = StatusOf(services_.settings.SettingsFileName);
  if (file && file->regular && !unreadable) {
    options_ = LoadOptions(SettingsFile(services_.settings.SettingsFileName), list_.videoSlots());
  }
  view_.showOptions(options_);
  list_.fillFromSlots();
  list_.updateVideoLabels();
  // The sound buttons keep their selection but cannot be changed until a
  // sound file is chosen.
  soundChoiceEnabled_ = !options_.soundFile.empty();
  view_.setSoundChoiceEnabled(soundChoiceEnabled_);
  services_.chooser.setVideoStartFolder(list_.loadLastDir());
}

void OptionsController::chooseSize(VideoSizeMode size) { options_.size = size; }

void OptionsController::chooseOrder(VideoOrder order) { options_.order = order; }

void OptionsController::chooseSound(bool on) { options_.sound = on ? OnOffChoice::On : OnOffChoice::Off; }

void OptionsController::chooseRepeat(bool on) { options_.repeat = on ? OnOffChoice::On : OnOffChoice::Off; }

void OptionsController::chooseStartMute(MuteChoice choice) { options_.startOn = choice; }

void OptionsController::chooseEndMute(MuteChoice choice) { options_.endOn = choice; }

void OptionsController::chooseEveryMonitor(bool on) {
  options_.everyMonitor = on;
  options_.everyMonitorChosen = true;
}

void OptionsController::chooseIdleStart(bool on) { options_.idleStart = on; }

void OptionsController::chooseIdleMinutes(std::int32_t minutes) { options_.idleMinutes = IdleMinutesOf(minutes); }

void OptionsController::clearMuteChoices() {
  options_.startOn = MuteChoice::LeaveAlone;
  options_.endOn = MuteChoice::LeaveAlone;
  view_.showMuteChoices(options_.startOn, options_.endOn);
}

void OptionsController::widthBarMoved(std::int32_t position) {
  options_.width = position;
  view_.showSizeNumbers(options_.width, options_.height);
}

void OptionsController::heightBarMoved(std::int32_t position) {
  options_.height = position;
  view_.showSizeNumbers(options_.width, options_.height);
}

void OptionsController::chooseSoundFile() {
  const std::optional<std::string> chosen = ChooseSoundFile(services_.chooser, services_.boxes);
  if (!chosen) return;
  // The choice of sound on or off stays as it was; it can be changed now.
  options_.soundFile = *chosen;
  view_.showSoundFile(options_.soundFile);
  soundChoiceEnabled_ = true;
  view_.setSoundChoiceEnabled(true);
}

void OptionsController::saveAndClose() {
  SettingsFile file(services_.settings.SettingsFileName);
  // A refused write throws out of here, before the dialog closes.
  SaveOptions(file, options_);
  if (options_.idleStart && services_.idleWatcher != nullptr) services_.idleWatcher->startIdleWatcher();
  view_.closeDialog();
}

void OptionsController::showMoreSoftware() {
  ShowMoreSoftware(services_.boxes, services_.opener, FindReadme(services_.executableFolder));
}

void OptionsController::showSupport() { ShowSupport(services_.boxes, FindReadme(services_.executableFolder)); }

void OptionsController::addVideo() { list_.addVideo(services_.chooser); }

void OptionsController::addEntireFolder() { (void)list_.addEntireFolder(services_.chooser, services_.progress); }

void OptionsController::clearList() { list_.clearList(); }

void OptionsController::removeVideo() { list_.removeVideo(); }

void OptionsController::selectVideo(std::size_t index) { list_.selectVideo(index); }

void OptionsController::openSelectedVideo() { list_.openSelectedVideo(services_.opener); }

void OptionsController::previewVideo() {
  if (const std::optional<std::string> path = list_.videoToPreview()) view_.showPreview(*path);
}

}  // namespace quorrel
