// The update check's and the error report's reading of whatever comes back
// from the web server: each must always leave the user a message, and the
// update check offers an update only with a link to open.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/report_reply.h"
#include "net/update_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);

  const UpdateAnswer update = InterpretUpdateReply(reply);
  if (update.message.empty() || update.failed) __builtin_trap();
  if (update.updateFound != !update.link.empty()) __builtin_trap();
  if (update.link.size() > size || update.message.size() > size + 100) __builtin_trap();

  ReportAnswer report;
  InterpretReportReply(reply, report);
  if (report.message.empty()) __builtin_trap();
  if (report.link.size() > size) __builtin_trap();
  ReportShowsLink(report.status);
  return 0;
}
