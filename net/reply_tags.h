// The tags both server replies carry: "msg", "link" and (the error
// report's) "status", names compared ignoring case, a later tag of a name
// replacing an earlier one, other tags ignored.
#pragma once

#include <string>

struct ReplyTags {
  std::string msg;
  std::string link;
  bool hasStatus = false;
  std::string status;
};

// `escapes`: whether a backslash keeps the next "<" or ">" from counting.
ReplyTags ReadReplyTags(const std::string& response, bool escapes);
