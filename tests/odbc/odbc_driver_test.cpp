// The ODBC driver on a real ODBC stack (unixODBC and the SQLite ODBC driver): where connection
// strings lead, the same answers as the embedded driver, text read whole, errors with the
// driver's message, and the guard that lets only reads through.
#include "platform/db/odbc_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "db/tiny_erp.h"
#include "odbc/odbc_stack.h"
#include "platform/db/sqlite_driver.h"
#include "platform/db/tsql_reads.h"
#include "support/temp_database.h"
#include "tallyward/database.h"

namespace tallyward::test {
namespace {

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return std::to_string(e.number()) + " " + e.description();
  }
  return "no error";
}

std::string withPath(std::string text, const std::string& path) {
  if (const size_t at = text.find("PATH"); at != std::string::npos) text.replace(at, 4, path);
  return text;
}

// ---- Where a connection string leads -------------------------------------------------------------

struct RouteCase {
  const char* name;
  const char* text;  // PATH stands for the database file
  const char* driver;  // "embedded", or the DBMS name an ODBC source reports
};

class Routes : public ::testing::TestWithParam<RouteCase> {};

TEST_P(Routes, ReachTheFileThroughTheirDriver) {
  TempDatabase file(kTinyErp);
  std::filesystem::copy_file(file.path(), dsnDatabase(), std::filesystem::copy_options::overwrite_existing);
  auto cnn = Connection::open(withPath(GetParam().text, file.path()));
  const auto* odbc = dynamic_cast<OdbcDriver*>(&cnn->driver());
  EXPECT_EQ(odbc ? odbc->dbmsName() : "embedded", GetParam().driver);
  EXPECT_EQ(cnn->execute("select top 1 cDepName from dbo.Department where cDepCode='02'")->field(0), Variant("生产部"));
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionStrings, Routes,
    ::testing::Values(RouteCase{"Path", "PATH", "embedded"},
                      RouteCase{"EmbeddedDriver", "Driver=SQLite;Database=PATH", "embedded"},
                      RouteCase{"OdbcDriver", "Driver=SQLite3;Database=PATH", "SQLite"},
                      RouteCase{"OdbcDriverBraced", "driver={SQLite3};database=PATH;", "SQLite"},
                      RouteCase{"DataSourceName", "DSN=tallyward_test", "SQLite"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Same answers as the embedded driver ---------------------------------------------------------

struct SameCase {
  const char* name;
  const char* sql;
};

class SameAnswers : public ::testing::TestWithParam<SameCase> {
 protected:
  static void SetUpTestSuite() {
    file_ = new TempDatabase(std::string(kTinyErp) +
                           "CREATE TABLE Memo (cCode TEXT, cText TEXT, bData BLOB);"
                           "INSERT INTO Memo VALUES ('long', printf('%.*c', 4500, 'x') || '齿轮' || "
                           "replace(printf('%.*c', 3000, 'x'), 'x', '华东精工'), x'00ff41'), ('empty', '', x'');");
  }
  static void TearDownTestSuite() { delete file_; }
  static TempDatabase* file_;
};
TempDatabase* SameAnswers::file_ = nullptr;

TEST_P(SameAnswers, ColumnsRowsAndValueTypesMatch) {
  auto embedded = Connection::open(file_->path())->execute(GetParam().sql);
  auto odbc = Connection::open("Driver=SQLite3;Database=" + file_->path())->execute(GetParam().sql);
  ASSERT_EQ(odbc->columns(), embedded->columns());
  ASSERT_EQ(odbc->recordCount(), embedded->recordCount());
  for (; !embedded->eof(); embedded->moveNext(), odbc->moveNext())
    for (size_t i = 0; i < embedded->fieldCount(); ++i)
      EXPECT_EQ(odbc->field(i), embedded->field(i)) << "column " << embedded->columns()[i];
}

INSTANTIATE_TEST_SUITE_P(
    Statements, SameAnswers,
    ::testing::Values(
        SameCase{"PlatformTypes", "select cVenCode,bVenTax,iCredit,fDiscount,dEndDate,cMemo from Vendor order by cVenCode"},
        SameCase{"ExpressionsAndSubSelects",
                 "select 1+1 as a, 7.5/3 as b, 'x' as c, t.b from (select bDepEnd as b from Department) as t"},
        SameCase{"NamesAsSqlServerReportsThem",
                 "SELECT vendor.cVenCode,vendor.cvenpostcode,vendor.cVenDepart as cDepCode,cDepName,count(*) FROM "
                 "Vendor left join department on vendor.cvendepart=department.cdepcode group by vendor.cVenCode"},
        SameCase{"SystemDatabaseAndTop",
                 "select top 1 dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id='001' order by iID desc"},
        SameCase{"CaseInsensitiveLookUp",
                 "SELECT cVenCode FROM Vendor WHERE (cVenAbbName='acme' OR cVenCode='acme') and (dEndDate IS NULL)"},
        SameCase{"RateWithDerivedTables",
                 "select ISNULL(t2.nflat,1) AS nflat From (SELECT cexch_name FROM ForeignCurrency Where "
                 "cexch_name='USD' Or cexch_Code='USD') as t1 Left Join (select cexch_name,nflat from exch WHERE "
                 "itype= '1' AND cdate='2026.01.05') as t2 on t1.cexch_name=t2.cexch_name"},
        SameCase{"LongChineseTextAndBytes", "select cCode, cText, bData from Memo"},
        SameCase{"NoRows", "select cVenCode from Vendor where cVenCode='none'"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Errors --------------------------------------------------------------------------------------

TEST(OdbcErrors, CarryTheDriversDiagnosticRecord) {
  TempDatabase file(kTinyErp);
  auto cnn = Connection::open("Driver=SQLite3;Database=" + file.path());
  const std::string broken = errorOf([&] { cnn->execute("select cVenCode from NoSuchTable"); });
  EXPECT_TRUE(broken.starts_with("3001 Statement refused by the database: [HY000] ")) << broken;
  EXPECT_NE(broken.find("no such table: NoSuchTable"), std::string::npos) << broken;
  // The connection goes on after a failed statement.
  EXPECT_EQ(cnn->execute("select count(*) from Vendor")->field(0), Variant(4));

  const std::string noDsn = errorOf([] { Connection::open("DSN=tallyward_none;UID=sa;PWD=s3cret"); });
  EXPECT_TRUE(noDsn.starts_with("3001 Cannot connect through ODBC (DSN=tallyward_none;UID=sa;PWD=***): [IM002] "))
      << noDsn;
  EXPECT_NE(noDsn.find("Data source name not found"), std::string::npos) << noDsn;
  EXPECT_EQ(noDsn.find("s3cret"), std::string::npos) << noDsn;

  const std::string missing = (std::filesystem::path(file.path()).parent_path() / "none.db").string();
  EXPECT_TRUE(errorOf([&] { Connection::open("Driver=SQLite3;Database=" + missing); }).starts_with("3001 "));
  EXPECT_FALSE(std::filesystem::exists(missing)) << "no database is created";
}

TEST(OdbcErrors, OnlyReadsAreSent) {
  TempDatabase file(kTinyErp);
  auto cnn = Connection::open("Driver=SQLite3;Database=" + file.path());
  for (const char* sql : {"delete from Vendor", "select 1; delete from Vendor", "select * into Copy from Vendor"})
    EXPECT_TRUE(errorOf([&] { cnn->execute(sql); }).starts_with("3001 Only reading statements are run")) << sql;
  EXPECT_EQ(cnn->execute("select count(*) from Vendor")->field(0), Variant(4));
}

// ---- The guard in front of a T-SQL server --------------------------------------------------------

struct GuardCase {
  const char* name;
  const char* sql;
  bool passes;
};

class ReadGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(ReadGuard, LetsOnlyOneReadingStatementThrough) {
  const std::string outcome = errorOf([] { tsql::requireRead(GetParam().sql); });
  EXPECT_EQ(outcome == "no error", GetParam().passes) << outcome;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ReadGuard,
    ::testing::Values(
        GuardCase{"Select", "SELECT cVenCode FROM Vendor WHERE cVenAbbName=N'华东' AND dEndDate IS NULL;", true},
        GuardCase{"WordsInLiteralsCommentsAndBrackets",
                  "select [Update], 'delete from x' as [set] from t -- drop table t\n/* exec x */", true},
        GuardCase{"Update", "update Vendor set cVenName='x'", false},
        GuardCase{"SecondStatementAfterSemicolon", "select 1; delete from Vendor", false},
        GuardCase{"SecondStatementWithoutSemicolon", "select 1 delete from Vendor", false},
        GuardCase{"SelectInto", "select * into Copy from Vendor", false},
        GuardCase{"Execute", "select 1 exec sp_who", false},
        GuardCase{"OtherServer", "select * from openquery(srv, 'select 1')", false},
        GuardCase{"SessionSetting", "set nocount on select 1", false},
        GuardCase{"Empty", " ; ", false},
        GuardCase{"UnterminatedLiteral", "select 'x", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tallyward::test
