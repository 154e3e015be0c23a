// The input formats of the fuzz targets, shared by the targets and by fuzz_seeds, which writes
// seed inputs in these formats from the files of examples/.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "tallyward/variant.h"

namespace tallyward::fuzz {

// ---- A whole pass: [class] [call] [key] [row], then the voucher document's text ------------------
//   class  byte % 4: ClsS_VerifyFPO, ClsS_VerifyBillF, ClsS_VerifyArriveF, ClsS_VerifyApplyF
//   call   bit 0: VerifyBody (else VerifyHead); bit 1: BS (else CS); bit 2: the class's Boolean
//          switch on; bits 3-4: sBillType of the invoice; bits 5-7: m_UseMode beyond CS and BS
//   key    byte % kWholeKeys.size()
//   row    byte % kRows: R as the caller passes it
inline constexpr std::array<std::string_view, 4> kWholeClasses = {
    "ClsS_VerifyFPO", "ClsS_VerifyBillF", "ClsS_VerifyArriveF", "ClsS_VerifyApplyF"};

inline constexpr std::array<std::string_view, 48> kWholeKeys = {
    "all", "ALL", "", "xyz", "cpoid", "nflat", "ibargain", "itaxrate", "dpodate", "cbustype", "iquantity",
    "iinvexchrate", "cunitid", "inum", "iunitprice", "inatunitprice", "itaxprice", "imoney", "inatmoney",
    "isum", "inatsum", "darrivedate", "ipertaxrate", "itax", "inattax", "citemcode", "cinvcode", "CInvCode",
    "cvenabbname", "cexchrate", "ipbvtaxrate", "dpbvdate", "dvoudate", "ioricost", "icost", "iorimoney",
    "iorisum", "ioritax", "iexchrate", "ioritaxrate", "ddate", "fquantity", "funitprice", "ftaxprice",
    "fmoney", "dpdate", "dvdate", "citem_class"};

inline constexpr std::array<std::string_view, 4> kBillTypes = {"", "wwpurbill", "wwypurbill", "other"};

inline constexpr size_t kRows = 12;
inline Variant rowArgument(uint8_t byte) {
  switch (byte % kRows) {
    case 0: return Variant::missing();
    case 1: return Variant(0);
    case 2: return Variant(1);
    case 3: return Variant(7);
    case 4: return Variant(-1);
    case 5: return Variant(2147483647);
    case 6: return Variant(4294967299L);
    case 7: return Variant(std::numeric_limits<double>::quiet_NaN());
    case 8: return Variant("3");
    case 9: return Variant("abc");
    case 10: return Variant(2.5);
    default: return Variant::null();
  }
}

inline constexpr size_t kWholeHeader = 4;

// ---- A field-entry check: [class] [call] [key], then the typed value ------------------------------
//   class  byte % 4: ClsS_VerifyHPO, ClsS_VerifyBillH, ClsS_VerifyArriveH, ClsS_VerifyApplyH
//   call   bits 0-1: VerifyHead, VerifyBody, VerifyBody without a head, bVerifyPoCode;
//          bit 2: BS; bit 3: m_bPositive; bit 4: sBillType wwpurbill; bit 5: every right enforced
//   key    byte < kEntryKeys.size(): that key, and the rest is the value; otherwise the rest is
//          the key, a line feed and the value
// The value goes into the field the key names, in the demo company's order head and line (a key
// that names no field there adds it, so that the other classes' fields are typed into too).
inline constexpr std::array<std::string_view, 4> kEntryClasses = {
    "ClsS_VerifyHPO", "ClsS_VerifyBillH", "ClsS_VerifyArriveH", "ClsS_VerifyApplyH"};

inline constexpr std::array<std::string_view, 40> kEntryKeys = {
    "cvenabbname", "cvencode", "cdepname", "cpayname", "cptname", "cpersonname", "cscname",
    "cexch_name", "dpodate", "nflat", "cinvcode", "cinva_unit", "citemcode", "citem_class",
    "iquantity", "itax", "cfree1", "cfree3", "cfree10", "all", "ALL", "cwhname", "cbusname",
    "dpbvdate", "ddate", "cexchrate", "ipertaxrate", "imoney", "cvenabbname_1", "cinvname", "ccode",
    "xyz", "ioritaxprice", "ipbvquantity", "itaxrate", "iorimoney", "cpbvbilltype", "dpdate", "dvdate",
    "fquantity"};

inline constexpr size_t kEntryHeader = 3;

// The demo order the field-entry target types into (examples/hpo_head_order.xml and
// examples/hpo_body_item.xml).
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kDemoHead = {{
    {"cpoid", "WW2603001"}, {"cexch_name", "人民币"}, {"nflat", "1"}, {"dpodate", "2026-03-02T00:00:00"},
    {"cvencode", "V001"}, {"cvenabbname", "华东精工"}, {"cdepname", "外协部"}, {"itaxrate", "13"},
    {"cbustype", "普通采购"}}};
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kDemoLine = {{
    {"editprop", "A"}, {"cinvcode", "P1001"}, {"iquantity", "1200"}, {"iappids", "0"}, {"citemcode", ""},
    {"citem_class", ""}, {"ipertaxrate", "13"}}};

}  // namespace tallyward::fuzz
