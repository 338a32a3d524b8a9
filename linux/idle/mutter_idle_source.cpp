#include "linux/idle/mutter_idle_source.h"

#include "base/log.h"

namespace quorrel::linux_desktop {

namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

}  // namespace

std::unique_ptr<MutterIdleSource> MutterIdleSource::Connect(BusConnection& bus, std::function<void()> idle) {
  if (!bus.ownerOf(kService)) return nullptr;
  std::unique_ptr<MutterIdleSource> source(new MutterIdleSource(bus, std::move(idle)));
  // Mutter sends the signal to this connection alone, from its unique
  // name, so the match names no sender.
  if (sd_bus_match_signal(bus.get(), &source->match_, nullptr, kPath, kInterface, "WatchFired",
                          &MutterIdleSource::watchFired, source.get()) < 0) {
    return nullptr;
  }
  return source;
}

MutterIdleSource::~MutterIdleSource() { sd_bus_slot_unref(match_); }

void MutterIdleSource::setWait(std::chrono::milliseconds wait) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  if (watch_ != 0) {
    (void)sd_bus_call_method(bus_.get(), kService, kPath, kInterface, "RemoveWatch", &error, nullptr, "u", watch_);
    sd_bus_error_free(&error);
    watch_ = 0;
  }
  sd_bus_message* reply = nullptr;
  if (sd_bus_call_method(bus_.get(), kService, kPath, kInterface, "AddIdleWatch", &error, &reply, "t",
                         static_cast<std::uint64_t>(wait.count())) < 0 ||
      sd_bus_message_read(reply, "u", &watch_) < 0) {
    LogError(std::string("idle watcher: GNOME's idle monitor refused a watch: ") +
             (error.message != nullptr ? error.message : "no answer"));
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
}

int MutterIdleSource::watchFired(sd_bus_message* message, void* self, sd_bus_error*) {
  auto* source = static_cast<MutterIdleSource*>(self);
  std::uint32_t id = 0;
  if (sd_bus_message_read(message, "u", &id) >= 0 && id != 0 && id == source->watch_) source->idle_();
  return 0;
}

}  // namespace quorrel::linux_desktop
