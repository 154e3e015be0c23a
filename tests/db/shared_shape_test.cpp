// Statements that differ only in their compared literals share one compiled statement, with the
// literals bound: the same statements run both ways on real databases give the same column names,
// rows, value types and errors.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "db/tiny_erp.h"
#include "erp/reference_sql.h"
#include "platform/db/sql_text.h"
#include "platform/db/sqlite_driver.h"
#include "support/temp_database.h"
#include "tallyward/database.h"

namespace tallyward {
namespace {

using test::TempDatabase;

SqliteDriver& driverOf(Connection& c) { return dynamic_cast<SqliteDriver&>(c.driver()); }

// What a statement gave: its result, or its error.
struct Outcome {
  bool failed = false;
  int number = 0;
  std::string description;
  ResultSet result;
};

Outcome run(Connection& cnn, const std::string& sql) {
  Outcome o;
  try {
    o.result = cnn.driver().query(sql);
  } catch (const Error& e) {
    o.failed = true;
    o.number = e.number();
    o.description = e.description();
  }
  return o;
}

// Both connections on one file: one shares shapes, the other compiles every text as written.
class BothWays {
 public:
  explicit BothWays(const std::string& path)
      : shared(Connection::open(path)), asWritten(Connection::open(path)) {
    driverOf(*asWritten).shareShapes(false);
  }

  void expectSame(const std::string& sql) {
    const Outcome a = run(*shared, sql), b = run(*asWritten, sql);
    ASSERT_EQ(a.failed, b.failed) << sql << "\n" << a.description << b.description;
    EXPECT_EQ(a.number, b.number) << sql;
    EXPECT_EQ(a.description, b.description) << sql;
    EXPECT_EQ(a.result.columns, b.result.columns) << sql;
    ASSERT_EQ(a.result.rows.size(), b.result.rows.size()) << sql;
    for (size_t r = 0; r < a.result.rows.size(); ++r)
      for (size_t c = 0; c < a.result.rows[r].size(); ++c) {
        // Variant equality includes the type: a Long 30 is not a Double 30 nor a String "30".
        EXPECT_EQ(a.result.rows[r][c], b.result.rows[r][c])
            << sql << "\nrow " << r << " column " << a.result.columns[c];
      }
  }

  std::shared_ptr<Connection> shared, asWritten;
};

TEST(SharedShapes, GiveTheSameResultsAsTheStatementsAsWritten) {
  TempDatabase file(test::kTinyErp);
  BothWays both(file.path());
  EXPECT_TRUE(driverOf(*both.shared).sharesShapes());
  for (const char* sql : {
        "select cVenCode,bVenTax,iCredit,fDiscount,dEndDate,cMemo from Vendor where cVenCode<>'V009' order by cVenCode",
        "select cVenCode from Vendor where cMemo='it''s'",
        "select cVenCode from Vendor where cVenAbbName='acme' OR cVenCode='acme'",
        "select cVenCode from Vendor where cVenAbbName like '华北%'",
        "select cVenCode from Vendor where cVenCode in ('v001','V003','none') order by cVenCode",
        "select cVenCode from Vendor where cVenCode = ''",
        "select cVenCode from Vendor where cVenPostCode = '100080 '",
        // Text against a numeric column: the column's affinity applies to a value as to a literal.
        "select cVenCode from Vendor where iCredit = '30'",
        "select cVenCode from Vendor where iCredit > '100' order by cVenCode",
        "select cVenCode from Vendor where '2025-06-01' < dEndDate",
        "select cVenCode from Vendor where dEndDate >= '2025-01-01 00:00:00'",
        "select top 1 cVenCode, bVenTax from Vendor where cVenCode > 'V001' order by cVenCode desc",
        "select cVenCode, (select top 1 cDepName from Department where cDepCode = '02') as d, '' as blank, "
        "case when bVenTax=1 then 'Y' else 'N' end as t from Vendor where cVenCode='V002'",
        "select Vendor.cVenCode, cDepName from Vendor left join Department on Vendor.cVenDepart=Department.cDepCode "
        "and Department.cDepName='生产部' where Vendor.cVenCode<='V002' order by Vendor.cVenCode",
        "select cDepName from Department where cDepCode in (select cVenDepart from Vendor where cVenAbbName='ACME')",
        "select t.b from (select bDepEnd as b from Department where cDepCode='9') as t",
        "select bVenTax, count(*) as n from Vendor where cVenCode<>'x' group by bVenTax having count(*) >= '1' "
        "order by case when bVenTax='1' then 0 else 1 end",
        "select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '001' and iyear = 2026 order by iid",
        "select t1.cexch_name,t1.cexch_code,ISNULL(t2.nflat,1) AS nflat From (SELECT cexch_name,cexch_code FROM "
        "ForeignCurrency Where cexch_name='usd' Or cexch_Code='usd') as t1 Left Join (select cexch_name,nflat from "
        "exch WHERE itype= '1' AND cdate='2026.01.05') as t2 on t1.cexch_name=t2.cexch_name",
        // Refusals and failures read the same: the dialect's, SQLite's, and one while rows are read.
        "select x from NoSuchTable where a='1'",
        "select cDepName from Department where cDepCode='1' + '2'",
        "select cDepName from Department where cDepCode=N'1'",
        "select cDepName from Department where cDepCode='1'; select 1",
        "select cVenCode, abs(case when cVenCode='V004' then -9223372036854775807-1 else 1 end) from Vendor "
        "where cVenCode>='V001'"})
    both.expectSame(sql);
}

class Sharing : public ::testing::Test {
 protected:
  TempDatabase file{test::kTinyErp};
  std::shared_ptr<Connection> cnn = file.connect();
  SqliteDriver& driver = driverOf(*cnn);
};

TEST_F(Sharing, LookUpsOfOtherValuesReuseTheStatementWithTheirOwnValues) {
  const auto lookUp = [&](const std::string& code) {
    return cnn->execute("select cVenAbbName from Vendor where cVenCode='" + escapeSql(code) + "'");
  };
  EXPECT_EQ(lookUp("V001")->field(0), Variant("ACME"));
  EXPECT_EQ(lookUp("v002")->field(0), Variant("华北机电"));
  EXPECT_EQ(lookUp("x' OR '1'='1")->recordCount(), 0) << "typed text stays a value";
  EXPECT_EQ(lookUp("V001")->field(0), Variant("ACME"));
  EXPECT_EQ(driver.preparedCount(), 1u);
  EXPECT_EQ(driver.cachedCount(), 1u);
  EXPECT_EQ(cnn->statements().back(), "select cVenAbbName from Vendor where cVenCode='V001'")
      << "recorded as written";
}

TEST_F(Sharing, AStatementThatFailsRunsAsWrittenAndFailsTheSameWayAgain) {
  std::string first, second;
  for (std::string* why : {&first, &second}) {
    try {
      cnn->execute("select x from NoSuchTable where a='1'");
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::Database);
      *why = e.description();
    }
  }
  EXPECT_EQ(first, second);
  EXPECT_NE(first.find("from NoSuchTable where a='1')"), std::string::npos)
      << "the statement is named with its literal, not a parameter: " << first;
  EXPECT_EQ(driver.preparedCount(), 0u);
}

TEST_F(Sharing, SwitchedOffEveryTextIsCompiled) {
  driver.shareShapes(false);
  cnn->execute("select cVenAbbName from Vendor where cVenCode='V001'");
  cnn->execute("select cVenAbbName from Vendor where cVenCode='V002'");
  EXPECT_EQ(driver.preparedCount(), 2u);
}

// ---- The item look-up of an order line on the demo company -------------------------------------

class ItemLookUp : public ::testing::Test {
 protected:
  TempDatabase file{TempDatabase::DemoCompany};

