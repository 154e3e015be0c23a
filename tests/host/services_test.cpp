// How the checks reach the host: creation by identifier, the data-right service held during a
// check, and the order and arguments of the price, quality-control and due-date calls.
#include <thread>

#include <gtest/gtest.h>

#include "host_fakes.h"
#include "support/recording_driver.h"

namespace tallyward::test {
namespace {

struct FakeDataRight : DataRightService {
  bool initialise(const std::string& cs, const std::string& op, int32_t a, int32_t b) override {
    calls.push_back("initialise(" + cs + "," + op + "," + std::to_string(a) + "," + std::to_string(b) + ")");
    return true;
  }
  bool checkRight(const std::string& kind, const std::string& code, int32_t n,
                  const std::string& right) override {
    calls.push_back("checkRight(" + kind + "," + code + "," + std::to_string(n) + "," + right + ")");
    heldWhileAsked = heldDataRight() == this;
    if (fail) throwError(70, "permission denied");
    return answer;
  }
  std::vector<std::string> calls;
  bool answer = true, fail = false, heldWhileAsked = false;
};

struct DataRightFixture : ::testing::Test {
  DataRightFixture() {
    host->classes[std::string(hostclass::kDataRight)] = [this] {
      auto s = std::make_shared<FakeDataRight>();
      s->answer = answer;
      s->fail = fail;
      last = s;
      return s;
    };
  }
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  ScopedHostFactory scope{host};
  std::shared_ptr<Connection> cnn = recordingConnection("Driver=SQLite;Database=erp.db").first;
  std::weak_ptr<FakeDataRight> last;
  bool answer = true, fail = false;
};

TEST_F(DataRightFixture, AsksWithTheConnectionStringOperatorKindCodeAndW) {
  for (bool a : {true, false}) {
    answer = a;
    EXPECT_EQ(askDataRight(cnn, "op1", rightkind::Vendor, "V001"), a);
  }
  std::shared_ptr<FakeDataRight> keep;
  host->classes[std::string(hostclass::kDataRight)] = [&] { return keep = std::make_shared<FakeDataRight>(); };
  askDataRight(cnn, "op1", rightkind::Person, "P'01");
  EXPECT_EQ(keep->calls, (std::vector<std::string>{"initialise(Driver=SQLite;Database=erp.db,op1,0,0)",
                                                   "checkRight(Person,P'01,0,W)"}));
  EXPECT_TRUE(keep->heldWhileAsked);
}

TEST_F(DataRightFixture, AFreshServiceEachTimeReleasedAfterTheCheck) {
  askDataRight(cnn, "op", rightkind::Inventory, "A01");
  EXPECT_TRUE(last.expired());
  EXPECT_EQ(heldDataRight(), nullptr);
  askDataRight(cnn, "op", rightkind::Inventory, "A02");
  EXPECT_EQ(host->created.size(), 2u);
}

TEST_F(DataRightFixture, ReleasedAlsoWhenTheCheckFails) {
  fail = true;
  EXPECT_EQ(errorNumber([&] { askDataRight(cnn, "op", rightkind::Department, "D1"); }), 70);
  EXPECT_TRUE(last.expired());
  EXPECT_EQ(heldDataRight(), nullptr);
  fail = false;
  EXPECT_EQ(errorNumber([&] { askDataRight(nullptr, "op", rightkind::Department, "D1"); }),
            err::ObjectNotSet);
  EXPECT_TRUE(last.expired());
}

TEST_F(DataRightFixture, TheHeldServiceBelongsToItsThread) {
  DataRightHold outer;
  EXPECT_EQ(heldDataRight(), &outer.service());
  DataRightService* seenElsewhere = &outer.service();
  std::thread([&] { seenElsewhere = heldDataRight(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  {
    DataRightHold inner;
    EXPECT_EQ(heldDataRight(), &inner.service());
  }
  EXPECT_EQ(heldDataRight(), &outer.service());
}

TEST(HostFactory, CreationByIdentifier) {
  auto host = std::make_shared<FakeHost>();
  host->classes["Marrowby_Pu.clsMarrowby_Pu"] = [] { return std::make_shared<FakeDataRight>(); };
  ScopedHostFactory scope(host);
  EXPECT_EQ(hostFactory(), host);
  EXPECT_EQ(errorNumber([] { createHostObject("{00000000-0000-0000-0000-000000000000}"); }),
            err::CannotCreate);
  // An object that does not offer the interface bound to.
  EXPECT_EQ(errorNumber([] { createHostService<PriceService>("Marrowby_Pu.clsMarrowby_Pu"); }),
            err::TypeMismatch);
}

TEST(HostFactory, TheScopeGivesBackThePreviousFactory) {
  std::shared_ptr<HostFactory> before = hostFactory();
  {
    ScopedHostFactory scope(std::make_shared<FakeHost>());
    EXPECT_NE(hostFactory(), before);
  }
  EXPECT_EQ(hostFactory(), before);
  // Without a factory of its own the process uses the stand-ins, which know the CLSIDs in any
  // spelling.
  std::shared_ptr<HostFactory> previous = setHostFactory(nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<StandInHost>(hostFactory()), nullptr);
  EXPECT_NE(hostFactory()->create("c41a6aac-0290-45d9-a36a-25bc45fa8c01"), nullptr);
  EXPECT_EQ(hostFactory()->create("{C41A6AAC-0290-45D9-A36A-25BC45FA8C02}"), nullptr);
  setHostFactory(previous);
}

// ---- Price ----------------------------------------------------------------------------------------

struct FakeAnswer : PriceAnswer {
  double unitPrice() const override { return 12.5; }
  double taxRate() const override { return 13; }
};

struct FakePriceService : PriceService {
  void initialise(std::shared_ptr<Object>& login, std::shared_ptr<Object>& context,
                  std::shared_ptr<Connection>& connection, Variant& result) override {
    log->push_back("initialise");
    seenLogin = login;
    seenConnection = connection;
    if (failAt == "initialise") throwError(71, "init failed");
    login = nullptr;  // changes to the login and the connection are not taken back
    connection = nullptr;
    if (newContext) context = newContext;
    result = Variant("ok");
  }
  void getPrice(const std::string& v, const std::string& i, Date d, double q, const std::string& c,
                int32_t mode, std::shared_ptr<PriceAnswer>& price) override {
    log->push_back("getPrice(" + v + "," + i + "," + formatDate(d.value) + "," + formatNumber(q) + "," +
                   c + "," + std::to_string(mode) + ")");
    if (failAt == "getPrice") throwError(72, "no price list");
    if (hasPrice) price = std::make_shared<FakeAnswer>();
  }
  void close() override {
    log->push_back("close");
    if (failAt == "close") throwError(73, "close failed");
  }
  std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
  std::string failAt;
  bool hasPrice = true;
  std::shared_ptr<Object> newContext, seenLogin;
  std::shared_ptr<Connection> seenConnection;
};

struct PriceFixture : ::testing::Test {
  PriceFixture() {
    host->classes[std::string(hostclass::kPriceService)] = [this] { return service; };
  }
  std::optional<PriceProposal> ask() {
    return askPrice(login, context, cnn, {"V01", "A01", day("2026-03-05"), 4, "人民币"});
  }
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  ScopedHostFactory scope{host};
  std::shared_ptr<FakePriceService> service = std::make_shared<FakePriceService>();
  std::shared_ptr<Connection> cnn = recordingConnection().first;
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn);
  std::shared_ptr<Object> context = defaultSession();
};

TEST_F(PriceFixture, InitialiseAskWithModeTwoReadAndClose) {
  std::optional<PriceProposal> p = ask();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->unitPrice, 12.5);
  EXPECT_EQ(p->taxRate, 13);
  EXPECT_EQ(*service->log, (std::vector<std::string>{
                               "initialise", "getPrice(V01,A01,2026-03-05,4,人民币,2)", "close"}));
  EXPECT_EQ(service->seenLogin, login);
  EXPECT_EQ(service->seenConnection, cnn);
}

TEST_F(PriceFixture, TheContextLeftByTheServiceIsKeptButNotLoginOrConnection) {
  std::shared_ptr<Object> before = context;
  ask();
  EXPECT_EQ(context, before);
  service->newContext = defaultSession();
  const std::shared_ptr<Object> loginBefore = login;
  ask();
  EXPECT_EQ(context, service->newContext);
  EXPECT_EQ(login, loginBefore);
  EXPECT_NE(cnn, nullptr);
}

TEST_F(PriceFixture, NoPriceAndFailingSteps) {
  service->hasPrice = false;
  EXPECT_FALSE(ask());
  EXPECT_EQ(service->log->back(), "close");

  struct Case { const char* failAt; int number; bool closed; };
  for (const Case& c : {Case{"initialise", 71, true}, Case{"getPrice", 72, true}}) {
    service->log->clear();
    service->hasPrice = true;
    service->failAt = c.failAt;
    service->newContext = defaultSession();
    std::shared_ptr<Object> before = context;
    EXPECT_EQ(errorNumber([&] { ask(); }), c.number) << c.failAt;
    EXPECT_EQ(service->log->back(), "close") << c.failAt;
    if (std::string(c.failAt) == "initialise") {
      EXPECT_EQ(context, before);
    }
  }
  // A close that fails after the price was read keeps the price.
  service->failAt = "close";
  EXPECT_TRUE(ask());
}

// ---- Quality control (a plain late-bound object, as the checks call it by name) -------------------

struct FakeQualityControl : Object {
  std::string_view typeName() const override { return "clsMarrowby_Pu"; }
  DispId GetIDsOfNames(std::string_view name) const override {
    if (DispatchTable<Object>::equalsNoCase(name, "bGspIsTrue")) return 7;
    throwError(err::NoSuchMember, std::string(name));
  }
  Variant Invoke(DispId, InvokeKind, std::span<Variant> args) override {
    seen = {toText(args[0]), toText(args[1])};
    if (leave) args[2] = *leave;
    return answer;
  }
  Variant answer;
  std::optional<Variant> leave;
  std::vector<std::string> seen;
};

TEST(QualityControlCall, AnswersAndTheConnectionLeftBehind) {
  auto host = std::make_shared<FakeHost>();
  auto qc = std::make_shared<FakeQualityControl>();
  host->classes[std::string(hostclass::kQualityControl)] = [&] { return qc; };
  ScopedHostFactory scope(host);
  std::shared_ptr<Connection> cnn = recordingConnection().first;

  struct Case { Variant answer; bool inspected; };
  for (const Case& c : {Case{Variant(true), true}, Case{Variant(false), false},
                        Case{Variant::null(), false}, Case{Variant("True"), true}, Case{Variant(1), true}}) {
    qc->answer = c.answer;
    EXPECT_EQ(askGspIsTrue("V01", "A01", cnn), c.inspected);
  }
  EXPECT_EQ(qc->seen, (std::vector<std::string>{"V01", "A01"}));

  std::shared_ptr<Connection> other = recordingConnection().first;
  qc->leave = Variant(other);
  askGspIsTrue("V01", "A01", cnn);
  EXPECT_EQ(cnn, other);
  qc->leave = Variant(std::shared_ptr<Object>());
  askGspIsTrue("V01", "A01", cnn);
  EXPECT_EQ(cnn, nullptr);
  qc->leave = Variant(defaultSession());
  EXPECT_EQ(errorNumber([&] { askGspIsTrue("V01", "A01", cnn); }), err::TypeMismatch);
}

// ---- Due date --------------------------------------------------------------------------------------

struct FakeDueDate : DueDateCalculator {
  std::string calculate(std::shared_ptr<Object>& login, const std::string& id, const Variant& date,
                        const std::string& pay) override {
    seen = id + "|" + toText(date) + "|" + pay;
    if (leave) login = leave;
    return "2026-04-04";
  }
  std::string seen;
  std::shared_ptr<Object> leave;
};

TEST(DueDateCall, CreatedOnFirstUseAndTheLoginLeftIsKept) {
  auto host = std::make_shared<FakeHost>();
  auto calc = std::make_shared<FakeDueDate>();
  host->classes[std::string(hostclass::kDueDateCalculator)] = [&] { return calc; };
  ScopedHostFactory scope(host);
  std::shared_ptr<DueDateCalculator> calculator;
  std::shared_ptr<Object> login;
  EXPECT_EQ(askDueDate(calculator, login, "01", Variant("2026-03-05"), "月结30天"), "2026-04-04");
  EXPECT_EQ(calc->seen, "01|2026-03-05|月结30天");
  calc->leave = defaultSession();
  askDueDate(calculator, login, "01", Variant("2026-03-05"), "");
  EXPECT_EQ(login, calc->leave);
  EXPECT_EQ(host->created.size(), 1u);
}

}  // namespace
}  // namespace tallyward::test
