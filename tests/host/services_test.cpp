// How the checks reach the host: creation by identifier, the data-right service held during a
// check, and the order and arguments of the price calls.
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

}  // namespace
}  // namespace tallyward::test
