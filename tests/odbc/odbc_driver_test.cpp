// The ODBC driver on a real stack: unixODBC with the SQLite ODBC driver registered as "SQLite3" in a
// temporary odbcinst.ini (none of the machine's own registrations) and a data source over a file.
#include "platform/db/odbc_driver.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <fstream>
#include "db/tiny_erp.h"
#include "platform/db/tsql_reads.h"
#include "support/temp_database.h"

namespace tallyward::test {
namespace {

constexpr const char* kMemo =
    "CREATE TABLE Memo (cCode TEXT, cText TEXT, bData BLOB); INSERT INTO Memo VALUES ('long', printf('%.*c', 4500, 'x') "
    "|| '齿轮' || replace(printf('%.*c', 3000, 'x'), 'x', '华东精工'), x'00ff41'), ('empty', '', x'');";

// The stack, and the file the data source tallyward_test names.
class OdbcStack : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<TempFolder>();
    std::ofstream(folder_->file("odbcinst.ini")) << "[SQLite3]\nDriver=" << TW_SQLITE_ODBC_DRIVER << "\n";
    std::ofstream(folder_->file("odbc.ini")) << "[tallyward_test]\nDriver=SQLite3\nDatabase=" << dsnFile() << "\nNoCreat=1\n";
    setenv("ODBCSYSINI", folder_->path().c_str(), 1);
    setenv("ODBCINI", folder_->file("odbc.ini").c_str(), 1);  // no user data sources from the home folder
  }
  static std::string dsnFile() { return folder_->file("dsn.db"); }
  static inline std::unique_ptr<TempFolder> folder_;
};
[[maybe_unused]] ::testing::Environment* const stack = ::testing::AddGlobalTestEnvironment(new OdbcStack);

TEST(Odbc, ConnectionStringsReachTheFileThroughTheirDriver) {
  TempDatabase file(kTinyErp);
  std::filesystem::copy_file(file.path(), OdbcStack::dsnFile(), std::filesystem::copy_options::overwrite_existing);
  const std::pair<std::string, const char*> cases[] = {
      {"Driver=SQLite;Database=" + file.path(), "embedded"}, {"Driver=SQLite3;Database=" + file.path(), "SQLite"},
      {"driver={SQLite3};database=" + file.path() + ";", "SQLite"}, {"DSN=tallyward_test", "SQLite"}};
  for (const auto& [text, driver] : cases) {
    auto cnn = Connection::open(text);
    const auto* odbc = dynamic_cast<OdbcDriver*>(&cnn->driver());
    EXPECT_EQ(odbc ? odbc->dbmsName() : "embedded", driver) << text;
    EXPECT_EQ(cnn->execute("select top 1 cDepName from dbo.Department where cDepCode='02'")->field(0), Variant("生产部"));
  }
}

TEST(Odbc, GivesTheColumnsRowsAndValueTypesOfTheEmbeddedDriver) {
  TempDatabase file(std::string(kTinyErp) + kMemo);
  for (const char* sql : {
           "select cVenCode,bVenTax,iCredit,fDiscount,dEndDate,cMemo from Vendor order by cVenCode",
           "select 1+1 as a, 7.5/3 as b, 'x' as c, t.b from (select bDepEnd as b from Department) as t",
           "SELECT vendor.cVenCode,vendor.cvenpostcode,vendor.cVenDepart as cDepCode,cDepName,count(*) FROM Vendor left "
           "join department on vendor.cvendepart=department.cdepcode group by vendor.cVenCode",
           "select top 1 dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id='001' order by iID desc",
           "select cCode, cText, bData from Memo", "select cVenCode from Vendor where cVenCode='none'"}) {
    const ResultSet embedded = Connection::open(file.path())->driver().query(sql);
    const ResultSet odbc = Connection::open("Driver=SQLite3;Database=" + file.path())->driver().query(sql);
    EXPECT_EQ(odbc.columns, embedded.columns) << sql;
    EXPECT_EQ(odbc.rows, embedded.rows) << sql;
  }
}

TEST(Odbc, ErrorsCarryTheDriversRecordAndOnlyReadsAreSent) {
  TempDatabase file(kTinyErp);
  auto cnn = Connection::open("Driver=SQLite3;Database=" + file.path());
  std::string why;
  EXPECT_EQ(errorNumber([&] { cnn->execute("select cVenCode from NoSuchTable"); }, &why), err::Database);
  EXPECT_EQ(why.rfind("Statement refused by the database: [HY000] ", 0), 0u) << why;
  EXPECT_NE(why.find("no such table: NoSuchTable"), std::string::npos) << why;
  for (const char* sql : {"delete from Vendor", "select 1; delete from Vendor", "select * into Copy from Vendor"}) {
    EXPECT_EQ(errorNumber([&] { cnn->execute(sql); }, &why), err::Database) << sql;
    EXPECT_EQ(why.rfind("Only reading statements are run", 0), 0u) << why;
  }
  EXPECT_EQ(cnn->execute("select count(*) from Vendor")->field(0), Variant(4)) << "the connection goes on, nothing deleted";
  EXPECT_EQ(errorNumber([] { Connection::open("DSN=tallyward_none;UID=sa;PWD=s3cret"); }, &why), err::Database);
  EXPECT_EQ(why.rfind("Cannot connect through ODBC (DSN=tallyward_none;UID=sa;PWD=***): [IM002] ", 0), 0u) << why;
  EXPECT_NE(why.find("Data source name not found"), std::string::npos) << why;
  const std::string missing = std::filesystem::path(file.path()).parent_path() / "none.db";
  EXPECT_EQ(errorNumber([&] { Connection::open("Driver=SQLite3;Database=" + missing); }), err::Database);
  EXPECT_FALSE(std::filesystem::exists(missing)) << "no database is created";
}

// In front of a T-SQL server, only one reading statement gets through.
TEST(Odbc, TheReadGuardLetsOnlyOneReadingStatementThrough) {
  const std::pair<const char*, bool> cases[] = {
      {"SELECT cVenCode FROM Vendor WHERE cVenAbbName=N'华东' AND dEndDate IS NULL;", true},
      {"select [Update], 'delete from x' as [set] from t -- drop table t\n/* exec x */", true},
      {"update Vendor set cVenName='x'", false}, {"select 1 delete from Vendor", false}, {"select 1 exec sp_who", false},
      {"select * from openquery(srv, 'select 1')", false}, {"set nocount on select 1", false}, {" ; ", false},
      {"select 'x", false}};
  for (const auto& c : cases) EXPECT_EQ(errorNumber([&] { tsql::requireRead(c.first); }) == 0, c.second) << c.first;
}

}  // namespace
}  // namespace tallyward::test
