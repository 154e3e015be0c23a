// The session information object: the built-in session, sessions from JSON files, and reading the
// members late-bound as the checks do.
#include <gtest/gtest.h>

#include <sstream>

#include "command.h"
#include "host_fakes.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

Session sessionOf(const std::string& json) { return Session::of(sessionFromJson(json)); }

TEST(DefaultSession, OperatorDemoEverySwitchOffAndMonthlyPeriodsOf2026) {
  Session s = Session::of(defaultSession());
  EXPECT_EQ(s.OperaterCode(), "demo");
  EXPECT_EQ(s.CurAccountID(), Variant("001"));
  EXPECT_EQ(s.TheYear(), Variant(2026));
  EXPECT_EQ(s.startdate(), Variant(day("2026-01-01")));
  for (const char* name : {"bCheckInvAuth", "bCheckVendorAuth", "bCheckDepartAuth", "bCheckPersonAuth", "bQMStart",
                           "bPTHavePO", "bSTHavePO", "bOriginal"})
    EXPECT_EQ(s.member(name), Variant(false)) << name;
  EXPECT_EQ(s.BeginDate(1), Variant(day("2026-01-01")));
  EXPECT_EQ(s.EndDate(2), Variant(day("2026-02-28")));
  EXPECT_EQ(s.EndDate(12), Variant(day("2026-12-31")));
  EXPECT_EQ(errorNumber([&] { s.BeginDate(13); }), 9);
}

TEST(SessionFile, MembersKeepTheirTypesAndAMemberLeftOutIsMissingWhenRead) {
  TempFolder dir;
  writeBytes(dir.file("full.json"), R"({
    "OperaterCode": "王工", "bCheckInvAuth": true, "bQMStart": null, "startdate": "2008-01-01",
    "CurAccountID": "007", "TheYear": 2008, "BeginDate": {"2": "2008-02-01T00:00:00"}, "EndDate": {}})");
  Session s = Session::of(loadSession(dir.file("full.json")));
  EXPECT_EQ(s.OperaterCode(), "王工");
  EXPECT_TRUE(s.bCheckInvAuth());
  EXPECT_EQ(s.member("bcheckinvauth"), Variant(true));  // names are matched without regard to case
  EXPECT_FALSE(s.bQMStart());                           // Null reads as off
  EXPECT_EQ(s.startdate(), Variant(day("2008-01-01")));
  EXPECT_EQ(s.CurAccountID(), Variant("007"));
  EXPECT_EQ(s.TheYear(), Variant(2008));
  EXPECT_EQ(s.BeginDate(2), Variant(day("2008-02-01")));
  EXPECT_EQ(errorNumber([&] { s.EndDate(1); }), 9);  // a period member without that period
  EXPECT_EQ(errorNumber([&] { s.bCheckVendorAuth(); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([&] { sessionOf("{}").BeginDate(1); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([&] { sessionOf(R"({"OperaterCode": null})").OperaterCode(); }), err::TypeMismatch);
}

TEST(SessionFile, BadContentIsErrorFiveWithTheReason) {
  const struct { const char* json; const char* reason; } cases[] = {
      {"", "not valid JSON"},
      {"{\"OperaterCode\": \"\xff\"}", "not valid JSON"},
      {"[1, 2]", "must hold a JSON object"},
      {"{\"bCheckVenAuth\": true}", "unknown member \"bCheckVenAuth\""},
      {"{\"bQMStart\": 1}", "bQMStart must be true or false"},
      {"{\"CurAccountID\": 1}", "CurAccountID must be a text"},
      {"{\"TheYear\": 2026.5}", "TheYear must be a whole number"},
      {"{\"TheYear\": \"2026\"}", "TheYear must be a whole number"},
      {"{\"startdate\": \"2026-02-30\"}", "\"2026-02-30\" is not a date"},
      {"{\"startdate\": 20260101}", "startdate must be a date text"},
      {"{\"BeginDate\": [\"2026-01-01\"]}", "BeginDate must be an object"},
      {"{\"BeginDate\": {\"0\": \"2026-01-01\"}}", "\"0\" is not a period number"},
      {"{\"EndDate\": {\"1\": \"2026-01-31\", \"01\": \"2026-01-30\"}}", "period 1 is given twice"},
      {"{\"bQMStart\": true, \"bqmstart\": false}", "bQMStart is given twice"},
  };
  for (const auto& c : cases) {
    std::string message;
    EXPECT_EQ(errorNumber([&] { sessionFromJson(c.json, "session file s.json"); }, &message), err::InvalidArgument)
        << c.json;
    EXPECT_EQ(message.rfind("session file s.json: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.json << " gave: " << message;
  }
}

TEST(SessionFile, UnreadableFilesAndTheCommandRefusingThem) {
  TempFolder dir;
  const std::string missing = dir.file("none.json"), head = dir.file("head.xml"), bad = dir.file("bad.json");
  std::string message;
  EXPECT_EQ(errorNumber([&] { loadSession(missing); }, &message), err::InvalidArgument);
  EXPECT_NE(message.find(missing + ": cannot be read: No such file"), std::string::npos) << message;
  EXPECT_EQ(errorNumber([&] { loadSession(dir.path().string()); }), err::InvalidArgument);

  writeBytes(head, voucherXml({{{"cvencode", "V01"}}}));
  writeBytes(bad, "{\"bQMStart\": ");
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cvenabbname",
                      "--head", head, "--session", bad},
                     out, err),
            cli::kUsage);
  EXPECT_NE(err.str().find("not valid JSON"), std::string::npos) << err.str();
}

TEST(SessionReader, ObjectsOfOtherHosts) {
  EXPECT_EQ(errorNumber([] { Session::of(nullptr); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionInformation>()); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionContext>(nullptr)); }), err::ObjectNotSet);

  auto info = std::make_shared<SessionInformation>();
  Session s(info);
  const std::pair<Variant, int> switches[] = {{Variant(-1), 1}, {Variant(), 0}, {Variant("false"), 0},
                                              {Variant("sometimes"), err::TypeMismatch}};
  for (const auto& [value, expected] : switches) {
    info->set("bQMStart", value);
    int on = 0;
    const int error = errorNumber([&] { on = s.bQMStart(); });
    EXPECT_EQ(error ? error : on, expected) << toText(value);
  }
  info->remove("bQMStart");
  EXPECT_EQ(errorNumber([&] { s.bQMStart(); }), err::NoSuchMember);

  std::shared_ptr<Object> demo = Session::of(defaultSession()).object();
  EXPECT_EQ(errorNumber([&] { demo->get("BeginDate"); }), err::InvalidArgument);  // wants its period
  EXPECT_EQ(errorNumber([&] { demo->call("EndDate", {Variant("x")}); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { demo->call("OperaterCode", {Variant(1)}); }), err::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { demo->put("OperaterCode", "other"); }), err::NoSuchMember);
  EXPECT_EQ(toText(demo->get("OperaterCode")), "demo");
}

}  // namespace
}  // namespace tallyward::test
