// The host as the checks meet it: creation by identifier, the data-right service held during a
// check, the order and arguments of the price calls; the session information object; and the
// stand-in host, which decides from the rows of a real ERP database file.
#include <thread>
#include "host_fakes.h"

namespace tallyward::test {
namespace {

// Each call is logged with its arguments; checkRight notes whether the service is the held one.
struct FakeDataRight : DataRightService {
  bool initialise(const std::string& cs, const std::string& op, int32_t a, int32_t b) override {
    return log->push_back("initialise(" + cs + "," + op + "," + std::to_string(a) + "," + std::to_string(b) + ")"), true;
  }
  bool checkRight(const std::string& kind, const std::string& code, int32_t n, const std::string& right) override {
    log->push_back("checkRight(" + kind + "," + code + "," + std::to_string(n) + "," + right + (heldDataRight() == this ? ") held" : ")"));
    return code == "FAIL" ? throwError(70, "permission denied"), false : code != "NO";
  }
  std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
};

TEST(DataRight, AFreshServiceHeldWhileItIsAskedAndReleasedAfter) {
  auto host = std::make_shared<FakeHost>();
  auto log = std::make_shared<std::vector<std::string>>();
  std::weak_ptr<FakeDataRight> last;
  host->classes[std::string(hostclass::kDataRight)] = [&] {
    auto s = std::make_shared<FakeDataRight>();
    return (s->log = log, last = s, s);
  };
  ScopedHostFactory scope(host);
  auto cnn = nowhere("Driver=SQLite;Database=erp.db");
  EXPECT_TRUE(askDataRight(cnn, "op1", rightkind::Person, "P'01"));
  EXPECT_EQ(*log, (std::vector<std::string>{"initialise(Driver=SQLite;Database=erp.db,op1,0,0)", "checkRight(Person,P'01,0,W) held"}));
  EXPECT_FALSE(askDataRight(cnn, "op1", rightkind::Vendor, "NO"));
  EXPECT_EQ(host->created.size(), 2u);
  EXPECT_EQ(errorNumber([&] { askDataRight(cnn, "op", rightkind::Department, "FAIL"); }), 70);
  EXPECT_EQ(errorNumber([&] { askDataRight(nullptr, "op", rightkind::Department, "D1"); }), err::ObjectNotSet);
  EXPECT_TRUE(last.expired()) << "released also when the check fails";
  EXPECT_EQ(heldDataRight(), nullptr);
  // A hold belongs to its thread, and an inner hold gives the outer one back.
  DataRightHold outer;
  DataRightService* seenElsewhere = &outer.service();
  std::thread([&] { seenElsewhere = heldDataRight(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  { DataRightHold inner; EXPECT_EQ(heldDataRight(), &inner.service()); }
  EXPECT_EQ(heldDataRight(), &outer.service());
}

TEST(HostFactory, CreationByIdentifierAndTheScopeGivesThePreviousFactoryBack) {
  std::shared_ptr<HostFactory> before = hostFactory();
  {
    auto host = std::make_shared<FakeHost>();
    host->classes["Marrowby_Pu.clsMarrowby_Pu"] = [] { return std::make_shared<FakeDataRight>(); };
    ScopedHostFactory scope(host);
    EXPECT_EQ(errorNumber([] { createHostObject("{00000000-0000-0000-0000-000000000000}"); }), err::CannotCreate);
    EXPECT_EQ(errorNumber([] { createHostService<PriceService>("Marrowby_Pu.clsMarrowby_Pu"); }), err::TypeMismatch)
        << "an object without the interface bound to";
  }
  EXPECT_EQ(hostFactory(), before);
  // Without a factory of its own the process uses the stand-ins, which know a CLSID in any spelling.
  std::shared_ptr<HostFactory> previous = setHostFactory(nullptr);
  EXPECT_NE(hostFactory()->create("c41a6aac-0290-45d9-a36a-25bc45fa8c01"), nullptr);
  setHostFactory(previous);
}

struct FakePriceService : PriceService {
  struct Answer : PriceAnswer {
    double unitPrice() const override { return 12.5; }
    double taxRate() const override { return 13; }
  };
  // Changes to the login and the connection are not taken back, to the context they are.
  void initialise(std::shared_ptr<Object>& login, std::shared_ptr<Object>& context, std::shared_ptr<Connection>& connection,
                  Variant& result) override {
    log.push_back("initialise");
    seen = {login, connection};
    if (failAt == "initialise") throwError(71, "init failed");
    login = nullptr, connection = nullptr, context = newContext, result = Variant("ok");
  }
  void getPrice(const std::string& v, const std::string& i, Date d, double q, const std::string& c, int32_t mode,
                std::shared_ptr<PriceAnswer>& price) override {
    log.push_back("getPrice(" + v + "," + i + "," + formatDate(d.value) + "," + formatNumber(q) + "," + c + "," +
                  std::to_string(mode) + ")");
    if (failAt == "getPrice") throwError(72, "no price list");
    price = hasPrice ? std::make_shared<Answer>() : nullptr;
  }
  void close() override {
    if (log.push_back("close"); failAt == "close") throwError(73, "close failed");
  }
  std::vector<std::string> log;
  std::string failAt;
  bool hasPrice = true;
  std::shared_ptr<Object> newContext = defaultSession();
  std::pair<std::shared_ptr<Object>, std::shared_ptr<Connection>> seen;
};

TEST(PriceCall, InitialiseAskWithModeTwoAndCloseAlsoWhenAStepFails) {
  auto host = std::make_shared<FakeHost>();
  auto service = std::make_shared<FakePriceService>();
  host->classes[std::string(hostclass::kPriceService)] = [&] { return service; };
  ScopedHostFactory scope(host);
  std::shared_ptr<Connection> cnn = nowhere();
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn), loginBefore = login, context = defaultSession();
  const auto ask = [&] { return askPrice(login, context, cnn, {"V01", "A01", day("2026-03-05"), 4, "人民币"}); };
  std::optional<PriceProposal> p = ask();
  ASSERT_TRUE(p);
  EXPECT_EQ(std::pair(p->unitPrice, p->taxRate), std::pair(12.5, 13.0));
  EXPECT_EQ(service->log, (std::vector<std::string>{"initialise", "getPrice(V01,A01,2026-03-05,4,人民币,2)", "close"}));
  EXPECT_EQ(service->seen, std::pair(login, cnn));
  EXPECT_EQ(std::pair(context, login), std::pair(service->newContext, loginBefore));
  service->hasPrice = false;
  EXPECT_FALSE(ask());
  for (const auto& [failAt, number] : {std::pair{"initialise", 71}, {"getPrice", 72}}) {
    service->log.clear();
    service->failAt = failAt;
    service->newContext = defaultSession();
    const std::shared_ptr<Object> before = context;
    EXPECT_EQ(errorNumber([&] { ask(); }), number);
    EXPECT_EQ(service->log.back(), "close") << failAt;
    EXPECT_EQ(context == before, number == 71) << "a service that failed to start left nothing";
  }
  service->failAt = "close";
  service->hasPrice = true;
  EXPECT_TRUE(ask()) << "a close that fails after the price was read keeps the price";
}

// The session information object: the built-in session, sessions from JSON files, and reading the
// members late-bound as the checks do.
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

// The stand-in host: what it decides from the rows of a real ERP database file. Its statements go
// to the connection's driver, not to the record of the statements the checks sent.
class StandIns : public ::testing::Test {
 protected:
  StandIns() {
    db.sql(R"(
      INSERT INTO tw_data_right (cOperator, cKind, cCode, cRight) VALUES
        ('wang', 'Vendor', 'V001', 'W'), ('wang', 'Inventory', '*', 'W'), ('wang', 'Department', '01', 'R'),
        ('o''neil', 'Person', 'P''1', 'W');
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, dFrom, dTo, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P1', '人民币', '2026-01-01 00:00:00', '2026-03-31 00:00:00', 0, 10, 13),
        ('V001', 'P1', '人民币', '2026-01-01 00:00:00', '2026-03-31 00:00:00', 100, 9, 13),
        ('V001', 'P1', '人民币', '2026-04-01 00:00:00', NULL, 50, 10.5, 9),
        ('V001', 'P1', '人民币', NULL, '2025-12-31 00:00:00', NULL, 8, NULL),
        ('V001', 'P1', '美元', '2026-01-01 00:00:00', '2026-01-31 00:00:00', 10, 5, 0),
        ('V001', 'P2', '人民币', '2026-02-01 00:00:00', NULL, 0, 3, 13),
        ('V001', 'P2', '人民币', '2026-01-01 00:00:00', NULL, 0, 2, 13),
        ('V001', 'P3', '人民币', 'soon', NULL, 0, 1, 13);
      INSERT INTO tw_inspection (cVenCode, cInvCode) VALUES ('V001', 'W2001');
      INSERT INTO PayCondition (cPayCode, cPayName, iPayCreDays) VALUES
        ('30', '月结30天', 30), ('00', '现结', NULL), ('LONG', '长', 3000000), ('两个', '甲', 5), ('X', '两个', 10);
    )");
  }
  std::optional<PriceProposal> price(const char* item, Date date, double quantity, const char* currency = "人民币") {
    std::shared_ptr<Object> context = defaultSession();
    return askPrice(nullptr, context, cnn, {"V001", item, date, quantity, currency});
  }
  TempDatabase db;
  // The default stand-ins: the data-right service opens the file by its connection string.
  ScopedHostFactory scope{std::make_shared<StandInHost>()};
  std::shared_ptr<Connection> cnn = db.connect();
};

TEST_F(StandIns, DataRights) {
  // Codes compare without regard to case, '*' grants every item, a right other than entering none.
  const struct { const char* op; std::string_view kind; const char* code; bool allowed; } cases[] = {
      {"wang", rightkind::Vendor, "v001", true}, {"wang", rightkind::Vendor, "V002", false}, {"wang", rightkind::Inventory, "ANY", true},
      {"wang", rightkind::Department, "01", false}, {"o'neil", rightkind::Person, "P'1", true}};
  for (const auto& c : cases)
    EXPECT_EQ(askDataRight(cnn, c.op, c.kind, c.code), c.allowed) << c.op << " " << c.kind << " " << c.code;
  EXPECT_TRUE(cnn->statements().empty());
  // A connection string that names no database.
  EXPECT_EQ(errorNumber([&] { askDataRight(nowhere(), "wang", rightkind::Vendor, "V001"); }), err::Database);
}

TEST_F(StandIns, PriceValidOnTheDayWithTheGreatestMinimumNotAboveTheQuantity) {
  const struct { const char* item; const char* date; double quantity; double unitPrice, taxRate; } cases[] = {
          {"P1", "2026-03-31", 100, 9, 13},   // last day, and a minimum equal to the quantity, count
          {"P1", "2026-03-31", 99.5, 10, 13}, // just below the quantity break
          {"P1", "2025-06-01", 1, 8, 0},      // open start; Null minimum and tax rate read as 0
          {"P2", "2026-03-01", 1, 3, 13},     // on equal minimums the latest validity wins
      };
  for (const auto& c : cases) {
    std::optional<PriceProposal> p = price(c.item, day(c.date), c.quantity);
    ASSERT_TRUE(p) << c.item << " " << c.date << " " << c.quantity;
    EXPECT_EQ(std::pair(p->unitPrice, p->taxRate), std::pair(c.unitPrice, c.taxRate)) << c.item << " " << c.date << " " << c.quantity;
  }
  EXPECT_FALSE(price("P1", day("2026-02-01"), 20, "美元"));  // after the validity
  EXPECT_EQ(errorNumber([&] { price("P3", day("2026-03-01"), 1); }), err::TypeMismatch);
  EXPECT_TRUE(cnn->statements().empty());
}

TEST_F(StandIns, InspectionWhenARowNamesVendorAndItem) {
  std::shared_ptr<Connection> c = cnn, none;
  EXPECT_TRUE(askGspIsTrue("V001", "W2001", c));
  EXPECT_EQ(c, cnn);  // the stand-in leaves the connection as it was
  EXPECT_EQ(errorNumber([&] { askGspIsTrue("V001", "W2001", none); }), err::ObjectNotSet);
}

TEST_F(StandIns, DueDateIsTheInvoiceDatePlusTheCreditDays) {
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn);
  std::shared_ptr<DueDateCalculator> calc;
  const struct { Variant date; const char* pay; const char* due; } cases[] = {
      {Variant("2026-01-15"), "两个", "2026-01-25"},               // a name wins over a code
      {Variant("2026-01-15 18:30:00"), "现结", "2026-01-15"},       // Null credit days
      {Variant("2026-01-15"), "未知", "2026-01-15"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(askDueDate(calc, login, "01", c.date, c.pay), c.due) << toText(c.date) << " " << c.pay;
  EXPECT_EQ(errorNumber([&] { askDueDate(calc, login, "", Variant("15/01/2026"), ""); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { askDueDate(calc, login, "", Variant("2026-01-15"), "长"); }), err::Overflow);
  EXPECT_TRUE(cnn->statements().empty());
  // The database is reached through the login: any object that names its database, or a connection.
  login = nullptr;
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15"), ""), "2026-01-15") << "nothing to look up";
  EXPECT_EQ(errorNumber([&] { askDueDate(calc, login, "", Variant("2026-01-15"), "月结30天"); }), err::ObjectNotSet);
  auto named = std::make_shared<SessionInformation>();
  named->set("ConnectionString", cnn->connectionString());
  login = named;
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15"), "月结30天"), "2026-02-14");
  login = cnn;
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15"), "30"), "2026-02-14");
}

}  // namespace
}  // namespace tallyward::test
