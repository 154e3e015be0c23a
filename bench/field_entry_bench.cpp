// A single-field check of an order line's item, end to end (the body document parsed, the check
// run on the database, the reply loaded into the document), on a generated company of 100,000
// items, beside the bare cost of the same item statement prepared once on SQLite's own API and
// then only reset, stepped and read. The ratio of the two is the price of the check around its
// main statement: the probes it asks, the translation, the recordsets and the reply.
//
// For scale, the item statement is also run as the component writes it without the companion
// conditions the driver adds, which makes SQLite scan the items.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "erp/reference_sql.h"
#include "platform/db/sql_text.h"
#include "platform/db/joined_or_rewrite.h"
#include "platform/db/tsql_dialect.h"
#include "ratio_summary.h"
#include "raw_sqlite.h"
#include "tallyward/classes.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"

namespace tallyward {
namespace {

constexpr int kItems = 100'000;
constexpr int kVendorCodes = 5'000;    // items that vendor V001 knows by a code of its own
constexpr int kOrderLines = 20'000;    // purchase-order lines: the latest prices
constexpr const char* kItem = "I004242";

void exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string why = message ? message : "";
    sqlite3_free(message);
    throw std::runtime_error("generating the company: " + why);
  }
}

// The company: settings that take latest prices per vendor from purchase orders, units, items,
// vendor codes, purchase orders and a price list for the price service.
class Company {
 public:
  Company() {
    path_ = (std::filesystem::temp_directory_path() /
             ("tw_field_entry_bench_" + std::to_string(::getpid()) + ".db")).string();
    createErpDatabase(path_, false, true);
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + path_);
    exec(db, "PRAGMA synchronous = OFF; BEGIN");
    exec(db, R"(
      INSERT INTO accinformation (cSysID, cName, cValue) VALUES
        ('PU', 'cOtherCostEditMode', '最新价格'), ('PU', 'cCostSource', '订单'), ('PU', 'bAccordVen', 'True'),
        ('PU', 'iXchgRateStl', 'False'), ('PU', 'bControlTax', 'False'), ('ST', 'dGspStartDate', ''),
        ('SA', 'bZYXS', 'False');
      INSERT INTO Vendor (cVenCode, cVenAbbName) VALUES ('V001', '华东精工');
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1), ('0201', '个', '02', 1, 1), ('0202', '箱', '02', 10, 0);
      WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < )" + std::to_string(kItems) + R"()
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cInvStd, cGroupCode, iGroupType, cComUnitCode,
                             cPUComUnitCode, iTaxRate)
        SELECT printf('I%06d', i), printf('零件%d', i), printf('ADD-%d', i), 'M8', CASE i % 2 WHEN 0 THEN '01' ELSE '02' END,
               i % 2, CASE i % 2 WHEN 0 THEN '0101' ELSE '0201' END, CASE i % 2 WHEN 0 THEN NULL ELSE '0202' END, 13
        FROM n;
      WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < )" + std::to_string(kVendorCodes) + R"()
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) SELECT printf('I%06d', i * 20), 'V001', printf('HD-%d', i) FROM n;
      INSERT INTO PO_Pomain (POID, cPOID, cVenCode) VALUES (1, 'CG1', 'V001'), (2, 'CG2', 'V002');
      WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < )" + std::to_string(kOrderLines) + R"()
      INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate)
        SELECT i, 1 + i % 2, printf('I%06d', (i * 7919) % )" + std::to_string(kItems) + R"( + 1), 2 + i % 10, 2.26 + i % 10, 13 FROM n;
      INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate) VALUES (100000, 1, 'I004242', 4.2, 4.746, 13);
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'I004242', '人民币', 0, 4.1, 13);
      ANALYZE;
    )");
    exec(db, "COMMIT");
    sqlite3_close(db);
  }
  ~Company() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const Company& company() {
  static const Company c;
  return c;
}

const std::string kHead =
    "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
    "<z:row cvencode='V001' dpodate='2026-03-02T00:00:00' cexch_name='人民币' nflat='1' itaxrate='13' "
    "cbustype='普通采购'/></rs:data></xml>";

std::string bodyOf(std::string_view item) {
  return "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
         "<z:row editprop='A' cinvcode='" + std::string(item) + "' iquantity='30' iappids=''/></rs:data></xml>";
}

// The item statement the check sends for the item, as SQLite runs it: translated, with or without
// the companion conditions.
std::string itemStatement(sqlite3* db, const std::shared_ptr<Connection>& cnn, bool withCompanions) {
  const std::string t = escapeSql(kItem);
  const std::string written =
      BuildReferenceSql({.voucher = VoucherKind::Order, .list = ReferenceKind::Inventory, .cnn = cnn.get(), .venCode = "V001", .unitMode = "1", .invCode = kItem}) +
      " WHERE (cInvName='" + t + "' OR Inventory.cInvCode='" + t + "' OR cInvAddCode='" + t + "' OR cVenInvCode='" +
      t + "')  AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL  AND bInvEntrust=0 ";
  const std::string translated = sqlite::translate(written);
  return withCompanions ? sqlite::indexJoinedOr(translated, sqlite::columnsOf(db)) : translated;
}

class Check {
 public:
  Check() {
    hpo.m_Cnn = Connection::open(company().path());
    auto info = std::make_shared<SessionInformation>();
    info->set("OperaterCode", "demo");
    for (const char* s : {"bCheckInvAuth", "bQMStart"}) info->set(s, false);
    hpo.clsInfor = std::make_shared<SessionContext>(info);
    head = Document::parse(kHead);
  }
  ClsS_VerifyHPO hpo;
  std::shared_ptr<Document> head;
};

void BM_FieldEntryItem(benchmark::State& state) {
  Check check;
  const std::string text = bodyOf(kItem);
  for (auto _ : state) {
    std::shared_ptr<Document> body = Document::parse(text);
    const std::string verdict = check.hpo.VerifyBody("cinvcode", *body, check.head.get(), 1);
    if (!verdict.empty() || body->replacements() != 1) state.SkipWithError("the item was not answered");
    benchmark::DoNotOptimize(body);
  }
}
BENCHMARK(BM_FieldEntryItem)->Unit(benchmark::kMicrosecond);

// Another item on every call: each item statement is new text, compiled anew.
void BM_FieldEntryItemVaried(benchmark::State& state) {
  Check check;
  int i = 0;
  for (auto _ : state) {
    char item[16];
    std::snprintf(item, sizeof item, "I%06d", 1 + (i++ * 7) % kItems);
    std::shared_ptr<Document> body = Document::parse(bodyOf(item));
    const std::string verdict = check.hpo.VerifyBody("cinvcode", *body, check.head.get(), 1);
    if (!verdict.empty()) state.SkipWithError("an item was refused");
  }
}
BENCHMARK(BM_FieldEntryItemVaried)->Unit(benchmark::kMicrosecond);

void rawStatement(benchmark::State& state, bool withCompanions) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(company().path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  bench::stepPrepared(state, db, itemStatement(db, Connection::open(company().path()), withCompanions));
  sqlite3_close(db);
}

void BM_RawItemStatement(benchmark::State& state) { rawStatement(state, true); }
BENCHMARK(BM_RawItemStatement)->Unit(benchmark::kMicrosecond);

void BM_RawItemStatementAsWritten(benchmark::State& state) { rawStatement(state, false); }
BENCHMARK(BM_RawItemStatementAsWritten)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tallyward

int main(int argc, char** argv) {
  return tallyward::bench::runWithSummary(
      argc, argv, {{"item field entry / raw prepared statement", "BM_FieldEntryItem", "BM_RawItemStatement", 2.0}});
}
