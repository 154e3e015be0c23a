// The stand-in host: what it decides from the rows of a real ERP database file. Its statements go
// to the connection's driver, not to the record of the statements the checks sent.
#include "host_fakes.h"

namespace tallyward::test {
namespace {

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
