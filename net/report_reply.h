// The error report's exchange with the web server, apart from the transport:
// the form body posted, the log read for it, and the reading of the tagged
// reply ("msg", "link" and a numeric "status"). The reporter's reader has no
// escape rule: every "<" and ">" of the reply counts.
#pragma once

#include <string>

#include "net/http_failure.h"

extern const char kReportThankYou[];
extern const char kReportNotSent[];
// Messages chosen by status when the reply brings a link but no text.
extern const char kReportNewerVersion[];         // status 3
extern const char kReportNewerVersionFixes[];    // status 4
extern const char kReportMoreInformation[];      // any other status

struct ReportAnswer {
  int status = 1;  // 1 until the server sends one
  std::string message;
  std::string link;
};

// Reads the reply into `answer`; a later tag of a name overwrites an earlier
// one, and fields the reply does not name keep their values.
void InterpretReportReply(const std::string& response, ReportAnswer& answer);

// What the user is told when no answer came: kReportNotSent for a network
// failure, its own text for a refusal (HTTP status) or an oversized reply.
// Never the thanks.
std::string ReportFailureMessage(HttpFailure failure, unsigned long httpStatus);

// Statuses whose link is shown to the user (3, 4 and 5).
bool ReportShowsLink(int status);

// The form, each value encoded (FormEncode): appName, version and comments,
// then logData and dumpData only when given. Sent with its exact length.
std::string ReportFormBody(const std::string& appName, const std::string& version,
                           const std::string& comments, const std::string* logData,
                           const std::string* dumpData);

// The whole log file, every zero byte turned into a blank so that it travels
// as text. False when it cannot be opened or read.
bool ReadReportLog(const std::string& path, std::string& log);
