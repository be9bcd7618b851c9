#include "net/update_reply.h"

#include "net/form_encoding.h"
#include "net/reply_tags.h"

const char kUpdateFoundMessage[] =
    "An update was found!  Please click the link below to visit the download page.";

std::string UpdateRequestBody(const std::string& version) {
  std::string body = "version=" + FormEncode(version) + "\r\n";
  body += '\0';
  return body;
}

std::string UpdateFailureMessage(unsigned long code) {
  return "Unable to query the internet for an update. Code: " + std::to_string(code);
}

std::string UpdateFailureMessage(HttpFailure failure, unsigned long code, unsigned long httpStatus) {
  switch (failure) {
    case HttpFailure::Status:
      return "Unable to query the internet for an update. The server answered with HTTP status " +
             std::to_string(httpStatus) + ".";
    case HttpFailure::TooLarge:
      return "Unable to query the internet for an update. The server's answer was too large.";
    default:
      return UpdateFailureMessage(code);
  }
}

UpdateAnswer InterpretUpdateReply(const std::string& response) {
  UpdateAnswer answer;
  if (!response.empty()) {
    const ReplyTags tags = ReadReplyTags(response, true);
    answer.link = tags.link;
    answer.message = tags.msg;
  }
  // An empty link gives the user nothing to open, so it offers no update.
  answer.updateFound = !answer.link.empty();
  if (answer.link.empty() && answer.message.empty()) {
    answer.message = UpdateFailureMessage(0);
  } else if (answer.message.empty()) {
    answer.message = kUpdateFoundMessage;
  }
  return answer;
}
