// How an exchange with the web server can fail, and the limits that keep a
// hostile or broken server from holding or flooding the programs.
#pragma once

#include <cstddef>
#include <cstdint>

enum class HttpFailure {
  None,
  Network,   // no connection, a refused or timed-out exchange
  Status,    // an HTTP status other than 200
  TooLarge,  // a reply beyond kMaxReplyBytes
};

// Replies are a few tags; anything larger is refused unread.
constexpr size_t kMaxReplyBytes = 64 * 1024;
// Connecting, sending and receiving each give up after this long.
constexpr uint32_t kHttpTimeoutMs = 15000;
// How long Cancel waits for a worker in the middle of an exchange before it
// leaves the worker behind (it ends by itself within the timeouts above).
constexpr uint32_t kCancelWaitMs = 100;
