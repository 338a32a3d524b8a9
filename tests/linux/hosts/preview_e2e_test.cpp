// Quorrel in the preview of xscreensaver-settings: a window of about
// 565x317 handed over with --window-id, as the settings dialog does.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>

#include "tests/linux/hosts/host_desktop.h"
#include "tests/linux/hosts/host_fixture.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// The settings dialog's preview area: a black child of nothing but the
// root, at a place of its own.
class PreviewArea {
 public:
  PreviewArea(const std::string& display, const Box& box) : box_(box) {
    connection_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) throw std::runtime_error("no X display " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    window_ = xcb_generate_id(connection_);
    const std::uint32_t values[] = {0x000000, 1};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, static_cast<std::int16_t>(box.left),
                      static_cast<std::int16_t>(box.top), static_cast<std::uint16_t>(box.width),
                      static_cast<std::uint16_t>(box.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection_, window_);
    sync();
  }
  ~PreviewArea() {
    destroy();
    xcb_disconnect(connection_);
  }
  PreviewArea(const PreviewArea&) = delete;
  PreviewArea& operator=(const PreviewArea&) = delete;

  // The id as xscreensaver-settings writes it.
  [[nodiscard]] std::string id() const {
    char text[32];
    std::snprintf(text, sizeof text, "0x%X", window_);
    return text;
  }
  [[nodiscard]] const Box& box() const { return box_; }

  void resize(int width, int height) {
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    sync();
    box_.width = width;
    box_.height = height;
  }
  void destroy() {
    if (window_ == 0) return;
    xcb_destroy_window(connection_, window_);
    sync();
    window_ = 0;
  }

  // The top-level windows on screen now.
  [[nodiscard]] std::set<xcb_window_t> viewableTopLevels() {
    std::set<xcb_window_t> result;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr);
    if (tree == nullptr) return result;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
          connection_, xcb_get_window_attributes(connection_, children[i]), nullptr);
      if (attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE) result.insert(children[i]);
      std::free(attributes);
    }
    std::free(tree);
    return result;
  }

 private:
  void sync() { std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_window_t window_ = 0;
  Box box_;
};

TEST_F(HostTest, thePreviewPlaysSilentlyAtHalfTheWindowAndFollowsItsSize) {
  session.settings("Starton=0\nEndon=0\nSound=1\nRepeat=1\nPicdis=2\nPicord=2", {soundingClip("lime")},
                   session.media(MakeWav(1.0, 660)));
  SetSinkMute(false);

  PreviewArea area(display.name(), Box{37, 41, 565, 317});
  const std::set<xcb_window_t> before = area.viewableTopLevels();
  ChildProcess& preview =
      session.start({saver.path, "--root", "--window-id", area.id()}, {{"XSCREENSAVER_WINDOW", area.id()}});

  // 565 x 317: the panel is R(282.5) = 282 by R(158.5) = 158, at
  // R(282.5 - 141) = 142 and R(158.5 - 79) = 80 inside the window.
  const Box expected{area.box().left + 142, area.box().top + 80, 282, 158};
  Box seen;
  EXPECT_TRUE(WaitUntil([&] { return (seen = Screenshot(display.name()).boundsOf(Seen::Green)) == expected; }, 30s))
      << "the panel is " << seen << ", not " << expected << "\n" << Tail(session.log());

  // A preview is never the copy on the primary monitor: no sound, and the
  // mute is left alone ("Starton" 0 would mute).
  const std::set<int> streams = WatchSoundStreams(preview.pid(), 2s);
  EXPECT_TRUE(streams.empty()) << "the preview played " << streams.size() << " sounds";
  EXPECT_EQ(SinkMuted(), false);
  // It draws into the given window and shows no window of its own.
  EXPECT_EQ(area.viewableTopLevels(), before);

  // The settings dialog resized: 400 x 300 gives 200 by 150 at (100, 75).
  area.resize(400, 300);
  const Box resized{area.box().left + 100, area.box().top + 75, 200, 150};
  EXPECT_TRUE(WaitUntil([&] { return (seen = Screenshot(display.name()).boundsOf(Seen::Green)) == resized; }, 15s))
      << "after the resize the panel is " << seen << ", not " << resized;

  // The dialog closed: the window is destroyed under it, and it ends quietly.
  area.destroy();
  EXPECT_EQ(preview.waitFor(10s), 0) << Tail(session.log());
  EXPECT_EQ(SinkMuted(), false) << "a preview applied the end-of-show mute";
}

}  // namespace
}  // namespace quorrel::test
