#include "linux/idle/session_desktop.h"

#include <unistd.h>

#include <cstdlib>

#include "linux/entry/show_claim.h"

namespace quorrel::linux_desktop {

namespace {

constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kLoginSession = "org.freedesktop.login1.Session";
constexpr const char* kGnomeSaver = "org.gnome.ScreenSaver";
constexpr const char* kFreedesktopSaver = "org.freedesktop.ScreenSaver";
// KDE's power management keeps the inhibitions that KWin's idle protocols
// ignore.
constexpr const char* kPowerInhibit = "org.freedesktop.PowerManagement.Inhibit";

}  // namespace

SessionDesktop::SessionDesktop(BusConnection* sessionBus, BusConnection* systemBus, ShowProcess& show,
                               const Inhibitions& ownInhibitions, std::function<void(bool)> lockChanged)
    : sessionBus_(sessionBus),
      systemBus_(systemBus),
      show_(show),
      ownInhibitions_(ownInhibitions),
      lockChanged_(std::move(lockChanged)) {
  findLoginSession();
  watchSignals();
}

SessionDesktop::~SessionDesktop() {
  for (sd_bus_slot* slot : slots_) sd_bus_slot_unref(slot);
}

void SessionDesktop::findLoginSession() {
  if (systemBus_ == nullptr) return;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  int called = 0;
  if (const char* id = std::getenv("XDG_SESSION_ID"); id != nullptr && *id != '\0') {
    called = sd_bus_call_method(systemBus_->get(), kLogin, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                "GetSession", &error, &reply, "s", id);
  } else {
    called = sd_bus_call_method(systemBus_->get(), kLogin, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                "GetSessionByPID", &error, &reply, "u", static_cast<std::uint32_t>(::getpid()));
  }
  const char* path = nullptr;
  if (called >= 0 && sd_bus_message_read(reply, "o", &path) >= 0 && path != nullptr) loginSession_ = path;
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
}

void SessionDesktop::watchSignals() {
  if (sessionBus_ != nullptr) {
    (void)sd_bus_match_signal(sessionBus_->get(), &slots_[0], nullptr, nullptr, kGnomeSaver, "ActiveChanged",
                              &SessionDesktop::activeChanged, this);
    (void)sd_bus_match_signal(sessionBus_->get(), &slots_[1], nullptr, nullptr, kFreedesktopSaver, "ActiveChanged",
                              &SessionDesktop::activeChanged, this);
  }
  if (systemBus_ != nullptr && !loginSession_.empty()) {
    (void)sd_bus_match_signal(systemBus_->get(), &slots_[2], kLogin, loginSession_.c_str(),
                              "org.freedesktop.DBus.Properties", "PropertiesChanged",
                              &SessionDesktop::sessionPropertiesChanged, this);
    (void)sd_bus_match_signal(systemBus_->get(), &slots_[3], kLogin, loginSession_.c_str(), kLoginSession, "Lock",
                              &SessionDesktop::sessionLocked, this);
  }
}

bool SessionDesktop::showRunning() { return show_.running() || ShowClaimHeld(); }

bool SessionDesktop::desktopSaverActive(const char* name, const char* path, const char* interface) const {
  if (sessionBus_ == nullptr) return false;
  const std::optional<std::string> owner = sessionBus_->ownerOf(name);
  if (!owner || *owner == sessionBus_->uniqueName()) return false;
  return sessionBus_->callForBoolean(name, path, interface, "GetActive").value_or(false);
}

bool SessionDesktop::locked() {
  if (systemBus_ != nullptr && !loginSession_.empty()) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int lockedHint = 0;
    const int read = sd_bus_get_property_trivial(systemBus_->get(), kLogin, loginSession_.c_str(), kLoginSession,
                                                 "LockedHint", &error, 'b', &lockedHint);
    sd_bus_error_free(&error);
    if (read >= 0 && lockedHint != 0) return true;
  }
  return desktopSaverActive(kGnomeSaver, "/org/gnome/ScreenSaver", kGnomeSaver) ||
         desktopSaverActive(kFreedesktopSaver, "/org/freedesktop/ScreenSaver", kFreedesktopSaver);
}

bool SessionDesktop::inhibited() {
  if (ownInhibitions_.any()) return true;
  if (sessionBus_ == nullptr || !sessionBus_->ownerOf(kPowerInhibit)) return false;
  return sessionBus_
      ->callForBoolean(kPowerInhibit, "/org/freedesktop/PowerManagement/Inhibit", kPowerInhibit, "HasInhibit")
      .value_or(false);
}

int SessionDesktop::activeChanged(sd_bus_message* signal, void* self, sd_bus_error*) {
  int active = 0;
  if (sd_bus_message_read(signal, "b", &active) >= 0) static_cast<SessionDesktop*>(self)->lockChanged_(active != 0);
  return 0;
}

int SessionDesktop::sessionPropertiesChanged(sd_bus_message*, void* self, sd_bus_error*) {
  // The changed values may come without their values (invalidated), so the
  // lock is asked again rather than read from the signal.
  auto* desktop = static_cast<SessionDesktop*>(self);
  desktop->lockChanged_(desktop->locked());
  return 0;
}

int SessionDesktop::sessionLocked(sd_bus_message*, void* self, sd_bus_error*) {
  static_cast<SessionDesktop*>(self)->lockChanged_(true);
  return 0;
}

}  // namespace quorrel::linux_desktop
