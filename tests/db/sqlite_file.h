// A small SQLite database file in a fresh temporary folder, written with the native API, for the
// tests of the driver. Its tables imitate a few of the ERP's, with the ERP's column names.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tallyward::test {

class SqliteFile {
 public:
  explicit SqliteFile(const std::string& sql = kTinyErp) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw_db_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    path_ = (folder_ / "erp.db").string();
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path_);
    char* message = nullptr;
    // A throw-away file: no need to wait for the disk.
    sqlite3_exec(db, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY", nullptr, nullptr, nullptr);
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    const std::string why = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot fill " + path_ + ": " + why);
  }
  ~SqliteFile() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  const std::string& path() const { return path_; }
  const std::filesystem::path& folder() const { return folder_; }

  static constexpr const char* kTinyErp = R"sql(
CREATE TABLE Department (cDepCode TEXT COLLATE NOCASE PRIMARY KEY, cDepName TEXT COLLATE NOCASE, bDepEnd BIT);
CREATE TABLE Vendor (
  cVenCode TEXT COLLATE NOCASE PRIMARY KEY, cVenAbbName TEXT COLLATE NOCASE, cVenPostCode TEXT COLLATE NOCASE,
  cVenDepart TEXT COLLATE NOCASE, cVenHeadCode TEXT COLLATE NOCASE, dEndDate DATETIME, bVenTax BIT,
  iCredit INTEGER, fDiscount REAL, cMemo TEXT COLLATE NOCASE);
CREATE INDEX ix_vendor_abbname ON Vendor (cVenAbbName);
CREATE TABLE ua_period (cacc_id TEXT COLLATE NOCASE, iyear INTEGER, iID INTEGER, dBegin DATETIME, dEnd DATETIME);
CREATE TABLE gl_mend (iperiod INTEGER, bflag_om BIT);
CREATE TABLE exch (cexch_name TEXT COLLATE NOCASE, itype INTEGER, cdate TEXT, nflat REAL);
CREATE TABLE ForeignCurrency (cexch_name TEXT COLLATE NOCASE PRIMARY KEY, cexch_code TEXT COLLATE NOCASE);
INSERT INTO Department VALUES ('01', '采购部', 1), ('02', '生产部', 1), ('9', '总部', 0);
INSERT INTO Vendor VALUES
  ('V001', 'ACME', '100080', '01', NULL, NULL, 1, 30, 0.5, NULL),
  ('V002', '华北机电', '200000', '02', 'V001', NULL, 0, 3000000000, 2, 'it''s'),
  ('V003', '停用厂', NULL, NULL, NULL, '2025-12-31 00:00:00', 'True', NULL, NULL, NULL),
  ('V004', 'Odd', NULL, NULL, NULL, 'not a date', NULL, -2147483648, NULL, NULL);
INSERT INTO ua_period VALUES
  ('001', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 23:59:59'),
  ('001', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 23:59:59');
INSERT INTO gl_mend VALUES (1, 1), (2, 0), (3, 0);
INSERT INTO ForeignCurrency VALUES ('人民币', 'RMB'), ('美元', 'USD');
INSERT INTO exch VALUES ('美元', 1, '2026.01.05', 7.1);
)sql";

 private:
  std::filesystem::path folder_;
  std::string path_;
};

}  // namespace tallyward::test
