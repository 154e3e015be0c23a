// A large generated ERP company for the database benchmarks: items with their units, vendors and
// the vendors' own codes for the items, and purchase orders whose lines carry the latest prices.
// The file is created with the library's schema and then filled through SQLite's own API in one
// transaction, which takes seconds rather than the minutes that statement-by-statement inserts
// through the driver would.
//
// Every value is a function of the row number, so a benchmark knows without asking the database
// which codes exist, how an item may be typed, and which look-ups must find it.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tallyward/erp_database.h"

namespace tallyward::bench {

struct ErpShape {
  int items = 100'000;
  int vendors = 200;
  int orders = 100'000;
  int linesPerOrder = 10;
};

inline std::string numbered(std::string_view prefix, int n, int width) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%0*d", width, n);
  return std::string(prefix) + digits;
}

// How an item can be typed on an order line.
inline std::string itemCode(int i) { return numbered("P", i, 6); }
inline std::string itemName(int i) { return numbered("零件-", i, 6); }
inline std::string itemAddCode(int i) { return numbered("A", i, 6); }
inline std::string vendorCode(int v) { return numbered("V", v, 3); }
inline std::string vendorItemCode(int v, int i) { return vendorCode(v) + numbered("-", i, 6); }

// Every tenth item cannot be entered on an order line: it is stopped, a service, a discount or
// not purchasable, in turn.
inline bool orderable(int i) { return i % 10 != 9; }

// The unit group (and so the unit mode of a look-up) of an item: 0 a single unit, 1 a fixed rate
// with a purchase unit, 2 a floating rate.
inline int unitGroupType(int i) { return i % 3; }

// Each item is supplied by two vendors, who have their own codes for it; the first one is the
// vendor on whose purchase orders the item appears.
inline int mainVendor(int i, const ErpShape& s) { return i % s.vendors; }
inline int secondVendor(int i, const ErpShape& s) {
  const int v = (i * 7 + 3) % s.vendors;
  return v == mainVendor(i, s) ? (v + 1) % s.vendors : v;
}

// Deterministic numbers for quantities, prices and the choice of items on orders.
class Sequence {
 public:
  explicit Sequence(uint64_t seed) : x_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t next() {
    x_ ^= x_ << 13;
    x_ ^= x_ >> 7;
    x_ ^= x_ << 17;
    return x_;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

 private:
  uint64_t x_;
};

// A database file in the temporary folder, removed when the object goes.
class TempDatabase {
 public:
  explicit TempDatabase(std::string_view stem)
      : path_((std::filesystem::temp_directory_path() /
               (std::string(stem) + "_" + std::to_string(::getpid()) + ".db"))
                  .string()) {
    std::filesystem::remove(path_);
  }
  ~TempDatabase() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

namespace detail {

[[noreturn]] inline void fail(sqlite3* db, std::string_view what) {
  throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

inline void exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(db, sql);
}

// One INSERT prepared once and run for every row: bind the values in column order, then add().
class Inserter {
 public:
  Inserter(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) fail(db, sql);
  }
  ~Inserter() { sqlite3_finalize(stmt_); }
  Inserter(const Inserter&) = delete;
  Inserter& operator=(const Inserter&) = delete;

