// A vendor look-up through the ODBC driver beside the same look-up through the embedded driver,
// on the same generated company file of 10,000 vendors: the whole field-entry check of an order
// head's vendor (the reply loaded into the head), and the vendor statement alone on the
// connection. Through ODBC the statements go to the SQLite ODBC driver registered as "SQLite3"
// (scripts/setup.sh installs it), so the difference is the driver manager, the SQLite ODBC driver
// and the statement being translated and compiled again each time instead of kept compiled.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "erp_generator.h"
#include "tallyward/classes.h"
#include "tallyward/host.h"

namespace tallyward {
namespace {

constexpr int kVendors = 10'000;

const bench::TempDatabase& company() {
  static const bench::TempDatabase db("tw_odbc_lookup_bench");
  static const bool filled = [] {
    bench::ErpShape shape;
    shape.items = 2 * kVendors;  // the generator needs items for each vendor
    shape.vendors = kVendors;
    shape.orders = 100;
    shape.linesPerOrder = 1;
    bench::generateErp(db.path(), shape);
    return true;
  }();
  (void)filled;
  return db;
}

std::string connectionString(int64_t odbc) {
  return odbc ? "Driver=SQLite3;Database=" + company().path() : company().path();
}

std::string headTyping(int vendor) {
  return "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data><z:row cvenabbname='" +
         bench::numbered("供应商", vendor, 3) + "'/></rs:data></xml>";
}

// The check of a typed vendor abbreviation, reply and all; a different vendor each time.
void BM_VendorCheck(benchmark::State& state) {
  ScopedHostFactory host(std::make_shared<StandInHost>());
  ClsS_VerifyHPO hpo;
  hpo.m_Cnn = Connection::open(connectionString(state.range(0)));
  hpo.clsInfor = defaultSession();
  int vendor = 0;
  for (auto _ : state) {
    auto head = Document::parse(headTyping(vendor));
    const std::string verdict = hpo.VerifyHead("cVenAbbName", *head);
    if (!verdict.empty()) state.SkipWithError(verdict.c_str());
    benchmark::DoNotOptimize(head);
    vendor = (vendor + 7919) % kVendors;
  }
  state.SetLabel(state.range(0) ? "odbc" : "embedded");
}
BENCHMARK(BM_VendorCheck)->Arg(0)->Arg(1);

// The vendor statement as the check writes it, alone on the connection.
void BM_VendorStatement(benchmark::State& state) {
  auto cnn = Connection::open(connectionString(state.range(0)));
  std::string statement;
  {
    ClsS_VerifyHPO hpo;  // take the statement from the check itself
    ScopedHostFactory host(std::make_shared<StandInHost>());
    hpo.m_Cnn = cnn;
    hpo.clsInfor = defaultSession();
    auto head = Document::parse(headTyping(1));
    hpo.VerifyHead("cVenAbbName", *head);
    statement = cnn->statements().back();
  }
  for (auto _ : state) {
    auto rs = cnn->execute(statement);
    if (rs->recordCount() != 1) state.SkipWithError("the vendor was not found");
    benchmark::DoNotOptimize(rs);
  }
  state.SetLabel(state.range(0) ? "odbc" : "embedded");
}
BENCHMARK(BM_VendorStatement)->Arg(0)->Arg(1);

}  // namespace
}  // namespace tallyward

BENCHMARK_MAIN();
