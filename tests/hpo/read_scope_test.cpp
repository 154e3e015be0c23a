// One read of the database per check: it spans the check's statements and ends with the call,
// also when the call fails.
#include "platform/db/sqlite_driver.h"
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class ReadScope : public EntryTest<ClsS_VerifyHPO> {
 protected:
  // Whether another connection can write now (it gives up at once when the file is locked).
  bool writerCommits() {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_busy_timeout(db, 0);
    const char* write = "BEGIN; INSERT INTO PurchaseType (cPTCode) VALUES ('x' || random()); COMMIT";
    const bool ok = sqlite3_exec(db, write, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
  }
};

TEST_F(ReadScope, TheDriversReadSpansItsStatementsAndNests) {
  Driver& driver = cnn->driver();
  driver.beginRead();
  driver.beginRead();
  cnn->execute("select cPTCode from PurchaseType");
  EXPECT_FALSE(writerCommits());
  driver.endRead();
  EXPECT_FALSE(writerCommits());
  driver.endRead();
  EXPECT_TRUE(writerCommits());
  driver.endRead();  // one end too many changes nothing
  EXPECT_TRUE(writerCommits());
}

TEST_F(ReadScope, ChecksLeaveNoReadOpen) {
  headRow = {{"cvenabbname", "无名"}, {"dpodate", "bad"}, {"cexch_name", "USD"}};
  verifyBody("all", {line({{"cinvcode", "A01"}})});
  EXPECT_TRUE(writerCommits());
  EXPECT_EQ(verifyHead("cvenabbname", {}), "供应商录入不正确或已经停用，请检查！");
  EXPECT_TRUE(writerCommits());
  EXPECT_THROW(verifyHead("cexch_name", {}), Error);  // the order date does not read
  EXPECT_TRUE(writerCommits());
}

}  // namespace
}  // namespace tallyward::test
