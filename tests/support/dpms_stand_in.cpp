// A stand-in for the X server's DPMS extension, for servers that have none
// (Xvfb and the other virtual servers the tests run on). Preloaded into a
// program with LD_PRELOAD, it answers the program's DPMS requests through
// libxcb-dpms's own functions, so the program reads the power level
// exactly as it reads a real server's; the answers come from the file that
// DPMS_STAND_IN_FILE names, read afresh for every request.
//
// The file holds the power level ("on", "standby", "suspend" or "off"),
// optionally followed by "disabled" (DPMS switched off, as `xset -dpms`
// does), "incapable" (a server that cannot power its display down) or
// "absent" (no extension: every call goes to the real library and the real
// server, which has none). A missing file reads as "on". Without
// DPMS_STAND_IN_FILE every call goes to the real library.

#include <dlfcn.h>
#include <xcb/dpms.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct Answer {
  bool standIn = false;  // false: the real library answers
  std::uint16_t level = XCB_DPMS_DPMS_MODE_ON;
  bool enabled = true;
  bool capable = true;
};

Answer answer() {
  Answer result;
  const char* path = std::getenv("DPMS_STAND_IN_FILE");
  if (path == nullptr) return result;
  result.standIn = true;
  std::ifstream file(path);
  std::string word;
  while (file >> word) {
    if (word == "standby") result.level = XCB_DPMS_DPMS_MODE_STANDBY;
    if (word == "suspend") result.level = XCB_DPMS_DPMS_MODE_SUSPEND;
    if (word == "off") result.level = XCB_DPMS_DPMS_MODE_OFF;
    if (word == "disabled") result.enabled = false;
    if (word == "incapable") result.capable = false;
    if (word == "absent") result.standIn = false;
  }
  return result;
}

template <typename Function>
Function real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The first byte of every reply.
constexpr std::uint8_t kReply = 1;

// The cookies the stand-in hands out; nothing is ever sent for them.
constexpr unsigned int kStandInSequence = 0x5eed;

bool standInCookie(unsigned int sequence) { return sequence == kStandInSequence && answer().standIn; }

template <typename Reply>
Reply* newReply() {
  auto* reply = static_cast<Reply*>(std::calloc(1, sizeof(Reply)));
  reply->response_type = kReply;
  return reply;
}

}  // namespace

extern "C" {

const xcb_query_extension_reply_t* xcb_get_extension_data(xcb_connection_t* c, xcb_extension_t* ext) {
  if (ext != nullptr && std::strcmp(ext->name, "DPMS") == 0 && answer().standIn) {
    static xcb_query_extension_reply_t present = [] {
      xcb_query_extension_reply_t reply{};
      reply.response_type = kReply;
      reply.present = 1;
      reply.major_opcode = 250;
      return reply;
    }();
    return &present;
  }
  using Function = const xcb_query_extension_reply_t* (*)(xcb_connection_t*, xcb_extension_t*);
  return real<Function>("xcb_get_extension_data")(c, ext);
}

xcb_dpms_capable_cookie_t xcb_dpms_capable(xcb_connection_t* c) {
  if (answer().standIn) return {kStandInSequence};
  return real<xcb_dpms_capable_cookie_t (*)(xcb_connection_t*)>("xcb_dpms_capable")(c);
}

xcb_dpms_capable_reply_t* xcb_dpms_capable_reply(xcb_connection_t* c, xcb_dpms_capable_cookie_t cookie,
                                                 xcb_generic_error_t** e) {
  if (standInCookie(cookie.sequence)) {
    if (e != nullptr) *e = nullptr;
    auto* reply = newReply<xcb_dpms_capable_reply_t>();
    reply->capable = answer().capable ? 1 : 0;
    return reply;
  }
  using Function = xcb_dpms_capable_reply_t* (*)(xcb_connection_t*, xcb_dpms_capable_cookie_t, xcb_generic_error_t**);
  return real<Function>("xcb_dpms_capable_reply")(c, cookie, e);
}

xcb_dpms_info_cookie_t xcb_dpms_info(xcb_connection_t* c) {
  if (answer().standIn) return {kStandInSequence};
  return real<xcb_dpms_info_cookie_t (*)(xcb_connection_t*)>("xcb_dpms_info")(c);
}

xcb_dpms_info_reply_t* xcb_dpms_info_reply(xcb_connection_t* c, xcb_dpms_info_cookie_t cookie,
                                           xcb_generic_error_t** e) {
  if (standInCookie(cookie.sequence)) {
    if (e != nullptr) *e = nullptr;
    const Answer now = answer();
    auto* reply = newReply<xcb_dpms_info_reply_t>();
    reply->power_level = now.level;
    reply->state = now.enabled ? 1 : 0;
    return reply;
  }
  using Function = xcb_dpms_info_reply_t* (*)(xcb_connection_t*, xcb_dpms_info_cookie_t, xcb_generic_error_t**);
  return real<Function>("xcb_dpms_info_reply")(c, cookie, e);
}

}  // extern "C"
