// The stand-in host over the ERP database: the statements it sends and what it makes of the rows.
#include <gtest/gtest.h>

#include "host_fakes.h"
#include "support/recording_driver.h"

namespace tallyward::test {
namespace {

ResultSet rows(std::vector<std::string> columns, std::vector<std::vector<Variant>> values) {
  return ResultSet{std::move(columns), std::move(values)};
}

struct StandInFixture : ::testing::Test {
  StandInFixture() {
    auto [c, d] = recordingConnection("Driver=SQLite;Database=erp.db");
    cnn = c;
    driver = d;
  }
  void answer(std::string when, ResultSet result) { driver->answers.push_back({std::move(when), std::move(result)}); }

  std::shared_ptr<Connection> cnn;
  RecordingDriver* driver = nullptr;
  std::vector<std::string> opened;
  std::shared_ptr<StandInHost> host = std::make_shared<StandInHost>([this](const std::string& cs) {
    opened.push_back(cs);
    return cnn;
  });
  ScopedHostFactory scope{host};
};

// ---- Data rights -------------------------------------------------------------------------------------

TEST_F(StandInFixture, DataRightStatementOpensTheConnectionStringAndQuotesValues) {
  EXPECT_FALSE(askDataRight(cnn, "o'neil", rightkind::Vendor, "x' OR '1'='1"));
  EXPECT_EQ(opened, (std::vector<std::string>{"Driver=SQLite;Database=erp.db"}));
  EXPECT_TRUE(cnn->statements().empty());  // the host's statements are not the checks'
  EXPECT_EQ(driver->sent, (std::vector<std::string>{
                              "select cCode from tw_data_right where cOperator='o''neil' and "
                              "cKind='Vendor' and cRight='W' and cCode in ('x'' OR ''1''=''1','*')"}));
}

TEST_F(StandInFixture, DataRightNeedsInitialisingAndAnOpenableDatabase) {
  auto service = createHostService<DataRightService>(hostclass::kDataRight);
  EXPECT_EQ(errorNumber([&] { service->checkRight("Vendor", "V01", 0, "W"); }), err::ObjectNotSet);
  // The default stand-ins open the connection string as a database: a recording connection
  // names none.
  ScopedHostFactory plain(std::make_shared<StandInHost>());
  EXPECT_EQ(errorNumber([&] { askDataRight(cnn, "op", rightkind::Vendor, "V01"); }), err::Database);
}

TEST_F(StandInFixture, AHostOverOneDatabaseIgnoresTheConnectionString) {
  ScopedHostFactory over(std::make_shared<StandInHost>(cnn));
  auto other = recordingConnection("Driver=Elsewhere").first;
  answer("tw_data_right", rows({"cCode"}, {{Variant("V01")}}));
  EXPECT_TRUE(askDataRight(other, "op", rightkind::Vendor, "V01"));
  EXPECT_TRUE(opened.empty());
}

TEST_F(StandInFixture, ADefinedClassReplacesOneStandIn) {
  auto fake = std::make_shared<StandInHost>(cnn);
  fake->define("{6ce07372-b4f9-41f7-a7d1-4dea50638ace}", [] { return nullptr; });
  ScopedHostFactory scope2(fake);
  EXPECT_EQ(errorNumber([&] { askDataRight(cnn, "op", rightkind::Vendor, "V01"); }), err::CannotCreate);
  EXPECT_NE(fake->create(hostclass::kPriceService), nullptr);
}

// ---- Prices ------------------------------------------------------------------------------------------

const std::vector<std::string> kPriceColumns{"dFrom", "dTo", "fMinQuantity", "iUnitPrice", "iTaxRate"};

std::optional<PriceProposal> price(StandInFixture& f, const char* date, double quantity) {
  std::shared_ptr<Object> context = defaultSession();
  return askPrice(nullptr, context, f.cnn, {"V'01", "A01", day(date), quantity, "人民币"});
}

TEST_F(StandInFixture, PriceStatementNamesVendorItemAndCurrency) {
  EXPECT_FALSE(price(*this, "2026-03-05", 1));
  EXPECT_EQ(driver->sent, (std::vector<std::string>{
                              "select dFrom,dTo,fMinQuantity,iUnitPrice,iTaxRate from tw_price where "
                              "cVenCode='V''01' and cInvCode='A01' and cexch_name='人民币'"}));
}

TEST_F(StandInFixture, PriceValidOnTheDayWithTheGreatestMinimumNotAboveTheQuantity) {
  const Variant open = Variant::null();
  answer("tw_price", rows(kPriceColumns, {
      {Variant(day("2026-01-01")), Variant(day("2026-03-31")), Variant(0.0), Variant(10.0), Variant(13.0)},
      {Variant(day("2026-01-01")), Variant(day("2026-03-31")), Variant(100.0), Variant(9.0), Variant(13.0)},
      {Variant(day("2026-04-01")), open, Variant(0.0), Variant(11.0), Variant(9.0)},
      {Variant(day("2026-04-01")), open, Variant(50.0), Variant(10.5), Variant(9.0)},
      {open, Variant(day("2025-12-31")), open, Variant(8.0), open},
  }));
  struct Case { const char* date; double quantity; std::optional<double> unitPrice; double taxRate; };
  const Case cases[] = {
      {"2026-01-01", 5, 10, 13},             // first day of validity counts
      {"2026-03-31", 100, 9, 13},            // last day counts, minimum equal to the quantity counts
      {"2026-03-31", 99.5, 10, 13},          // just below the quantity break
      {"2027-06-30", 60, 10.5, 9},           // open end
      {"2026-04-01", 49, 11, 9},
      {"2025-06-01", 1, 8, 0},               // open start; Null minimum and tax rate read as 0
  };
  for (const Case& c : cases) {
    std::optional<PriceProposal> p = price(*this, c.date, c.quantity);
    ASSERT_TRUE(p) << c.date << " " << c.quantity;
    EXPECT_EQ(p->unitPrice, *c.unitPrice) << c.date << " " << c.quantity;
    EXPECT_EQ(p->taxRate, c.taxRate) << c.date << " " << c.quantity;
  }
  // A time of day on the last day of validity still falls within it.
  std::shared_ptr<Object> context = defaultSession();
  Date lateOnLastDay{day("2026-03-31").value + 0.75};
  ASSERT_TRUE(askPrice(nullptr, context, cnn, {"V01", "A01", lateOnLastDay, 1, "人民币"}));
}

TEST_F(StandInFixture, NoPriceBelowEveryMinimumOrOutsideValidity) {
  answer("tw_price", rows(kPriceColumns, {
      {Variant("2026-01-01 00:00:00"), Variant("2026-01-31"), Variant(10.0), Variant(5.0), Variant(13.0)}}));
  EXPECT_FALSE(price(*this, "2026-01-15", 9.99));
  EXPECT_FALSE(price(*this, "2026-02-01", 20));
  EXPECT_FALSE(price(*this, "2025-12-31", 20));
  EXPECT_TRUE(price(*this, "2026-01-31", 20));  // date texts are read as dates too
}

TEST_F(StandInFixture, OnEqualMinimumsTheLatestValidityWins) {
  answer("tw_price", rows(kPriceColumns, {
      {Variant::null(), Variant::null(), Variant(0.0), Variant(1.0), Variant(13.0)},
      {Variant(day("2026-02-01")), Variant::null(), Variant(0.0), Variant(3.0), Variant(13.0)},
      {Variant(day("2026-01-01")), Variant::null(), Variant(0.0), Variant(2.0), Variant(13.0)}}));
  EXPECT_EQ(price(*this, "2026-03-01", 1)->unitPrice, 3);
  EXPECT_EQ(price(*this, "2026-01-15", 1)->unitPrice, 2);
}

TEST_F(StandInFixture, APriceRowWithABadDateIsAnError) {
  answer("tw_price", rows(kPriceColumns, {{Variant("soon"), Variant::null(), Variant(0.0), Variant(1.0), Variant(1.0)}}));
  EXPECT_EQ(errorNumber([&] { price(*this, "2026-03-01", 1); }), err::TypeMismatch);
}

TEST_F(StandInFixture, PriceServiceNeedsAConnectionAndIsDoneAfterClose) {
  std::shared_ptr<Object> context = defaultSession();
  EXPECT_EQ(errorNumber([&] { askPrice(nullptr, context, nullptr, {"V01", "A01", day("2026-01-01"), 1, ""}); }),
            err::ObjectNotSet);
  auto service = createHostService<PriceService>(hostclass::kPriceService);
  std::shared_ptr<Object> login;
  std::shared_ptr<Connection> c = cnn;
  Variant result;
  service->initialise(login, context, c, result);
  service->close();
  std::shared_ptr<PriceAnswer> answer;
  EXPECT_EQ(errorNumber([&] { service->getPrice("V01", "A01", day("2026-01-01"), 1, "", 2, answer); }),
            err::ObjectNotSet);
}

// ---- Quality control -----------------------------------------------------------------------------------

TEST_F(StandInFixture, InspectionWhenARowNamesVendorAndItem) {
  std::shared_ptr<Connection> c = cnn;
  EXPECT_FALSE(askGspIsTrue("V01", "A'01", c));
  EXPECT_EQ(driver->sent.back(),
            "select cVenCode from tw_inspection where cVenCode='V01' and cInvCode='A''01'");
  answer("tw_inspection", rows({"cVenCode"}, {{Variant("V01")}}));
  EXPECT_TRUE(askGspIsTrue("V01", "A01", c));
  EXPECT_EQ(c, cnn);  // the stand-in leaves the connection as it was
  std::shared_ptr<Connection> none;
  EXPECT_EQ(errorNumber([&] { askGspIsTrue("V01", "A01", none); }), err::ObjectNotSet);
}

// ---- Due dates -------------------------------------------------------------------------------------------

TEST_F(StandInFixture, DueDateIsTheInvoiceDatePlusCreditDays) {
  answer("'月结30天'", rows({"cPayName", "iPayCreDays"}, {{Variant("月结30天"), Variant(30)}}));
  answer("'P01'", rows({"cPayName", "iPayCreDays"}, {{Variant("月结30天"), Variant(30)}}));
  answer("'现结'", rows({"cPayName", "iPayCreDays"}, {{Variant("现结"), Variant::null()}}));
  answer("'两个'", rows({"cPayName", "iPayCreDays"},
                      {{Variant("x"), Variant(5)}, {Variant("两个"), Variant(10)}}));
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn);
  std::shared_ptr<DueDateCalculator> calc;
  struct Case { Variant date; const char* pay; const char* due; };
  const Case cases[] = {
      {Variant("2026-01-15"), "月结30天", "2026-02-14"},
      {Variant("2026-01-15"), "P01", "2026-02-14"},               // found by code
      {Variant("2028-02-15T00:00:00"), "月结30天", "2028-03-16"},  // XML date, leap year
      {Variant(day("2026-12-10")), "月结30天", "2027-01-09"},
      {Variant("2026-01-15 18:30:00"), "现结", "2026-01-15"},       // Null credit days
      {Variant("2026-01-15"), "未知", "2026-01-15"},                 // unknown condition
      {Variant("2026-01-15"), "", "2026-01-15"},
      {Variant("2026-01-15"), "两个", "2026-01-25"},                 // the name wins over a code
  };
  for (const Case& c : cases)
    EXPECT_EQ(askDueDate(calc, login, "01", c.date, c.pay), c.due) << toText(c.date) << " " << c.pay;
  EXPECT_EQ(driver->sent.front(),
            "select cPayName,iPayCreDays from PayCondition where cPayName='月结30天' or cPayCode='月结30天'");
  EXPECT_EQ(driver->sent.size(), 7u);  // no statement for an empty condition
}

TEST_F(StandInFixture, DueDateFailures) {
  std::shared_ptr<DueDateCalculator> calc;
  std::shared_ptr<Object> nothing;
  EXPECT_EQ(askDueDate(calc, nothing, "", Variant("2026-01-15"), ""), "2026-01-15");
  EXPECT_EQ(errorNumber([&] { askDueDate(calc, nothing, "", Variant("2026-01-15"), "月结"); }),
            err::ObjectNotSet);
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn);
  for (const Variant& bad : {Variant(""), Variant("15/01/2026"), Variant::null()})
    EXPECT_EQ(errorNumber([&] { askDueDate(calc, login, "", bad, ""); }), err::TypeMismatch) << toText(Variant(bad.isNull() ? "Null" : bad));
  answer("PayCondition", rows({"cPayName", "iPayCreDays"}, {{Variant("长"), Variant(3000000)}}));
  EXPECT_EQ(errorNumber([&] { askDueDate(calc, login, "", Variant("2026-01-15"), "长"); }), err::Overflow);
}

TEST_F(StandInFixture, DueDateReachesTheDatabaseThroughTheLogin) {
  std::shared_ptr<DueDateCalculator> calc;
  // A connection handed as the login is used itself.
  auto [own, ownDriver] = recordingConnection("Driver=SQLite;Database=other.db");
  std::shared_ptr<Object> login = own;
  askDueDate(calc, login, "", Variant("2026-01-15"), "月结");
  EXPECT_EQ(ownDriver->sent.size(), 1u);
  EXPECT_TRUE(driver->sent.empty());
  // Another login object names its database by ConnectionString, which the host opens.
  auto named = std::make_shared<SessionInformation>();
  named->set("ConnectionString", "Driver=SQLite;Database=named.db");
  login = named;
  askDueDate(calc, login, "", Variant("2026-01-15"), "月结");
  EXPECT_EQ(opened, (std::vector<std::string>{"Driver=SQLite;Database=named.db"}));
  EXPECT_EQ(driver->sent.size(), 1u);
  EXPECT_EQ(toText(std::make_shared<StandInLogin>(own)->get("ConnectionString")),
            "Driver=SQLite;Database=other.db");
}

}  // namespace
}  // namespace tallyward::test
