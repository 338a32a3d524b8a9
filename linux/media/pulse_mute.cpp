#include "linux/media/pulse_mute.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

#include <chrono>
#include <memory>

namespace quorrel::linux_desktop {

namespace {

using Clock = std::chrono::steady_clock;

// A sound server that does not answer must not freeze the show: after this
// long the attempt counts as failed.
constexpr auto kServerBound = std::chrono::seconds(2);

struct MainloopDeleter {
  void operator()(pa_mainloop* loop) const { pa_mainloop_free(loop); }
};
struct ContextDeleter {
  void operator()(pa_context* context) const {
    pa_context_disconnect(context);
    pa_context_unref(context);
  }
};
struct OperationDeleter {
  void operator()(pa_operation* operation) const {
    // An operation still running when the wait gave up is dropped; the
    // context's disconnect ends it.
    pa_operation_cancel(operation);
    pa_operation_unref(operation);
  }
};

// One private main loop per call, run on the caller's thread: nothing is
// kept between calls and no thread is left behind.
class PulseSession {
 public:
  PulseSession() : loop_(pa_mainloop_new()), deadline_(Clock::now() + kServerBound) {}

  // Connects to the default server without starting one; 0 or a libpulse
  // error number.
  int connect() {
    if (!loop_) return PA_ERR_INTERNAL;
    context_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), "Quorrel"));
    if (!context_) return PA_ERR_INTERNAL;
    if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return contextError();
    while (true) {
      const pa_context_state_t state = pa_context_get_state(context_.get());
      if (state == PA_CONTEXT_READY) return PA_OK;
      if (!PA_CONTEXT_IS_GOOD(state)) return contextError();
      if (const int error = iterate(); error != PA_OK) return error;
    }
  }

  int setDefaultSinkMute(bool mute) {
    struct Outcome {
      bool done = false;
      bool success = false;
    } outcome;
    auto onDone = [](pa_context*, int success, void* data) {
      auto* result = static_cast<Outcome*>(data);
      result->done = true;
      result->success = success != 0;
    };
    std::unique_ptr<pa_operation, OperationDeleter> operation(
        pa_context_set_sink_mute_by_name(context_.get(), "@DEFAULT_SINK@", mute ? 1 : 0, onDone, &outcome));
    if (!operation) return contextError();
    while (!outcome.done) {
      if (const int error = iterate(); error != PA_OK) return error;
    }
    // A refused request (no default sink, or one that cannot be muted)
    // leaves its reason in the context.
    return outcome.success ? PA_OK : contextError();
  }

 private:
  // Runs the loop once, waiting at most until the deadline.
  int iterate() {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) return PA_ERR_TIMEOUT;
    if (pa_mainloop_prepare(loop_.get(), static_cast<int>(left)) < 0 || pa_mainloop_poll(loop_.get()) < 0 ||
        pa_mainloop_dispatch(loop_.get()) < 0) {
      return PA_ERR_INTERNAL;
    }
    return PA_OK;
  }

  int contextError() const {
    const int error = context_ ? pa_context_errno(context_.get()) : PA_ERR_INTERNAL;
    // A failure must never read as success.
    return error == PA_OK ? PA_ERR_UNKNOWN : error;
  }

  // Declared first so that it is destroyed last, after the context.
  std::unique_ptr<pa_mainloop, MainloopDeleter> loop_;
  std::unique_ptr<pa_context, ContextDeleter> context_;
  Clock::time_point deadline_;
};

class PulseMute final : public SystemMute {
 public:
  void setSystemMute(bool mute) override {
    PulseSession session;
    int error = session.connect();
    if (error == PA_OK) error = session.setDefaultSinkMute(mute);
    if (error != PA_OK) throw VolumeError(error);
  }
};

}  // namespace

std::unique_ptr<SystemMute> CreatePulseMute() { return std::make_unique<PulseMute>(); }

}  // namespace quorrel::linux_desktop
