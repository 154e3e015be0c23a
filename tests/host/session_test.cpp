// The session information object: the built-in session, sessions from JSON files, and reading the
// members late-bound as the checks do.
#include "host_fakes.h"

namespace tallyward::test {
namespace {

TEST(Session, TheBuiltInOneIsOperatorDemoWithMonthlyPeriodsOf2026AndReadOnly) {
  Session s = Session::of(defaultSession());
  EXPECT_EQ(s.OperaterCode(), "demo");
  EXPECT_EQ(s.startdate(), Variant(day("2026-01-01")));
  EXPECT_EQ(s.BeginDate(1), Variant(day("2026-01-01")));
  EXPECT_EQ(s.EndDate(2), Variant(day("2026-02-28")));
  EXPECT_EQ(errorNumber([&] { s.BeginDate(13); }), 9);
  EXPECT_EQ(errorNumber([&] { s.object()->get("BeginDate"); }), err::InvalidArgument) << "wants its period";
  EXPECT_EQ(errorNumber([&] { s.object()->put("OperaterCode", "other"); }), err::NoSuchMember);
}

TEST(Session, AFileKeepsItsMembersTypesAndAMemberLeftOutIsMissingWhenRead) {
  TempFolder dir;
  writeBytes(dir.file("s.json"), R"({"OperaterCode": "王工", "bCheckInvAuth": true, "bQMStart": null, "startdate": "2008-01-01",
    "CurAccountID": "007", "TheYear": 2008, "BeginDate": {"2": "2008-02-01T00:00:00"}, "EndDate": {}})");
  Session s = Session::of(loadSession(dir.file("s.json")));
  EXPECT_EQ(s.OperaterCode(), "王工");
  EXPECT_EQ(s.member("bcheckinvauth"), Variant(true)) << "names in any letter case";
  EXPECT_FALSE(s.bQMStart()) << "Null reads as off";
  EXPECT_EQ(s.startdate(), Variant(day("2008-01-01")));
  EXPECT_EQ(std::pair(s.CurAccountID(), s.TheYear()), std::pair(Variant("007"), Variant(2008)));
  EXPECT_EQ(s.BeginDate(2), Variant(day("2008-02-01")));
  EXPECT_EQ(errorNumber([&] { s.EndDate(1); }), 9);
  EXPECT_EQ(errorNumber([&] { s.bCheckVendorAuth(); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([&] { Session::of(sessionFromJson(R"({"OperaterCode": null})")).OperaterCode(); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { loadSession(dir.path().string()); }), err::InvalidArgument) << "a folder";
  // Switches of other hosts' objects: any number, Empty, or a text that reads as one.
  auto info = std::make_shared<SessionInformation>();
  Session other(info);
  for (const auto& [value, expected] : {std::pair{Variant(-1), 1}, {Variant(), 0}, {Variant("false"), 0},
                                        {Variant("sometimes"), err::TypeMismatch}}) {
    info->set("bQMStart", value);
    int on = 0;
    const int error = errorNumber([&] { on = other.bQMStart(); });
    EXPECT_EQ(error ? error : on, expected) << toText(value);
  }
  EXPECT_EQ(errorNumber([] { Session::of(nullptr); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionInformation>()); }), err::NoSuchMember);
  EXPECT_EQ(errorNumber([] { Session::of(std::make_shared<SessionContext>(nullptr)); }), err::ObjectNotSet);
}

TEST(Session, BadContentIsErrorFiveWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "not valid JSON"}, {"[1, 2]", "must hold a JSON object"}, {"{\"bQMStart\": 1}", "bQMStart must be true or false"},
      {"{\"bCheckVenAuth\": true}", "unknown member \"bCheckVenAuth\""}, {"{\"TheYear\": 2026.5}", "TheYear must be a whole number"},
      {"{\"startdate\": \"2026-02-30\"}", "\"2026-02-30\" is not a date"},
      {"{\"BeginDate\": {\"0\": \"2026-01-01\"}}", "\"0\" is not a period number"},
      {"{\"EndDate\": {\"1\": \"2026-01-31\", \"01\": \"2026-01-30\"}}", "period 1 is given twice"},
      {"{\"bQMStart\": true, \"bqmstart\": false}", "bQMStart is given twice"}};
  for (const auto& [json, reason] : cases) {
    std::string message;
    const std::string text = json;  // a structured binding is not captured by every compiler's lambdas
    EXPECT_EQ(errorNumber([&] { sessionFromJson(text, "session file s.json"); }, &message), err::InvalidArgument) << json;
    EXPECT_EQ(message.rfind("session file s.json: ", 0), 0u) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << json << " gave: " << message;
  }
}

}  // namespace
}  // namespace tallyward::test
