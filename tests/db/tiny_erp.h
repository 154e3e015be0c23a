// A few of the ERP's tables, with the ERP's column names and values that test the driver's
// conversions: a bit held as text, whole numbers beyond 32 bits, a date that is no date.
#pragma once

namespace tallyward::test {

constexpr const char* kTinyErp = R"sql(
CREATE TABLE Department (cDepCode TEXT COLLATE NOCASE PRIMARY KEY, cDepName TEXT COLLATE NOCASE, bDepEnd BIT);
CREATE TABLE Vendor (
  cVenCode TEXT COLLATE NOCASE PRIMARY KEY, cVenAbbName TEXT COLLATE NOCASE, cVenPostCode TEXT COLLATE NOCASE,
  cVenDepart TEXT COLLATE NOCASE, cVenHeadCode TEXT COLLATE NOCASE, dEndDate DATETIME, bVenTax BIT,
  iCredit INTEGER, fDiscount REAL, cMemo TEXT COLLATE NOCASE);
CREATE TABLE ua_period (cacc_id TEXT COLLATE NOCASE, iyear INTEGER, iID INTEGER, dBegin DATETIME, dEnd DATETIME);
INSERT INTO Department VALUES ('01', '采购部', 1), ('02', '生产部', 1), ('9', '总部', 0);
INSERT INTO Vendor VALUES
  ('V001', 'ACME', '100080', '01', NULL, NULL, 1, 30, 0.5, NULL),
  ('V002', '华北机电', '200000', '02', 'V001', NULL, 0, 3000000000, 2, 'it''s'),
  ('V003', '停用厂', NULL, NULL, NULL, '2025-12-31 00:00:00', 'True', NULL, NULL, NULL),
  ('V004', 'Odd', NULL, NULL, NULL, 'not a date', NULL, -2147483648, NULL, NULL);
INSERT INTO ua_period VALUES
  ('001', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 23:59:59'),
  ('001', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 23:59:59');
)sql";

}  // namespace tallyward::test
