#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>

#include "media/media_types.h"

namespace quorrel::linux_desktop {

// The media back ends' own connection to the X display named by $DISPLAY
// (the one the front end's windows live on). Used on the user-interface
// thread only.
class X11Connection {
 public:
  // nullptr when there is no reachable display.
  [[nodiscard]] static std::unique_ptr<X11Connection> Open();
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  [[nodiscard]] xcb_connection_t* get() const { return connection_; }
  [[nodiscard]] xcb_screen_t* screen() const { return screen_; }
  // Sends what is queued and throws away replies and errors nobody asked
  // for, so that they do not pile up.
  void flush();

 private:
  X11Connection(xcb_connection_t* connection, xcb_screen_t* screen) : connection_(connection), screen_(screen) {}
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
};

// The child window a video is drawn into. It is created unmapped on the
// root window, before anything is known about the video, because mpv needs
// its id before it starts; attach() then moves it into the caller's display
// window, and detach() back out of it when the file is closed and the
// window waits for the next one. It selects no input at all, so every key
// press and mouse click on the video travels on to the display window and
// its application.
class VideoWindow {
 public:
  [[nodiscard]] static std::unique_ptr<VideoWindow> Create(X11Connection& x11);
  ~VideoWindow();
  VideoWindow(const VideoWindow&) = delete;
  VideoWindow& operator=(const VideoWindow&) = delete;

  [[nodiscard]] std::uint32_t id() const { return window_; }
  // Moves the window into `parent` at `placement` and shows it; false when
  // `parent` is not a window of this display.
  [[nodiscard]] bool attach(NativeWindow parent, const Rect& placement);
  // Hides the window and moves it back onto the root window, out of reach of
  // whatever becomes of the display window; false when the window is gone.
  [[nodiscard]] bool detach();
  // Moves and resizes the window; an empty rectangle hides it. A
  // placement beyond the parent's edges is cut to the part within them:
  // the window never grows larger than what of it can show.
  [[nodiscard]] bool place(const Rect& placement);
  // Where the window was asked to be, relative to its parent, before any
  // cut; its own geometry before it was first placed.
  [[nodiscard]] bool placement(Rect& placement);
  // The part of the placement the window covers.
  [[nodiscard]] const Rect& shown() const { return shown_; }
  // False once the window has been destroyed from outside, which happens
  // when the display window it sits in is destroyed.
  [[nodiscard]] bool exists();

 private:
  VideoWindow(X11Connection& x11, xcb_window_t window) : x11_(x11), window_(window) {}
  [[nodiscard]] Rect withinParent(const Rect& placement) const;
  X11Connection& x11_;
  xcb_window_t window_;
  bool attached_ = false;
  xcb_window_t parent_ = 0;
  bool placed_ = false;
  Rect placement_;
  Rect shown_;
};

}  // namespace quorrel::linux_desktop
