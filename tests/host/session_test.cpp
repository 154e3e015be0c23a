#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "command.h"
#include "host_fakes.h"
#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

std::string writeTemp(const std::string& name, const std::string& text) {
  const auto path = std::filesystem::temp_directory_path() / ("tw_host_" + name);
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

Session sessionOf(const std::string& json) { return Session::of(sessionFromJson(json)); }

TEST(DefaultSession, OperatorAccountYearAndStart) {
  Session s = Session::of(defaultSession());
  EXPECT_EQ(s.OperaterCode(), "demo");
  EXPECT_EQ(s.CurAccountID(), Variant("001"));
  EXPECT_EQ(s.TheYear(), Variant(2026));
  EXPECT_EQ(s.startdate(), Variant(day("2026-01-01")));
}

TEST(DefaultSession, EverySwitchIsOff) {
  Session s = Session::of(defaultSession());
  for (const char* name : {"bCheckInvAuth", "bCheckVendorAuth", "bCheckDepartAuth", "bCheckPersonAuth",
                           "bQMStart", "bPTHavePO", "bSTHavePO", "bOriginal"}) {
    EXPECT_EQ(s.member(name), Variant(false)) << name;
  }
}

TEST(DefaultSession, MonthlyPeriodsOf2026) {
  Session s = Session::of(defaultSession());
  struct Case { int period; const char* begin; const char* end; };
  for (const Case& c : {Case{1, "2026-01-01", "2026-01-31"}, Case{2, "2026-02-01", "2026-02-28"},
                        Case{4, "2026-04-01", "2026-04-30"}, Case{12, "2026-12-01", "2026-12-31"}}) {
    EXPECT_EQ(s.BeginDate(c.period), Variant(day(c.begin))) << c.period;
    EXPECT_EQ(s.EndDate(c.period), Variant(day(c.end))) << c.period;
  }
  EXPECT_EQ(errorNumber([&] { s.BeginDate(13); }), 9);
  EXPECT_EQ(errorNumber([&] { s.EndDate(0); }), 9);
}

TEST(SessionFile, MembersKeepTheirTypes) {
  const std::string path = writeTemp("full.json", R"({
    "OperaterCode": "王工", "bCheckInvAuth": true, "bCheckVendorAuth": false, "bQMStart": true,
    "startdate": "2008-01-01", "CurAccountID": "007", "TheYear": 2008,
    "BeginDate": {"1": "2008-01-01", "2": "2008-02-01T00:00:00"}, "EndDate": {"01": "2008-01-31"}})");
  Session s = Session::of(loadSession(path));
  EXPECT_EQ(s.OperaterCode(), "王工");
  EXPECT_TRUE(s.bCheckInvAuth());
  EXPECT_FALSE(s.bCheckVendorAuth());
  EXPECT_TRUE(s.bQMStart());
  EXPECT_EQ(s.member("bcheckinvauth"), Variant(true));  // names are matched without regard to case
  EXPECT_EQ(s.startdate(), Variant(day("2008-01-01")));
  EXPECT_EQ(s.CurAccountID(), Variant("007"));
  EXPECT_EQ(s.TheYear(), Variant(2008));
  EXPECT_EQ(s.BeginDate(2), Variant(day("2008-02-01")));
  EXPECT_EQ(s.EndDate(1), Variant(day("2008-01-31")));
  std::filesystem::remove(path);
}

TEST(SessionFile, AMemberLeftOutIsMissingOnlyWhenRead) {
  Session s = sessionOf(R"({"OperaterCode": "u1", "bCheckVendorAuth": true})");
  EXPECT_TRUE(s.bCheckVendorAuth());
  for (const char* name : {"bCheckInvAuth", "bQMStart", "startdate", "CurAccountID", "TheYear"})
    EXPECT_EQ(errorNumber([&] { s.member(name); }), err::NoSuchMember) << name;
  EXPECT_EQ(errorNumber([&] { s.BeginDate(1); }), err::NoSuchMember);
  // A period member given without periods exists; its periods do not.
  Session p = sessionOf(R"({"EndDate": {}})");
  EXPECT_EQ(errorNumber([&] { p.EndDate(12); }), 9);
}

TEST(SessionFile, NullMembersReadAsNullAndSwitchesAsOff) {
  Session s = sessionOf(R"({"bQMStart": null, "startdate": null, "OperaterCode": null})");
  EXPECT_FALSE(s.bQMStart());
  EXPECT_TRUE(s.startdate().isNull());
  EXPECT_EQ(errorNumber([&] { s.OperaterCode(); }), err::TypeMismatch);
}

