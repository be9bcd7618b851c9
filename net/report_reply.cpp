#include "net/report_reply.h"

#include <algorithm>

#include "foundation/shared_file.h"
#include "foundation/text_number.h"
#include "net/form_encoding.h"
#include "net/reply_tags.h"

const char kReportThankYou[] =
    "Thank you for sending this error report.  We will do our best to diagnose the issue.";
const char kReportNotSent[] =
    "The error report was not able to be sent over the internet.  You may not be connected or "
    "may be behind a firewall.";
const char kReportNewerVersion[] =
    "It appears that there is a newer version of the software available.  If you are "
    "experiencing errors, we strongly recommend having the latest version of the software "
    "installed.  To visit the download page for the newest version, please click the link "
    "below.";
const char kReportNewerVersionFixes[] =
    "It appears that there is a newer version of the software available that may address the "
    "issue you have experienced.  To visit the download page for the newest version, please "
    "click the link below.";
const char kReportMoreInformation[] =
    "It appears that there is information that may address the error you have experienced.  "
    "Please click the link below to learn more.";

void InterpretReportReply(const std::string& response, ReportAnswer& answer) {
  if (response.empty()) {
    answer.message = kReportThankYou;
    return;
  }
  // The reporter's reader has no escape rule.
  const ReplyTags tags = ReadReplyTags(response, false);
  answer.link = tags.link;
  answer.message = tags.msg;
  if (tags.hasStatus) answer.status = TextToInt(tags.status);
  if (answer.link.empty() && answer.message.empty()) {
    answer.message = kReportThankYou;
  } else if (answer.message.empty()) {
    switch (answer.status) {
      case 3: answer.message = kReportNewerVersion; break;
      case 4: answer.message = kReportNewerVersionFixes; break;
      default: answer.message = kReportMoreInformation; break;
    }
  }
}

std::string ReportFailureMessage(HttpFailure failure, unsigned long httpStatus) {
  switch (failure) {
    case HttpFailure::Status:
      return "The server did not accept the error report (HTTP status " + std::to_string(httpStatus) + ").";
    case HttpFailure::TooLarge:
      return "The server's answer to the error report was too large to read.";
    default:
      return kReportNotSent;
  }
}

bool ReportShowsLink(int status) { return status >= 3 && status <= 5; }

std::string ReportFormBody(const std::string& appName, const std::string& version,
                           const std::string& comments, const std::string* logData,
                           const std::string* dumpData) {
  std::string body = "appName=" + FormEncode(appName) + "&version=" + FormEncode(version) +
                     "&comments=" + FormEncode(comments);
  if (logData != nullptr) body += "&logData=" + FormEncode(*logData);
  if (dumpData != nullptr) body += "&dumpData=" + FormEncode(*dumpData);
  return body;
}

bool ReadReportLog(const std::string& path, std::string& log) {
  if (!ReadWholeFile(path.c_str(), log)) return false;
  std::replace(log.begin(), log.end(), '\0', ' ');
  return true;
}
