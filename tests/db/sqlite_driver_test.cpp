// The SQLite driver on real database files: where connection strings lead, the names and types of
// what it reads, and statements that share one compiled form.
#include "platform/db/sqlite_driver.h"
#include <gtest/gtest.h>
#include <limits>
#include "db/tiny_erp.h"
#include "platform/db/sql_text.h"
#include "support/temp_database.h"

namespace tallyward {
namespace {

using test::errorNumber;
using test::TempDatabase;

SqliteDriver& driverOf(Connection& c) { return dynamic_cast<SqliteDriver&>(c.driver()); }

// Each connection string (PATH: the file, DIR: its folder, NONE: a file that is not there) and the
// error it gives (0: it reaches the file), with a piece of the description.
TEST(Open, ConnectionStringsReachTheFileOrSayWhyNot) {
  TempDatabase file(test::kTinyErp);
  const std::string dir = std::filesystem::path(file.path()).parent_path().string(), none = dir + "/none.db";
  test::writeBytes(dir + "/notes.txt", "this is not a database, though it is long enough to have a header");
  const struct { std::string text; const char* says; } cases[] = {
      {file.path(), nullptr}, {" DATABASE = " + file.path() + " ; driver = sqlite ", nullptr},
      {"Data Source=" + file.path(), nullptr}, {"Driver={SQLite};Database={" + file.path() + "}", nullptr},
      {"Driver=SQLite;Database=" + none, "not found"}, {dir + "/notes.txt", "Not an SQLite database"}, {dir, ""},
      {"", ""}, {"Driver=SQLite;Database=" + file.path() + ";Mode=ro", ""}, {"Driver=SQLite;Database={" + file.path(), ""},
  };
  for (const auto& c : cases) {
    std::string why;
    std::shared_ptr<Connection> cnn;
    EXPECT_EQ(errorNumber([&] { cnn = Connection::open(c.text); }, &why), c.says ? err::Database : 0) << c.text;
    if (c.says) EXPECT_NE(why.find(c.says), std::string::npos) << why;
    else EXPECT_EQ(cnn->execute("select cDepName from Department where cDepCode='02'")->field(0), Variant("生产部"));
  }
  EXPECT_FALSE(std::filesystem::exists(none)) << "nothing is created";
}

class Driver : public ::testing::Test {
 protected:
  TempDatabase file{test::kTinyErp};
  std::shared_ptr<Connection> cnn = file.connect();
  SqliteDriver& driver = driverOf(*cnn);
};

TEST_F(Driver, NamesAndValuesAreAsTheErpServerGivesThem) {
  auto rs = cnn->execute(
      "SELECT vendor.cVenCode,vendor.cvenpostcode,vendor.cVenDepart as cDepCode,cDepName,count(*) FROM Vendor "
      "left join department on vendor.cvendepart=department.cdepcode group by vendor.cVenCode");
  EXPECT_EQ(rs->columns(), (std::vector<std::string>{"cVenCode", "cvenpostcode", "cDepCode", "cDepName", ""}));
  EXPECT_EQ(cnn->execute("select * from dbo.Department")->columns(), (std::vector<std::string>{"cDepCode", "cDepName", "bDepEnd"}));
  // A bit held as text, whole numbers beyond 32 bits, a date that is no date.
  rs = cnn->execute("select cVenCode,bVenTax,iCredit,fDiscount,dEndDate,cMemo from Vendor order by cVenCode");
  double lastDay = 0;
  ASSERT_TRUE(parseDate("2025-12-31", lastDay));
  const Variant null = Variant::null();
  const std::vector<std::vector<Variant>> expected = {
      {"V001", true, 30, 0.5, null, null},
      {"V002", false, 3000000000.0, 2.0, null, "it's"},
      {"V003", true, null, null, Date{lastDay}, null},
      {"V004", null, std::numeric_limits<int32_t>::min(), null, "not a date", null}};
  ASSERT_EQ(rs->recordCount(), 4);
  for (const auto& row : expected) {
    for (size_t i = 0; i < row.size(); ++i) EXPECT_EQ(rs->field(i), row[i]) << toText(row[0]) << " " << i;
    rs->moveNext();
  }
  rs = cnn->execute("select 1+1 as a, 7.5/3 as b, t.b from (select bDepEnd as b from Department where cDepCode='9') as t");
  EXPECT_EQ(rs->field("a"), Variant(2));
  EXPECT_EQ(rs->field("b"), Variant(2.5));
  EXPECT_EQ(rs->field(2), Variant(false)) << "a bit stays a Boolean through a sub-select";
  rs = cnn->execute("select top 1 dEnd from OrrerySystem..ua_period where cacc_id = '001' order by iid desc");
  ASSERT_TRUE(parseDate("2026-02-28 23:59:59", lastDay));
  EXPECT_EQ(rs->field(0), Variant(Date{lastDay}));
  EXPECT_EQ(rs->recordCount(), 1);
}

TEST_F(Driver, FailuresAreDatabaseErrorsAndEveryStatementIsRecordedAsWritten) {
  std::string why;
  EXPECT_EQ(errorNumber([&] { cnn->execute("select x from NoSuchTable where a='1'"); }, &why), err::Database);
  EXPECT_NE(why.find("from NoSuchTable where a='1')"), std::string::npos) << "named with its literal: " << why;
  EXPECT_EQ(errorNumber([&] { cnn->execute("select \"cVenCod\" from Vendor"); }), err::Database) << "not a text";
  EXPECT_EQ(errorNumber([&] { cnn->execute("delete from Vendor"); }), err::Database);
  // One that fails while its rows are read fails the same way when sent again.
  const std::string overflow = "select abs(case when cVenCode='V004' then -9223372036854775807-1 else 1 end) from Vendor";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(errorNumber([&] { cnn->execute(overflow); }, &why), err::Database);
    EXPECT_NE(why.find("integer overflow"), std::string::npos) << why;
  }
  EXPECT_EQ(cnn->execute("select count(*) from Vendor")->field(0), Variant(4)) << "nothing was deleted";
  EXPECT_EQ(cnn->statements().size(), 6u);
  EXPECT_EQ(cnn->statements()[2], "delete from Vendor");
  // Only the latest are kept, in order.
  constexpr size_t kSent = Connection::kStatementLimit + Connection::kStatementLimit / 10 + 7;
  for (size_t i = 0; i < kSent; ++i) cnn->execute("select cDepName from Department where cDepCode='" + std::to_string(i) + "'");
  const auto& sent = cnn->statements();
  EXPECT_GE(sent.size(), Connection::kStatementLimit - Connection::kStatementLimit / 10);
  ASSERT_LE(sent.size(), Connection::kStatementLimit);
  for (size_t k = 0; k < sent.size(); ++k)
    ASSERT_EQ(sent[k], "select cDepName from Department where cDepCode='" + std::to_string(kSent - sent.size() + k) + "'");
}

TEST_F(Driver, StatementsDifferingInComparedLiteralsShareOneCompiledStatement) {
  const auto lookUp = [&](const std::string& code) {
    return cnn->execute("select cVenAbbName from Vendor where cVenCode='" + escapeSql(code) + "'");
  };
  EXPECT_EQ(lookUp("V001")->field(0), Variant("ACME"));
  EXPECT_EQ(lookUp("v002")->field(0), Variant("华北机电"));
  EXPECT_EQ(lookUp("x' OR '1'='1")->recordCount(), 0);
  EXPECT_EQ(driver.preparedCount(), 1u);
  EXPECT_EQ(cnn->statements().back(), "select cVenAbbName from Vendor where cVenCode='x'' OR ''1''=''1'");
}

// The same statements, run once sharing compiled statements and once as written, give the same
// columns, rows, value types and errors.
void expectSameBothWays(const std::string& path, const std::vector<std::string>& statements) {
  auto shared = Connection::open(path), asWritten = Connection::open(path);
  driverOf(*asWritten).shareShapes(false);
  const auto run = [](Connection& c, const std::string& sql, ResultSet& r) {
    std::string why;
    return std::to_string(errorNumber([&] { r = c.driver().query(sql); }, &why)) + " " + why;
  };
  for (const std::string& sql : statements) {
    ResultSet a, b;
    EXPECT_EQ(run(*shared, sql, a), run(*asWritten, sql, b)) << sql;
    EXPECT_EQ(a.columns, b.columns) << sql;
    EXPECT_EQ(a.rows, b.rows) << sql;
  }
}

TEST(SharedShapes, GiveWhatTheStatementsAsWrittenGive) {
  TempDatabase tiny(test::kTinyErp);
  expectSameBothWays(tiny.path(), {
      "select cVenCode,bVenTax,iCredit,dEndDate from Vendor where cVenCode<>'V009' and cMemo='it''s'",
      "select cVenCode from Vendor where cVenCode in ('v001','V003','none') and cVenPostCode <> '100080 '",
      "select cVenCode from Vendor where iCredit = '30' or iCredit > '100' or '2025-06-01' < dEndDate",
      "select cVenCode, (select top 1 cDepName from Department where cDepCode = '02') as d, '' as blank, "
      "case when bVenTax=1 then 'Y' else 'N' end as t from Vendor where cVenCode='V002'",
      "select Vendor.cVenCode, cDepName from Vendor left join Department on Vendor.cVenDepart=Department.cDepCode "
      "and Department.cDepName='生产部' where Vendor.cVenCode<='V002'",
      "select cDepName from Department where cDepCode='1' + '2'",
      "select abs(case when cVenCode='V004' then -9223372036854775807-1 else 1 end) from Vendor where cVenCode>='V001'"});
}

// Recordset filters, as the checks set them on the rows of a look-up (an exact item code first).
std::shared_ptr<Recordset> items() {
  const auto date = [](const char* text) { double d = 0; parseDate(text, d); return Variant(Date{d}); };
  ResultSet r;
  r.columns = {"cInvCode", "cInvName", "iQuantity", "bService", "dSDate", "cNote", "cPrice"};
  r.rows = {{"A01", "Bolt M6", 10, false, date("2026-01-05"), Variant::null(), "12.5"},
            {"a02", "bolt m8", 2.5, true, date("2026-02-01 08:30:00"), "it's", "3"},
            {"B01", "螺母", -1, false, Variant::null(), "", "abc"},
            {"C10", "Washer", 0, true, date("2025-12-31"), "note", Variant::null()}};
  return std::make_shared<Recordset>(std::move(r));
}

std::string visible(Recordset& rs) {
  std::string out;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out += (out.empty() ? "" : ",") + toText(rs.field("cInvCode"));
  return out;
}

TEST(Filter, KeepsTheMatchingRows) {
  const struct { const char* filter; const char* codes; } cases[] = {
      {"cinvcode = 'a01'", "A01"}, {"[cInvCode]='A02'", "a02"}, {"cInvCode<>'a01'", "a02,B01,C10"},
      {"cInvCode='A01' OR cInvCode='C10' AND bService=True", "A01,C10"},  // AND binds closer
      {"(cInvCode='A01' OR cInvCode='B01') AND iQuantity<0", "B01"}, {"iQuantity>=2.5", "A01,a02"},
      {"iQuantity='10'", "A01"}, {"iQuantity<'abc'", ""}, {"cPrice>5", "A01"}, {"cInvCode>'B'", "B01,C10"},
      {"cNote='it''s'", "a02"}, {"cNote=''", "B01"}, {"cNote=Null", "A01"}, {"cNote<>'note'", "a02,B01"},
      {"bService='true'", "a02,C10"}, {"dSDate>=#2026-01-01#", "A01,a02"}, {"dSDate<'2026-01-05 00:00:01'", "A01,C10"},
  };
  for (const auto& c : cases) {
    auto rs = items();
    rs->setFilter(c.filter);
    EXPECT_EQ(visible(*rs), c.codes) << c.filter;
  }
}

TEST(Filter, AnEmptyFilterRemovesItAndABadOneLeavesTheRowsAsTheyWere) {
  auto rs = items();
  rs->moveLast();
  rs->put("Filter", Variant("iQuantity<=0"));  // late bound, as the checks set it
  EXPECT_EQ(rs->field("cInvCode"), Variant("B01")) << "the first visible row is current";
  EXPECT_EQ(toLong(rs->get("RecordCount")), 2);
  for (const char* bad : {"cInvCode", "cInvCode=='A01'", "cNope='A01'", "cInvCode='A01", "cInvCode='A01')",
                          "cInvCode='A01' AND", "cInvName LIKE 'bolt*'", "cNote>Null", "dSDate=#2026-13-01#", "iQuantity=1x"}) {
    EXPECT_EQ(test::errorNumber([&] { rs->setFilter(bad); }), err::Database) << bad;
    EXPECT_EQ(rs->recordCount(), 2) << "the previous filter stays after " << bad;
  }
  rs->setFilter("cInvCode='none'");
  EXPECT_TRUE(rs->bof() && rs->eof());
  rs->put("Filter", Variant(0));
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(rs->field("cInvCode"), Variant("A01"));
  rs->close();
  EXPECT_EQ(test::errorNumber([&] { rs->setFilter("cInvCode='A01'"); }), 3704);
}

}  // namespace
}  // namespace tallyward