  static std::string statement(Connection& cnn, const std::string& typed) {
    const std::string t = escapeSql(typed);
    return BuildReferenceSql({.voucher = VoucherKind::Order, .list = ReferenceKind::Inventory, .cnn = &cnn, .venCode = "V001", .unitMode = "1", .invCode = typed}) +
           " WHERE (cInvName='" + t + "' OR Inventory.cInvCode='" + t + "' OR cInvAddCode='" + t +
           "' OR cVenInvCode='" + t + "')  AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL  "
           "AND bInvEntrust=0 ";
  }
};

TEST_F(ItemLookUp, EveryWayOfTypingAnItemGivesTheSameAnswerBothWays) {
  BothWays both(file.path());
  // By code, by name, by additional code, by the vendor's own code (found through the condition
  // that the driver adds for the left-joined table, which repeats the typed text), and misses.
  for (const std::string typed : {"P1001", "钢板", "GB-Q235-6", "HD-GB06", "hd-xt-100", "KS-DG-100", "P1001 ",
                                  "none", "O'Neil", ""}) {
    const std::string sql = statement(*both.asWritten, typed);
    both.expectSame(sql);
  }
  const ResultSet byVendorCode = both.shared->driver().query(statement(*both.shared, "HD-GB06"));
  ASSERT_EQ(byVendorCode.rows.size(), 1u);
  EXPECT_EQ(byVendorCode.rows[0][0], Variant("P1001"));
}

TEST_F(ItemLookUp, OneCompiledStatementServesEveryItem) {
  auto cnn = Connection::open(file.path());
  SqliteDriver& driver = driverOf(*cnn);
  cnn->execute(statement(*cnn, "P1001"));
  const size_t prepared = driver.preparedCount();
  for (const std::string typed : {"P1002", "W2001", "HD-CZ-40", "S9001"}) {
    auto rs = cnn->execute(statement(*cnn, typed));
    EXPECT_EQ(rs->recordCount(), typed == "S9001" ? 0 : 1) << typed;  // a service is not purchased here
  }
  EXPECT_EQ(driver.preparedCount(), prepared);
}

// ---- The record of sent statements ------------------------------------------------------------------

TEST_F(Sharing, TheRecordKeepsTheLatestStatementsOnly) {
  constexpr size_t kSent = Connection::kStatementLimit + Connection::kStatementLimit / 10 + 7;
  for (size_t i = 0; i < kSent; ++i)
    cnn->execute("select cDepName from Department where cDepCode='" + std::to_string(i) + "'");
  const auto& sent = cnn->statements();
  EXPECT_LE(sent.size(), Connection::kStatementLimit);
  EXPECT_GE(sent.size(), Connection::kStatementLimit - Connection::kStatementLimit / 10);
  // The latest, in order, up to the last one sent.
  for (size_t k = 0; k < sent.size(); ++k)
    ASSERT_EQ(sent[k], "select cDepName from Department where cDepCode='" +
                           std::to_string(kSent - sent.size() + k) + "'")
        << k;
  cnn->clearStatements();
  cnn->execute("select 1");
  EXPECT_EQ(cnn->statements(), std::vector<std::string>{"select 1"});
}

}  // namespace
}  // namespace tallyward
