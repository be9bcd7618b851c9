#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "net/report_reply.h"
#include "net/update_reply.h"
#include "tests/support/temp_folder.h"

namespace {

const char kFound[] =
    "An update was found!  Please click the link below to visit the download page.";
const char kNoAnswer[] = "Unable to query the internet for an update. Code: 0";
const char kThanks[] =
    "Thank you for sending this error report.  We will do our best to diagnose the issue.";
const char kNewer[] =
    "It appears that there is a newer version of the software available.  If you are "
    "experiencing errors, we strongly recommend having the latest version of the software "
    "installed.  To visit the download page for the newest version, please click the link below.";
const char kNewerFixes[] =
    "It appears that there is a newer version of the software available that may address the "
    "issue you have experienced.  To visit the download page for the newest version, please "
    "click the link below.";
const char kInformation[] =
    "It appears that there is information that may address the error you have experienced.  "
    "Please click the link below to learn more.";

ReportAnswer Report(const std::string& reply) {
  ReportAnswer answer;
  InterpretReportReply(reply, answer);
  return answer;
}

}  // namespace

TEST(UpdateReply, LinkAndMessage) {
  UpdateAnswer a = InterpretUpdateReply("<link>http://x/dl</link>");
  EXPECT_TRUE(a.updateFound);
  EXPECT_EQ(a.link, "http://x/dl");
  EXPECT_EQ(a.message, kFound);

  a = InterpretUpdateReply("<msg>You have the latest version.</msg>");
  EXPECT_FALSE(a.updateFound);
  EXPECT_EQ(a.link, "");
  EXPECT_EQ(a.message, "You have the latest version.");

  // Names in any case; other tags ignored; the last of a name counts.
  a = InterpretUpdateReply("<MSG>old</MSG><version>2</version><Msg>New\r\n one</mSG>"
                           "<LINK>http://x/a</link>");
  EXPECT_TRUE(a.updateFound);
  EXPECT_EQ(a.message, "New one");
  EXPECT_EQ(a.link, "http://x/a");
  EXPECT_FALSE(a.failed);
}

TEST(UpdateReply, NoUsableAnswerReadsAsFailureWithCodeZero) {
  for (const char* reply : {"", "<html>Proxy error</html>", "plain text", "<msg></msg>",
                            "<msg id=1>x</msg>"}) {
    const UpdateAnswer a = InterpretUpdateReply(reply);
    EXPECT_FALSE(a.updateFound) << reply;
    EXPECT_EQ(a.message, kNoAnswer) << reply;
  }
  // An empty link offers nothing to open.
  UpdateAnswer a = InterpretUpdateReply("<link></link>");
  EXPECT_FALSE(a.updateFound);
  EXPECT_EQ(a.message, kNoAnswer);
  a = InterpretUpdateReply("<link>http://x</link><msg>m</msg><link></link>");
  EXPECT_FALSE(a.updateFound);
  EXPECT_EQ(a.message, "m");
}

TEST(UpdateReply, ReaderKeepsTheEscapeRule) {
  EXPECT_EQ(InterpretUpdateReply("<msg>x\\</msg>y</msg>").message, "x\\</msg>y");
}

TEST(UpdateReply, FailureMessageAndRequestBody) {
  EXPECT_EQ(UpdateFailureMessage(12029), "Unable to query the internet for an update. Code: 12029");
  EXPECT_EQ(UpdateFailureMessage(4294967295UL),
            "Unable to query the internet for an update. Code: 4294967295");
  // Sent with its terminating zero.
  EXPECT_EQ(UpdateRequestBody("1.071"), std::string("version=1.071\r\n\0", 16));
}

TEST(ReportReply, LinkWithoutMessageTakesTheStatusText) {
  ReportAnswer a = Report("<status>3</status><link>http://x/new</link>");
  EXPECT_EQ(a.status, 3);
  EXPECT_EQ(a.message, kNewer);
  EXPECT_EQ(a.link, "http://x/new");
  EXPECT_TRUE(ReportShowsLink(a.status));

  EXPECT_EQ(Report("<link>l</link><STATUS>4</Status>").message, kNewerFixes);
  a = Report("<status>5</status><link>l</link>");
  EXPECT_EQ(a.message, kInformation);
  EXPECT_TRUE(ReportShowsLink(a.status));
  // No status: the information text, and the link stays hidden.
  a = Report("<link>l</link>");
  EXPECT_EQ(a.status, 1);
  EXPECT_EQ(a.message, kInformation);
  EXPECT_FALSE(ReportShowsLink(a.status));
}

TEST(ReportReply, MessageAndThanks) {
  ReportAnswer a = Report("<msg>Known issue, fixed soon.</msg>");
  EXPECT_EQ(a.message, "Known issue, fixed soon.");
  EXPECT_EQ(a.link, "");
  EXPECT_EQ(a.status, 1);
  // A message from the server wins over the status texts.
  EXPECT_EQ(Report("<status>3</status><msg>m</msg><link>l</link>").message, "m");
  for (const char* reply : {"", "OK", "<status>3</status>", "<other>x</other>", "<msg></msg>"})
    EXPECT_EQ(Report(reply).message, kThanks) << reply;
}