TEST(SessionFile, BadContentIsErrorFiveWithTheReason) {
  struct Case { const char* json; const char* reason; };
  const Case cases[] = {
      {"", "not valid JSON"},
      {"{\"OperaterCode\": \"a\",}", "not valid JSON"},
      {"{\"OperaterCode\": \"\xff\"}", "not valid JSON"},
      {"[1, 2]", "must hold a JSON object"},
      {"{\"bCheckVenAuth\": true}", "unknown member \"bCheckVenAuth\""},
      {"{\"bQMStart\": \"yes\"}", "bQMStart must be true or false"},
      {"{\"bQMStart\": 1}", "bQMStart must be true or false"},
      {"{\"OperaterCode\": 12}", "OperaterCode must be a text"},
      {"{\"CurAccountID\": 1}", "CurAccountID must be a text"},
      {"{\"TheYear\": 2026.5}", "TheYear must be a whole number"},
      {"{\"TheYear\": \"2026\"}", "TheYear must be a whole number"},
      {"{\"startdate\": \"2026-02-30\"}", "\"2026-02-30\" is not a date"},
      {"{\"startdate\": 20260101}", "startdate must be a date text"},
      {"{\"BeginDate\": [\"2026-01-01\"]}", "BeginDate must be an object"},
      {"{\"BeginDate\": {\"x\": \"2026-01-01\"}}", "\"x\" is not a period number"},
      {"{\"BeginDate\": {\"0\": \"2026-01-01\"}}", "\"0\" is not a period number"},
      {"{\"EndDate\": {\"1\": \"2026-01-31\", \"01\": \"2026-01-30\"}}", "period 1 is given twice"},
      {"{\"bQMStart\": true, \"bqmstart\": false}", "bQMStart is given twice"},
  };
  for (const Case& c : cases) {
    const std::string message = errorText([&] { sessionFromJson(c.json, "session file s.json"); });
    EXPECT_EQ(errorNumber([&] { sessionFromJson(c.json); }), err::InvalidArgument) << c.json;
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.json << " gave: " << message;
    EXPECT_EQ(message.rfind("session file s.json: ", 0), 0u) << message;
  }
}

TEST(SessionFile, UnreadableFilesNameThePathAndTheReason) {
  const std::string missing = (std::filesystem::temp_directory_path() / "tw_host_none.json").string();
  std::string message = errorText([&] { loadSession(missing); });
  EXPECT_EQ(errorNumber([&] { loadSession(missing); }), err::InvalidArgument);
  EXPECT_NE(message.find(missing), std::string::npos);
  EXPECT_NE(message.find("No such file"), std::string::npos) << message;
  const std::string folder = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(errorNumber([&] { loadSession(folder); }), err::InvalidArgument);
}

TEST(SessionFile, TheCommandRefusesABadSessionWithStatusTwo) {
  const std::string headFile = writeTemp("head.xml", voucherXml({{{"cvencode", "V01"}}}));
  const std::string bad = writeTemp("bad.json", "{\"bQMStart\": ");
  std::ostringstream out, err;
  const int status = cli::run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key",
                               "cvenabbname", "--head", headFile, "--session", bad},
                              out, err);
  EXPECT_EQ(status, cli::kUsage);
  EXPECT_NE(err.str().find("not valid JSON"), std::string::npos) << err.str();
  std::filesystem::remove(headFile);
  std::filesystem::remove(bad);
}

TEST(SessionReader, ContextWithoutInformationOrObject) {
  EXPECT_EQ(errorNumber([] { Session::of(nullptr); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionInformation>()); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionContext>(nullptr)); }), err::ObjectNotSet);
}

TEST(SessionReader, SwitchValuesOfOtherHosts) {
  auto info = std::make_shared<SessionInformation>();
  Session s(info);
  struct Case { Variant value; bool on; };
  const Case cases[] = {{Variant(true), true},   {Variant(false), false}, {Variant::null(), false},
                        {Variant(), false},       {Variant("True"), true}, {Variant("false"), false},
                        {Variant(-1), true},      {Variant(0), false}};
  for (const Case& c : cases) {
    info->set("bQMStart", c.value);
    EXPECT_EQ(s.bQMStart(), c.on) << toText(c.value);
  }
  info->set("bQMStart", "sometimes");
  EXPECT_EQ(errorNumber([&] { s.bQMStart(); }), err::TypeMismatch);
  info->remove("bQMStart");
  EXPECT_EQ(errorNumber([&] { s.bQMStart(); }), err::NoSuchMember);
}

TEST(SessionReader, PeriodsWantTheirNumberAndMembersAreReadOnly) {
  std::shared_ptr<Object> info = Session::of(defaultSession()).object();
  EXPECT_EQ(errorNumber([&] { info->get("BeginDate"); }), err::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { info->call("EndDate", {Variant("x")}); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { info->call("OperaterCode", {Variant(1)}); }), err::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { info->put("OperaterCode", "other"); }), err::NoSuchMember);
  EXPECT_EQ(toText(info->get("OperaterCode")), "demo");
}

}  // namespace
}  // namespace tallyward::test
