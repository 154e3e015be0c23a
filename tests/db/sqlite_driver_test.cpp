// The SQLite driver on a real database file: opening, column names, values, the statement cache
// and query plans.
#include "platform/db/sqlite_driver.h"

#include <gtest/gtest.h>

#include <limits>

#include "db/tiny_erp.h"
#include "support/run_time_error.h"
#include "support/temp_database.h"
#include "tallyward/database.h"

namespace tallyward {
namespace {

using test::TempDatabase;
using test::errorNumber;

SqliteDriver& driverOf(Connection& c) { return dynamic_cast<SqliteDriver&>(c.driver()); }

// ---- Opening ------------------------------------------------------------------------------------

TEST(Open, EveryFormOfConnectionStringReachesTheFile) {
  TempDatabase file(test::kTinyErp);
  for (std::string text : {"PATH", "Driver=SQLite;Database=PATH", "driver=sqlite;database=PATH;",
                           " DATABASE = PATH ; DRIVER = SQLite ", "Data Source=PATH", "Driver={SQLite};Database={PATH}"}) {
    SCOPED_TRACE(text);
    text.replace(text.find("PATH"), 4, file.path());
    auto cnn = Connection::open(text);
    EXPECT_EQ(cnn->connectionString(), text);
    EXPECT_EQ(cnn->execute("select cDepName from Department where cDepCode='02'")->field(0), Variant("生产部"));
  }
}

TEST(Open, MissingFileIsAnErrorAndNothingIsCreated) {
  test::TempFolder folder;
  const auto missing = folder.file("none.db");
  for (const std::string& text : {missing, "Driver=SQLite;Database=" + missing}) {
    std::string why;
    EXPECT_EQ(errorNumber([&] { Connection::open(text); }, &why), err::Database) << text;
    EXPECT_NE(why.find("not found"), std::string::npos) << why;
    EXPECT_NE(why.find(missing), std::string::npos) << why;
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Open, RefusesWhatIsNotAnSqliteDatabase) {
  test::TempFolder folder;
  const auto text = folder.file("notes.txt");
  test::writeBytes(text, "this is not a database, though it is long enough to have a header");
  std::string why;
  EXPECT_EQ(errorNumber([&] { Connection::open(text); }, &why), err::Database);
  EXPECT_NE(why.find("Not an SQLite database"), std::string::npos) << why;
  EXPECT_EQ(errorNumber([&] { Connection::open(folder.path().string()); }, &why), err::Database) << "a folder";
}

TEST(Open, RefusesBadConnectionStrings) {
  TempDatabase file(test::kTinyErp);
  const std::string cases[] = {
      "",
      "Driver=SQLite",
      "Driver=SQLite;Database=",
      "Driver={Tallyward No Such Driver};Database=erp",
      "Driver=SQLite;Database=" + file.path() + ";Mode=ro",
      "Driver=SQLite;Database={" + file.path(),
  };
  for (const auto& text : cases) EXPECT_EQ(errorNumber([&] { Connection::open(text); }), err::Database) << text;
}

// ---- Statements ---------------------------------------------------------------------------------

class Driver : public ::testing::Test {
 protected:
  TempDatabase file{test::kTinyErp};
  std::shared_ptr<Connection> cnn = file.connect();
  SqliteDriver& driver = driverOf(*cnn);
};

TEST_F(Driver, ColumnsAreNamedAsSqlServerNamesThem) {
  auto rs = cnn->execute(
      "SELECT vendor.cVenCode,vendor.cvenpostcode,vendor.cVenDepart as cDepCode,cDepName,"
      "case when isnull(ven.cVenHeadCode,'')=''then vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode,"
      "count(*) FROM Vendor left join department on vendor.cvendepart=department.cdepcode "
      "inner join vendor as ven on vendor.cvencode=ven.cvencode group by vendor.cVenCode");
  EXPECT_EQ(rs->columns(), (std::vector<std::string>{"cVenCode", "cvenpostcode", "cDepCode", "cDepName",
                                                     "cUnitCode", ""}));
  EXPECT_EQ(cnn->execute("select CVENPOSTCODE from Vendor")->columns()[0], "CVENPOSTCODE");
  EXPECT_EQ(cnn->execute("select * from dbo.Department")->columns(),
            (std::vector<std::string>{"cDepCode", "cDepName", "bDepEnd"}));
  EXPECT_EQ(cnn->execute("select dBegin,dEnd,iID from OrrerySystem..ua_period")->columns(),
            (std::vector<std::string>{"dBegin", "dEnd", "iID"}));
}

TEST_F(Driver, ValuesHaveThePlatformTypes) {
  auto rs = cnn->execute(
      "select cVenCode,bVenTax,iCredit,fDiscount,dEndDate,cMemo from Vendor order by cVenCode");
  ASSERT_EQ(rs->recordCount(), 4);
  double lastDay = 0;
  ASSERT_TRUE(parseDate("2025-12-31", lastDay));
  const std::vector<std::vector<Variant>> expected = {
      {"V001", true, 30, 0.5, Variant::null(), Variant::null()},
      {"V002", false, 3000000000.0, 2.0, Variant::null(), "it's"},
      {"V003", true, Variant::null(), Variant::null(), Date{lastDay}, Variant::null()},
      {"V004", Variant::null(), std::numeric_limits<int32_t>::min(), Variant::null(), "not a date",
       Variant::null()},
  };
  for (const auto& row : expected) {
    ASSERT_FALSE(rs->eof());
    for (size_t i = 0; i < row.size(); ++i)
      EXPECT_EQ(rs->field(i), row[i]) << toText(row[0]) << " column " << rs->columns()[i];
    rs->moveNext();
  }
  // Expressions carry the type of their value; a bit keeps being a Boolean through a sub-select.
  auto e = cnn->execute("select 1+1 as a, 7.5/3 as b, 'x' as c, t.b from (select bDepEnd as b from Department where cDepCode='9') as t");
  EXPECT_EQ(e->field("a"), Variant(2));
  EXPECT_EQ(e->field("b"), Variant(2.5));
  EXPECT_EQ(e->field("c"), Variant("x"));
  EXPECT_EQ(e->field(3), Variant(false));
}

TEST_F(Driver, DateTimesAreDatesToTheSecond) {
  auto rs = cnn->execute("select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '001' and iyear = 2026 order by iid");
  double end = 0;
  ASSERT_TRUE(parseDate("2026-01-31 23:59:59", end));
  ASSERT_EQ(rs->field("dEnd").type(), VarType::Date);
  EXPECT_EQ(rs->field("dEnd").asDate().value, end);
  EXPECT_EQ(rs->field("iID"), Variant(1));
}

TEST_F(Driver, TopTakesTheFirstRowsOfItsOwnSelect) {
  auto rs = cnn->execute("select top 1 iperiod from gl_mend where bflag_om=0 order by iperiod");
  EXPECT_EQ(rs->recordCount(), 1);
  EXPECT_EQ(rs->field(0), Variant(2));
  auto nested = cnn->execute(
      "select top 1 cDepCode,(select top 1 cVenCode from Vendor where Vendor.cVenDepart=Department.cDepCode "
      "order by cVenCode desc) as cLast from Department order by cDepCode desc");
  EXPECT_EQ(nested->recordCount(), 1);
  EXPECT_EQ(nested->field("cDepCode"), Variant("9"));
  EXPECT_EQ(nested->field("cLast"), Variant::null());
}

TEST_F(Driver, FailuresAreDatabaseErrorsAndStatementsAreKeptAsWritten) {
  std::string why;
  EXPECT_EQ(errorNumber([&] { cnn->execute("select x from NoSuchTable"); }, &why), err::Database);
  EXPECT_NE(why.find("no such table"), std::string::npos) << why;
  EXPECT_EQ(errorNumber([&] { cnn->execute("select \"cVenCod\" from Vendor"); }, &why), err::Database)
      << "a misspelt quoted name is an error, not a text";
  EXPECT_EQ(errorNumber([&] { cnn->execute("delete from Vendor"); }), err::Database);
  EXPECT_EQ(cnn->execute("select count(*) from Vendor")->field(0), Variant(4)) << "nothing was deleted";
  EXPECT_EQ(cnn->statements(), (std::vector<std::string>{"select x from NoSuchTable", "select \"cVenCod\" from Vendor",
                                                         "delete from Vendor",
                                                         "select count(*) from Vendor"}));
}

TEST_F(Driver, RepeatedStatementsArePreparedOnce) {
  const std::string lookUp = "select cVenAbbName from Vendor where cVenCode='V002'";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(cnn->execute(lookUp)->field(0), Variant("华北机电")) << "run " << i;
  EXPECT_EQ(driver.preparedCount(), 1u);
  // A statement that fails while its rows are read fails again, the same way, when it is sent again.
  const std::string overflow =
      "select cVenCode, abs(case when cVenCode='V004' then -9223372036854775807-1 else 1 end) from Vendor";
  for (int i = 0; i < 2; ++i) {
    std::string why;
    EXPECT_EQ(errorNumber([&] { cnn->execute(overflow); }, &why), err::Database);
    EXPECT_NE(why.find("integer overflow"), std::string::npos) << why;
  }
  EXPECT_EQ(driver.preparedCount(), 2u);
}

TEST_F(Driver, TheCacheKeepsTheRecentStatements) {
  // Each a statement of its own (statements differing only in a compared literal share one).
  const auto statement = [](size_t i) {
    return "select cDepName, " + std::to_string(i) + " as n from Department where cDepCode='9'";
  };
  const size_t first = 9, end = first + SqliteDriver::kCacheSize + 5;
  for (size_t i = first; i < end; ++i) cnn->execute(statement(i));
  EXPECT_EQ(driver.cachedCount(), SqliteDriver::kCacheSize);
  const size_t prepared = driver.preparedCount();
  cnn->execute(statement(end - 1));  // recent: still compiled
  EXPECT_EQ(driver.preparedCount(), prepared);
  EXPECT_EQ(cnn->execute(statement(first))->field(0), Variant("总部"));  // the oldest left: compiled again
  EXPECT_EQ(driver.preparedCount(), prepared + 1);
}

TEST_F(Driver, QueryPlansShowWhetherALookUpUsesAnIndex) {
  const auto plan = [&](const std::string& sql) {
    std::string all;
    for (const auto& line : driver.explainQueryPlan(sql)) all += line + "\n";
    return all;
  };
  const std::string byNameOrCode = plan("SELECT cVenCode FROM dbo.Vendor WHERE cVenAbbName='ACME' OR cVenCode='ACME'");
  EXPECT_NE(byNameOrCode.find("INDEX"), std::string::npos) << byNameOrCode;
  EXPECT_EQ(byNameOrCode.find("SCAN"), std::string::npos) << byNameOrCode;
  EXPECT_NE(plan("SELECT top 1 cVenCode FROM Vendor WHERE cMemo='x'").find("SCAN"), std::string::npos);
  EXPECT_EQ(errorNumber([&] { driver.explainQueryPlan("select N'x'"); }), err::Database);
  EXPECT_EQ(driver.preparedCount(), 0u) << "plans do not fill the cache";
}

}  // namespace
}  // namespace tallyward
