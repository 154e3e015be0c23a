// How the checks reach the host: creation by identifier, the data-right service held during a
// check, and the order and arguments of the price, quality-control and due-date calls.
#include <thread>

#include <gtest/gtest.h>

#include "host_fakes.h"

namespace tallyward::test {
namespace {

struct FakeDataRight : DataRightService {
  bool initialise(const std::string& cs, const std::string& op, int32_t a, int32_t b) override {
    calls->push_back("initialise(" + cs + "," + op + "," + std::to_string(a) + "," + std::to_string(b) + ")");
    return true;
  }
  bool checkRight(const std::string& kind, const std::string& code, int32_t n, const std::string& right) override {
    calls->push_back("checkRight(" + kind + "," + code + "," + std::to_string(n) + "," + right +
                     (heldDataRight() == this ? ") held" : ")"));
    if (code == "FAIL") throwError(70, "permission denied");
    return code != "NO";
  }
  std::shared_ptr<std::vector<std::string>> calls = std::make_shared<std::vector<std::string>>();
};

TEST(DataRight, AFreshServiceHeldWhileItIsAskedAndReleasedAfter) {
  auto host = std::make_shared<FakeHost>();
  auto calls = std::make_shared<std::vector<std::string>>();
  std::weak_ptr<FakeDataRight> last;
  host->classes[std::string(hostclass::kDataRight)] = [&] {
    auto s = std::make_shared<FakeDataRight>();
    s->calls = calls;
    return (last = s, s);
  };
  ScopedHostFactory scope(host);
  auto cnn = nowhere("Driver=SQLite;Database=erp.db");
  EXPECT_TRUE(askDataRight(cnn, "op1", rightkind::Person, "P'01"));
  EXPECT_EQ(*calls, (std::vector<std::string>{"initialise(Driver=SQLite;Database=erp.db,op1,0,0)", "checkRight(Person,P'01,0,W) held"}));
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
    EXPECT_EQ(hostFactory(), host);
    EXPECT_EQ(errorNumber([] { createHostObject("{00000000-0000-0000-0000-000000000000}"); }), err::CannotCreate);
    EXPECT_EQ(errorNumber([] { createHostService<PriceService>("Marrowby_Pu.clsMarrowby_Pu"); }), err::TypeMismatch)
        << "an object without the interface bound to";
  }
  EXPECT_EQ(hostFactory(), before);
  // Without a factory of its own the process uses the stand-ins, which know a CLSID in any spelling.
  std::shared_ptr<HostFactory> previous = setHostFactory(nullptr);
  EXPECT_NE(hostFactory()->create("c41a6aac-0290-45d9-a36a-25bc45fa8c01"), nullptr);
  EXPECT_EQ(hostFactory()->create("{C41A6AAC-0290-45D9-A36A-25BC45FA8C02}"), nullptr);
  setHostFactory(previous);
}

struct FakePriceService : PriceService {
  struct Answer : PriceAnswer {
    double unitPrice() const override { return 12.5; }
    double taxRate() const override { return 13; }
  };
  void initialise(std::shared_ptr<Object>& login, std::shared_ptr<Object>& context, std::shared_ptr<Connection>& connection,
                  Variant& result) override {
    log.push_back("initialise");
    seenLogin = login;
    seenConnection = connection;
    if (failAt == "initialise") throwError(71, "init failed");
    login = nullptr;  // changes to the login and the connection are not taken back, to the context they are
    connection = nullptr;
    context = newContext;
    result = Variant("ok");
  }
  void getPrice(const std::string& v, const std::string& i, Date d, double q, const std::string& c, int32_t mode,
                std::shared_ptr<PriceAnswer>& price) override {
    log.push_back("getPrice(" + v + "," + i + "," + formatDate(d.value) + "," + formatNumber(q) + "," + c + "," +
                  std::to_string(mode) + ")");
    if (failAt == "getPrice") throwError(72, "no price list");
    if (hasPrice) price = std::make_shared<Answer>();
  }
  void close() override {
    log.push_back("close");
    if (failAt == "close") throwError(73, "close failed");
  }
  std::vector<std::string> log;
  std::string failAt;
  bool hasPrice = true;
  std::shared_ptr<Object> newContext = defaultSession(), seenLogin;
  std::shared_ptr<Connection> seenConnection;
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
  EXPECT_EQ(service->seenLogin, login);
  EXPECT_EQ(service->seenConnection, cnn);
  EXPECT_EQ(context, service->newContext);
  EXPECT_EQ(login, loginBefore);
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

// The checks call the quality-control component late-bound, by name.
struct FakeQualityControl : Object {
  std::string_view typeName() const override { return "clsMarrowby_Pu"; }
  DispId GetIDsOfNames(std::string_view name) const override {
    if (DispatchTable<Object>::equalsNoCase(name, "bGspIsTrue")) return 7;
    throwError(err::NoSuchMember, std::string(name));
  }
  Variant Invoke(DispId, InvokeKind, std::span<Variant> args) override {
    seen = toText(args[0]) + "," + toText(args[1]);
    if (leave) args[2] = *leave;
    return answer;
  }
  Variant answer;
  std::optional<Variant> leave;
  std::string seen;
};

struct FakeDueDate : DueDateCalculator {
  std::string calculate(std::shared_ptr<Object>& login, const std::string& id, const Variant& date,
                        const std::string& pay) override {
    seen = id + "|" + toText(date) + "|" + pay;
    login = leave;
    return "2026-04-04";
  }
  std::string seen;
  std::shared_ptr<Object> leave = defaultSession();
};

TEST(QualityControlAndDueDateCalls, AnswersAndWhatTheCalleeLeavesBehind) {
  auto host = std::make_shared<FakeHost>();
  auto qc = std::make_shared<FakeQualityControl>();
  auto calc = std::make_shared<FakeDueDate>();
  host->classes[std::string(hostclass::kQualityControl)] = [&] { return qc; };
  host->classes[std::string(hostclass::kDueDateCalculator)] = [&] { return calc; };
  ScopedHostFactory scope(host);
  std::shared_ptr<Connection> cnn = nowhere(), other = nowhere();
  for (const auto& [answer, inspected] : {std::pair{Variant(true), true}, {Variant::null(), false}, {Variant("True"), true}}) {
    qc->answer = answer;
    EXPECT_EQ(askGspIsTrue("V01", "A01", cnn), inspected);
  }
  EXPECT_EQ(qc->seen, "V01,A01");
  qc->leave = Variant(other);
  askGspIsTrue("V01", "A01", cnn);
  EXPECT_EQ(cnn, other);
  qc->leave = Variant(std::shared_ptr<Object>());
  askGspIsTrue("V01", "A01", cnn);
  EXPECT_EQ(cnn, nullptr);
  qc->leave = Variant(defaultSession());
  EXPECT_EQ(errorNumber([&] { askGspIsTrue("V01", "A01", cnn); }), err::TypeMismatch);

  std::shared_ptr<DueDateCalculator> calculator;  // created on first use
  std::shared_ptr<Object> login;
  EXPECT_EQ(askDueDate(calculator, login, "01", Variant("2026-03-05"), "月结30天"), "2026-04-04");
  EXPECT_EQ(calc->seen, "01|2026-03-05|月结30天");
  EXPECT_EQ(login, calc->leave);
  askDueDate(calculator, login, "01", Variant("2026-03-05"), "");
  EXPECT_EQ(std::count(host->created.begin(), host->created.end(), std::string(hostclass::kDueDateCalculator)), 1);
}

}  // namespace
}  // namespace tallyward::test