TEST(ReportReply, LaterTagsOverwriteAndStatusIsReadAsTheCLibraryDoes) {
  ReportAnswer a = Report("<status>3</status><msg>a</msg><status>4</status><msg>b</msg>"
                          "<link>1</link><link>2</link>");
  EXPECT_EQ(a.status, 4);
  EXPECT_EQ(a.message, "b");
  EXPECT_EQ(a.link, "2");
  EXPECT_EQ(Report("<status> 4 apples</status>").status, 4);
  EXPECT_EQ(Report("<status>\r\n5\r\n</status>").status, 5);
  EXPECT_EQ(Report("<status>-3</status>").status, -3);
  EXPECT_EQ(Report("<status>three</status>").status, 0);
  EXPECT_EQ(Report("<status>99999999999999999999</status>").status, INT_MAX);
}

TEST(ReportReply, ReaderHasNoEscapeRule) {
  EXPECT_EQ(Report("<msg>x\\</msg>y</msg>").message, "x\\");
}

TEST(ReportReply, StatusesThatShowTheLink) {
  for (int status : {INT_MIN, 0, 1, 2, 6, INT_MAX}) EXPECT_FALSE(ReportShowsLink(status)) << status;
  for (int status : {3, 4, 5}) EXPECT_TRUE(ReportShowsLink(status)) << status;
}

TEST(ReportReply, NotSentText) {
  EXPECT_STREQ(kReportNotSent,
               "The error report was not able to be sent over the internet.  You may not be "
               "connected or may be behind a firewall.");
}

// A standard form decoder's rules: "+" is a blank, "%XX" a byte.
std::string FormDecode(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      decoded += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The body split at "&" and each value decoded, as a server's form parser does.
std::vector<std::pair<std::string, std::string>> FormFields(const std::string& body) {
  std::vector<std::pair<std::string, std::string>> fields;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    const std::string field = body.substr(start, end - start);
    const size_t equals = field.find('=');
    fields.emplace_back(field.substr(0, equals), FormDecode(field.substr(equals + 1)));
    start = end + 1;
  }
  return fields;
}

TEST(ReportForm, EveryValueComesBackExactlyFromAFormDecoder) {
  const std::string app = "Zelvora: Quorrin 1.05";
  const std::string comment = "It crashed & burned + 100% sure";
  EXPECT_EQ(ReportFormBody(app, "1.05", comment, nullptr, nullptr),
            "appName=Zelvora%3A+Quorrin+1.05&version=1.05&comments=It+crashed+%26+burned+%2B+100%25+sure");

  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string log = "line 1\r\nline=2&3\r\n" + everyByte;
  const std::string dump = "QU+/JD==\r\n";  // base64 holds "+", "/" and "="
  using Fields = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(FormFields(ReportFormBody(app, "1.05", comment, &log, &dump)),
            (Fields{{"appName", app}, {"version", "1.05"}, {"comments", comment}, {"logData", log},
                    {"dumpData", dump}}));
  EXPECT_EQ(FormFields(ReportFormBody(app, "1.05", "", nullptr, &dump)),
            (Fields{{"appName", app}, {"version", "1.05"}, {"comments", ""}, {"dumpData", dump}}));
  const std::string empty;
  EXPECT_EQ(FormFields(ReportFormBody(app, "1.05", "c", &empty, nullptr)),
            (Fields{{"appName", app}, {"version", "1.05"}, {"comments", "c"}, {"logData", ""}}));
}

TEST(ReportForm, LogIsReadWholeWithBlanksForZeroBytes) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  std::string log = "stale";
  const std::string raw("start\0mid\0\0end\r\n", 16);
  ASSERT_TRUE(ReadReportLog(folder.Write("OrbexLog.txt", raw), log));
  EXPECT_EQ(log, "start mid  end\r\n");
  EXPECT_EQ(ReportFormBody("n", "v", "c", &log, nullptr),
            "appName=n&version=v&comments=c&logData=start+mid++end%0D%0A");

  std::string big(10000, 'x');
  big[4095] = '\0';
  big[4096] = '\0';
  ASSERT_TRUE(ReadReportLog(folder.Write("big.txt", big), log));
  big[4095] = big[4096] = ' ';
  EXPECT_EQ(log, big);

  ASSERT_TRUE(ReadReportLog(folder.Write("empty.txt", ""), log));
  EXPECT_EQ(log, "");

  log = "stale";
  EXPECT_FALSE(ReadReportLog(folder.path() + "missing.txt", log));
  EXPECT_EQ(log, "");
  EXPECT_FALSE(ReadReportLog(folder.path(), log));  // a folder
}
