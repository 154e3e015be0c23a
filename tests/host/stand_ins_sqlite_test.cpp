// The stand-in host on a real ERP database file: the statements run on the schema and the rows
// decide as the host's tables say.
#include <filesystem>

#include <unistd.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "host_fakes.h"
#include "tallyward/erp_database.h"

namespace tallyward::test {
namespace {

class StandInDatabase : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    path_ = (std::filesystem::temp_directory_path() /
             ("tw_host_" + std::to_string(::getpid()) + ".db")).string();
    createErpDatabase(path_, false, true);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    const char* rows = R"(
      INSERT INTO tw_data_right (cOperator, cKind, cCode, cRight) VALUES
        ('wang', 'Vendor', 'V001', 'W'), ('wang', 'Inventory', '*', 'W'),
        ('wang', 'Department', '01', 'R');
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, dFrom, dTo, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P1', '人民币', '2026-01-01 00:00:00', '2026-06-30 00:00:00', 0, 4.2, 13),
        ('V001', 'P1', '人民币', '2026-01-01 00:00:00', '2026-06-30 00:00:00', 1000, 4.05, 13),
        ('V001', 'P1', '人民币', '2026-07-01 00:00:00', NULL, 0, 4.4, 9),
        ('V001', 'P1', '美元', NULL, NULL, 0, 0.6, 0);
      INSERT INTO tw_inspection (cVenCode, cInvCode) VALUES ('V001', 'W2001');
      INSERT INTO PayCondition (cPayCode, cPayName, iPayCreDays) VALUES ('30', '月结30天', 30), ('00', '现结', NULL);
    )";
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, rows, nullptr, nullptr, &message), SQLITE_OK) << message;
    sqlite3_close(db);
  }
  static void TearDownTestSuite() { std::filesystem::remove(path_); }

  // The default stand-ins: the data-right service opens the file by its connection string.
  ScopedHostFactory scope{std::make_shared<StandInHost>()};
  std::shared_ptr<Connection> cnn = Connection::open(path_);
  static std::string path_;
};
std::string StandInDatabase::path_;

TEST_F(StandInDatabase, DataRights) {
  struct Case { const char* op; std::string_view kind; const char* code; bool allowed; };
  const Case cases[] = {
      {"wang", rightkind::Vendor, "V001", true},
      {"wang", rightkind::Vendor, "v001", true},     // codes compare without regard to case
      {"wang", rightkind::Vendor, "V002", false},
      {"wang", rightkind::Inventory, "ANY", true},   // '*' grants every item
      {"wang", rightkind::Department, "01", false},  // a right other than entering
      {"li", rightkind::Vendor, "V001", false},
      {"wang", rightkind::Vendor, "x' OR '1'='1", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(askDataRight(cnn, c.op, c.kind, c.code), c.allowed) << c.op << " " << c.kind << " " << c.code;
}

TEST_F(StandInDatabase, Prices) {
  struct Case { const char* date; double quantity; const char* currency; std::optional<double> unitPrice, taxRate; };
  const Case cases[] = {
      {"2026-03-05", 10, "人民币", 4.2, 13},
      {"2026-06-30", 1000, "人民币", 4.05, 13},
      {"2025-12-31", 10, "人民币", std::nullopt, 0},
      {"2026-03-05", 10, "美元", 0.6, 0},
      {"2026-03-05", 10, "欧元", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    std::shared_ptr<Object> context = defaultSession();
    std::optional<PriceProposal> p = askPrice(nullptr, context, cnn, {"V001", "P1", day(c.date), c.quantity, c.currency});
    ASSERT_EQ(p.has_value(), c.unitPrice.has_value()) << c.date << " " << c.currency;
    if (p) {
      EXPECT_EQ(p->unitPrice, *c.unitPrice) << c.date;
      EXPECT_EQ(p->taxRate, *c.taxRate) << c.date;
    }
  }
}

TEST_F(StandInDatabase, InspectionAndDueDate) {
  std::shared_ptr<Connection> c = cnn;
  EXPECT_TRUE(askGspIsTrue("V001", "W2001", c));
  EXPECT_FALSE(askGspIsTrue("V001", "P1", c));
  std::shared_ptr<Object> login = std::make_shared<StandInLogin>(cnn);
  std::shared_ptr<DueDateCalculator> calc;
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15T00:00:00"), "月结30天"), "2026-02-14");
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15"), "30"), "2026-02-14");
  EXPECT_EQ(askDueDate(calc, login, "", Variant("2026-01-15"), "现结"), "2026-01-15");
  EXPECT_TRUE(cnn->statements().empty());
}

}  // namespace
}  // namespace tallyward::test
