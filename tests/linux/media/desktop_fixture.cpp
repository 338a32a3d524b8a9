#include "tests/linux/media/desktop_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quorrel::test {

linux_desktop::UiPoster PostQueue::poster() {
  return [this](std::function<void()> function) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(function));
  };
}

void PostQueue::drain() {
  while (true) {
    std::function<void()> next;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    next();
  }
}

namespace {

// Xvfb resets itself, dropping connections that arrive meanwhile, whenever
// its last client disconnects; between two tests that is easily the case.
// One connection held for the whole test program keeps it from resetting,
// as the application's own connection does in real use.
class KeepDisplayAlive : public ::testing::Environment {
 public:
  void SetUp() override { connection_ = xcb_connect(nullptr, nullptr); }
  void TearDown() override { xcb_disconnect(connection_); }

 private:
  xcb_connection_t* connection_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const keepDisplayAlive =
    ::testing::AddGlobalTestEnvironment(new KeepDisplayAlive);

}  // namespace

DisplayWindow::DisplayWindow(int width, int height, std::uint32_t background) {
  int screenNumber = 0;
  connection_ = xcb_connect(nullptr, &screenNumber);
  if (const int error = xcb_connection_has_error(connection_)) {
    throw std::runtime_error("no X display (xcb error " + std::to_string(error) + ")");
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
  screen_ = screens.data;
  window_ = xcb_generate_id(connection_);
  // Override-redirect keeps the window exactly at (0, 0) whatever window
  // manager runs; the event mask is the one a toolkit window selects.
  const std::uint32_t values[] = {background, 1,
                                  XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE};
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen_->root, 0, 0, static_cast<std::uint16_t>(width),
                    static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  xcb_map_window(connection_, window_);
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

DisplayWindow::~DisplayWindow() {
  xcb_destroy_window(connection_, window_);
  xcb_flush(connection_);
  xcb_disconnect(connection_);
}

Rgb DisplayWindow::pixel(int x, int y) {
  // Read from the root window, which is what is on screen, child windows of
  // other clients included.
  xcb_translate_coordinates_reply_t* where = xcb_translate_coordinates_reply(
      connection_,
      xcb_translate_coordinates(connection_, window_, screen_->root, static_cast<std::int16_t>(x),
                                static_cast<std::int16_t>(y)),
      nullptr);
  if (where == nullptr) return {};
  const std::int16_t rootX = where->dst_x;
  const std::int16_t rootY = where->dst_y;
  std::free(where);
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      connection_, xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root, rootX, rootY, 1, 1, ~0u),
      nullptr);
  if (image == nullptr) return {};
  Rgb colour;
  if (xcb_get_image_data_length(image) >= 4) {
    const std::uint8_t* data = xcb_get_image_data(image);
    colour = Rgb{data[2], data[1], data[0]};
  }
  std::free(image);
  return colour;
}

int DisplayWindow::childCount() {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window_), nullptr);
  if (tree == nullptr) return -1;
  const int count = tree->children_len;
  std::free(tree);
  return count;
}

int DisplayWindow::descendantsSelectingInput() {
  constexpr std::uint32_t kInput = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                   XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE;
  int selecting = 0;
  std::vector<xcb_window_t> pending{window_};
  while (!pending.empty()) {
    const xcb_window_t parent = pending.back();
    pending.pop_back();
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, parent), nullptr);
    if (tree == nullptr) continue;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      pending.push_back(children[i]);
      xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
          connection_, xcb_get_window_attributes(connection_, children[i]), nullptr);
      if (attributes != nullptr && (attributes->all_event_masks & kInput) != 0) ++selecting;
      std::free(attributes);
    }
    std::free(tree);
  }
  return selecting;
}

void DisplayWindow::readEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    const auto type = event->response_type & 0x7f;
    if (type == XCB_BUTTON_PRESS && reinterpret_cast<xcb_button_press_event_t*>(event)->event == window_) {
      buttonPress_ = true;
    }
    if (type == XCB_KEY_PRESS && reinterpret_cast<xcb_key_press_event_t*>(event)->event == window_) {
      keyPress_ = true;
    }
    std::free(event);
  }
}

bool DisplayWindow::sawButtonPress() {
  readEvents();
  return buttonPress_;
}

bool DisplayWindow::sawKeyPress() {
  readEvents();
  return keyPress_;
}

void DisplayWindow::focus() {
  xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
  std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

bool Near(const Rgb& colour, const Rgb& expected, int tolerance) {
  return std::abs(colour.red - expected.red) <= tolerance && std::abs(colour.green - expected.green) <= tolerance &&
         std::abs(colour.blue - expected.blue) <= tolerance;
}

std::string Describe(const Rgb& colour) {
  std::ostringstream text;
  text << "rgb(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
  return text.str();
}

bool WaitWhileDraining(PostQueue& queue, const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    queue.drain();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

}  // namespace quorrel::test
