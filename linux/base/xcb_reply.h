#pragma once

#include <cstdlib>
#include <memory>

namespace quorrel::linux_desktop {

// An xcb reply, which the caller owns and frees with free().
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
[[nodiscard]] XcbReply<Reply> OwnReply(Reply* reply) {
  return XcbReply<Reply>(reply, &std::free);
}

}  // namespace quorrel::linux_desktop