  Inserter& text(std::string_view v) {
    sqlite3_bind_text(stmt_, ++column_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Inserter& integer(int64_t v) {
    sqlite3_bind_int64(stmt_, ++column_, v);
    return *this;
  }
  Inserter& real(double v) {
    sqlite3_bind_double(stmt_, ++column_, v);
    return *this;
  }
  Inserter& null() {
    sqlite3_bind_null(stmt_, ++column_);
    return *this;
  }
  void add() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) fail(db_, sqlite3_sql(stmt_));
    sqlite3_reset(stmt_);
    column_ = 0;
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  int column_ = 0;
};

struct Connection {
  sqlite3* db = nullptr;
  ~Connection() { sqlite3_close(db); }
};

}  // namespace detail

// The settings that make an item look-up carry the latest purchase-order prices of the item from
// the order's vendor: latest prices, taken from orders, per vendor.
inline void addLatestPriceSettings(sqlite3* db) {
  detail::exec(db,
               "INSERT INTO accinformation (cSysID, cName, cCaption, cValue) VALUES "
               "('PU', 'cOtherCostEditMode', '其他成本录入方式', '最新价格'),"
               "('PU', 'cCostSource', '成本来源', '订单'),"
               "('pu', 'bAccordVen', '按供应商取价', 'True')");
}

// Creates the database at `path` (which must not exist) and fills it. Throws on any failure.
inline void generateErp(const std::string& path, const ErpShape& s) {
  createErpDatabase(path, /*withSample=*/false, /*force=*/false);
  detail::Connection c;
  if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    detail::fail(c.db, "open " + path);
  sqlite3* db = c.db;
  // A throw-away file: no journal, no syncs, and room to keep the indexes being built in memory.
  detail::exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -400000");
  detail::exec(db, "BEGIN");

  addLatestPriceSettings(db);

  {
    detail::Inserter group(db, "INSERT INTO ComputationGroup (cGroupCode, cGroupName, iGroupType) VALUES (?,?,?)");
    group.text("G0").text("单计量").integer(0).add();
    group.text("G1").text("固定换算").integer(1).add();
    group.text("G2").text("浮动换算").integer(2).add();
    detail::Inserter unit(db,
                          "INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, "
                          "bMainUnit, iNumber) VALUES (?,?,?,?,?,?)");
    unit.text("U0").text("个").text("G0").real(1).integer(1).integer(1).add();
    unit.text("U1").text("件").text("G1").real(1).integer(1).integer(1).add();
    unit.text("U1B").text("箱").text("G1").real(12).integer(0).integer(2).add();
    unit.text("U2").text("千克").text("G2").real(1).integer(1).integer(1).add();
    unit.text("U2B").text("袋").text("G2").real(25).integer(0).integer(2).add();
  }

  {
    detail::Inserter vendor(db, "INSERT INTO Vendor (cVenCode, cVenName, cVenAbbName) VALUES (?,?,?)");
    for (int v = 0; v < s.vendors; ++v)
      vendor.text(vendorCode(v)).text(numbered("供应商有限公司", v, 3)).text(numbered("供应商", v, 3)).add();
  }

  {
    static constexpr const char* kMainUnit[] = {"U0", "U1", "U2"};
    static constexpr const char* kPurchaseUnit[] = {"U0", "U1B", "U2"};
    detail::Inserter item(db,
                          "INSERT INTO Inventory (cInvCode, cInvAddCode, cInvName, cInvStd, cInvCCode, "
                          "cGroupCode, iGroupType, cComUnitCode, cPUComUnitCode, iTaxRate, bPurchase, "
                          "bService, bInvType, cInvDefine1, cInvDefine2, dSDate, dEDate) "
                          "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    detail::Inserter venandinv(db,
                               "INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode, cVenInvName) "
                               "VALUES (?,?,?,?)");
    for (int i = 0; i < s.items; ++i) {
      const int g = unitGroupType(i);
      const int refusal = orderable(i) ? -1 : (i / 10) % 4;  // stopped, service, discount, not purchased
      item.text(itemCode(i))
          .text(itemAddCode(i))
          .text(itemName(i))
          .text(numbered("M", i % 500, 4))
          .text(numbered("C", i % 40, 2))
          .text(numbered("G", g, 1))
          .integer(g)
          .text(kMainUnit[g])
          .text(kPurchaseUnit[g])
          .real(i % 4 == 0 ? 17 : 13)
          .integer(refusal == 3 ? 0 : 1)
          .integer(refusal == 1 ? 1 : 0)
          .integer(refusal == 2 ? 1 : 0)
          .text(numbered("D", i % 97, 2))
          .null()
          .text("2020-01-01 00:00:00");
      if (refusal == 0)
        item.text("2024-06-30 00:00:00");
      else
        item.null();
      item.add();
      for (int v : {mainVendor(i, s), secondVendor(i, s)})
        venandinv.text(itemCode(i)).text(vendorCode(v)).text(vendorItemCode(v, i)).text(itemName(i)).add();
    }
  }

  {
    detail::Inserter head(db,
                          "INSERT INTO PO_Pomain (POID, cPOID, dPODate, cVenCode, cexch_name, nflat, iTaxRate, "
                          "cMaker, cVerifier) VALUES (?,?,?,?,?,?,?,?,?)");
    detail::Inserter line(db,
                          "INSERT INTO PO_Podetails (ID, POID, cInvCode, iQuantity, iUnitPrice, iTaxPrice, "
                          "iPerTaxRate, iMoney, iTax, iSum, dArriveDate) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
    Sequence seq(42);
    const int perVendor = s.items / s.vendors;  // items whose main vendor is a given one
    int64_t lineId = 0;
    for (int o = 1; o <= s.orders; ++o) {
      const int v = o % s.vendors;
      char date[32];
      std::snprintf(date, sizeof date, "20%02d-%02d-%02d 00:00:00", 20 + o * 6 / s.orders, 1 + o % 12,
                    1 + o % 28);
      head.integer(o).text(numbered("PO", o, 7)).text(date).text(vendorCode(v)).text("人民币").real(1).real(13)
          .text("demo").text("demo").add();
      for (int l = 0; l < s.linesPerOrder; ++l) {
        const int i = v + s.vendors * seq.below(perVendor);
        const double quantity = 1 + seq.below(500);
        const double price = 1 + (i % 997) * 0.25 + seq.below(100) * 0.01;
        const double money = quantity * price;
        line.integer(++lineId).integer(o).text(itemCode(i)).real(quantity).real(price).real(price * 1.13)
            .real(13).real(money).real(money * 0.13).real(money * 1.13).text(date).add();
      }
    }
  }

  detail::exec(db, "COMMIT");
}

}  // namespace tallyward::bench
