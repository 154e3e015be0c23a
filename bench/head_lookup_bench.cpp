// The vendor of an order head typed by its code, on a generated company of 100,000 vendors: the
// whole field-entry check (the head parsed, the vendor looked up, the reply loaded into the head)
// beside the vendor statement the check sends, prepared once on SQLite's own API as the driver
// runs it (translated and rewritten) and then only stepped, read and reset. The ratio of the two
// is the price of the check around its statement.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "erp_generator.h"
#include "platform/db/joined_or_rewrite.h"
#include "ratio_summary.h"
#include "raw_sqlite.h"
#include "tallyward/classes.h"
#include "tallyward/host.h"

namespace tallyward::bench {
namespace {

constexpr int kVendors = 100'000;
constexpr int kVendor = 4242;

const TempDatabase& company() {
  static const TempDatabase db("tw_head_lookup_bench");
  static const bool filled = [] {
    ErpShape shape;
    shape.items = 2 * kVendors;  // the generator needs items for each vendor
    shape.vendors = kVendors;
    shape.orders = 100;
    shape.linesPerOrder = 1;
    generateErp(db.path(), shape);
    return true;
  }();
  (void)filled;
  return db;
}

std::string headTyping(int vendor) {
  return "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data><z:row cvenabbname='" +
         vendorCode(vendor) + "'/></rs:data></xml>";
}

struct Check {
  Check() : host(std::make_shared<StandInHost>()) {
    hpo.m_Cnn = Connection::open(company().path());
    hpo.clsInfor = defaultSession();
  }
  ScopedHostFactory host;
  ClsS_VerifyHPO hpo;
};

void vendorByCode(benchmark::State& state) {
  Check check;
  const std::string text = headTyping(kVendor);
  for (auto _ : state) {
    auto head = Document::parse(text);
    const std::string verdict = check.hpo.VerifyHead("cVenAbbName", *head);
    if (!verdict.empty() || head->replacements() != 1) state.SkipWithError("the vendor was not answered");
    benchmark::DoNotOptimize(head);
    check.hpo.m_Cnn->clearStatements();
  }
}

void rawVendorStatement(benchmark::State& state) {
  std::string written;
  {
    Check check;
    auto head = Document::parse(headTyping(kVendor));
    check.hpo.VerifyHead("cVenAbbName", *head);
    written = check.hpo.m_Cnn->statements().back();
  }
  sqlite3* db = nullptr;
  sqlite3_open_v2(company().path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  stepPrepared(state, db, sqlite::runnableOnSqlite(written, sqlite::columnsOf(db)));
  sqlite3_close(db);
}

}  // namespace
}  // namespace tallyward::bench

int main(int argc, char** argv) {
  using namespace tallyward::bench;
  benchmark::RegisterBenchmark("VendorHeadByCode", vendorByCode)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("RawVendorStatement", rawVendorStatement)->Unit(benchmark::kMicrosecond);
  return runWithSummary(argc, argv,
                        {{"vendor head look-up by code / raw statement, 100,000 vendors", "VendorHeadByCode",
                          "RawVendorStatement", 1.5}});
}
