// The update check's exchange with the web server, apart from the transport:
// the form body posted and the reading of the tagged reply (an element "msg"
// with the text to show and, when a newer version exists, an element "link"
// with the download page).
#pragma once

#include <string>

#include "net/http_failure.h"

extern const char kUpdateFoundMessage[];

struct UpdateAnswer {
  bool failed = false;       // no reply came back at all
  bool updateFound = false;  // the reply holds a link to follow
  std::string message;       // text for the user
  std::string link;          // download page
};

// "version=" + the version, form-encoded, + CR LF, followed by its terminating zero byte, which
// the server receives too: the zero is the string's last character.
std::string UpdateRequestBody(const std::string& version);

// What the user is told when no reply came back; `code` is the system's
// error code (0 when the system refused to attempt a connection).
std::string UpdateFailureMessage(unsigned long code);
// The same for an exchange that failed in one of the ways of HttpFailure:
// the network's code, or what the server's refusal was.
std::string UpdateFailureMessage(HttpFailure failure, unsigned long code, unsigned long httpStatus);

// A reply with neither a message nor a link reads as a failure with code 0.
UpdateAnswer InterpretUpdateReply(const std::string& response);
