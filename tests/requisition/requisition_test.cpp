// Requisitions: the whole-voucher check, and the field entry on a real ERP database (the four head
// look-ups; item filters and reply, vendor, projects, free items, rights, line dates); a case per line.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class ApplyHHead : public EntryTest<ClsS_VerifyApplyH> {
 protected:
  ApplyHHead() {
    headMasterData();
    sql(R"(
      INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES ('0002', '赵敏', NULL);
      INSERT INTO Vendor (cVenCode, cVenAbbName, dEndDate) VALUES
        ('V001', '华东精工', NULL), ('V007', 'O''Brien', NULL), ('V009', '东方五金', '2025-12-31 00:00:00');
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cInvStd, cInvCCode, cComUnitCode, iTaxRate,
                             cInvDefine1, bPurchase, bService, bInvType, bInvEntrust, dEDate, bfree3) VALUES
        ('A00', 'B02', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('A01', '螺栓', 'ADD1', 'M8', '01', '0101', 13, '宝钢', 1, 0, 0, 0, NULL, 1),
        ('B02', 'A01', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('E01', '代销油', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 1, NULL, 0),
        ('N01', '自制件', NULL, NULL, '02', '0101', 13, NULL, 0, 0, 0, 0, NULL, 0),
        ('X01', '旧轴承', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, '2025-06-30 00:00:00', 0);
      UPDATE Inventory SET bfree1 = 1, bfree2 = 1, bfree10 = 1 WHERE cInvCode = 'A01';
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('A01', 'V001', 'HD-88');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'INVENTORY');
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('20', '红', 'R'), ('21', '大', NULL), ('28', '70度', NULL), ('35', '甲', NULL);
    )");
  }
};

const char* const kDep = "部门录入不正确或是非末级，请检查！";
const Attributes kWrongHead{{"cdepname", "03"}, {"cpayname", "01"}, {"cptname", "x' OR '1'='1"}, {"cpersonname", "王磊"}};

const EntryCase kHeadCases[] = {
    {"DepartmentByName", "cDepName", {{"cdepname", "采购部"}}, {}, "", {{"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"PurchaseTypeByName", "cptname", {{"cptname", "生产采购"}}, {}, "", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}},
    {"SalesmanByName", "cPersonName", {{"cpersonname", "王磊"}}, {}, "",
     {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}, {"cDepName", "采购部"}}},
    {"SalesmanWithoutDepartment", "cpersonname", {{"cpersonname", "0002"}}, {}, "",
     {{"cPersonCode", "0002"}, {"cPersonName", "赵敏"}, {"cDepCode", ""}, {"cDepName", ""}}},
    {"WholePassBS", "all", kWrongHead, {}, std::string(kDep) + "\r采购类型录入不正确，请检查！\r", {}, -1, BS},
    {"WholePassCS", "All", kWrongHead, {}, kDep},
    {"WholePassFillsNothing", "all", {{"cdepname", ""}, {"cpayname", ""}, {"cptname", "01"}, {"cpersonname", "王磊"}}},
    {"DepartmentRightBS", "all", {{"cdepname", "采购部"}, {"cptname", "无"}}, {}, "对不起，您没有录入该部门的权限！\r采购类型录入不正确，请检查！\r", {}, -1, BS, 1,
     {"bCheckDepartAuth"}},
    {"SalesmanRightHeld", "cpersonname", {{"cpersonname", "王磊"}}, {}, "", {{"cPersonCode", "0001"}}, 4, CS, 1,
     {"bCheckPersonAuth"}, grant("Person", "0001")},
};

TEST_P(ApplyHHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Requisition, ApplyHHead, ::testing::ValuesIn(kHeadCases), entryName);

TEST_F(ApplyHHead, HeadRunTimeErrorsReachTheCaller) {
  sql("DROP TABLE PurchaseType");
  EXPECT_EQ(errorNumber([&] { verifyHead("cptname", {{"cptname", "01"}}); }), err::Database);
  info->set("bCheckDepartAuth", true);
  sql("DROP TABLE tw_data_right");
  EXPECT_EQ(errorNumber([&] { verifyHead("cdepname", {{"cdepname", "01"}}); }), err::Database);
  EXPECT_EQ(errorNumber([&] { obj.VerifyHead("cdepname", *voucher({})); }), err::ObjectNotSet);  // a head without a row
}

class ApplyHBody : public ApplyHHead {
 protected:
  ApplyHBody() { headRow = {{"ddate", "2026-03-02T00:00:00"}, {"cbustype", "普通采购"}}; }
};

// The reply of an item: its own columns, its sixteen defines (the first given), its tax rate.
Pairs itemReply(std::vector<const char*> columns, const char* define1 = "", const char* rate = "13") {
  const char* keys[] = {"cInvCode", "cVenInvCode", "cInvCCode", "cInvAddcode", "cInvName", "cInvStd", "cinvm_unit"};
  Pairs p;
  for (size_t i = 0; i < columns.size(); ++i) p.emplace_back(keys[i], columns[i]);
  for (int n = 1; n <= 16; ++n) p.emplace_back("cInvDefine" + std::to_string(n), n == 1 ? define1 : "");
  p.emplace_back("iPerTaxRate", rate);
  return p;
}
const Pairs kBolt = itemReply({"A01", "", "01", "ADD1", "螺栓", "M8", "千克"}, "宝钢");
const std::string kItem = "第[3]行存货录入不正确，请检查！";
const char* const kArriveEarly = "第[1]行建议订货日期必须大于等于请购单日期！";
const char* const kRequiredEarly = "第[1]行需求日期必须大于等于请购单日期！";
const char* const kArriveLate = "第[1]行建议订货日期不能大于需求日期！";
Attributes dated(const char* arrive, const char* required) { return {{"cinvcode", "A01"}, {"darrivedate", arrive}, {"drequirdate", required}}; }
const Attributes kGood{{"cinvcode", "A01"}, {"cfree1", "R"}, {"cfree2", "大"}, {"cfree3", "70度"}, {"cfree10", "甲"}};
const Attributes kNoClass{{"cinvcode", "A01"}, {"citem_class", "zz"}, {"citemcode", "RD1"}};

const EntryCase kLineCases[] = {
    {"ItemByExactCode", "cInvCode", {}, {line({{"cinvcode", "A01"}})}, "", kBolt, -1, CS, 3},
    {"ItemByCodeBeforeANameAlike", "cinvcode", {}, {line({{"cinvcode", "B02"}})}, "",
     itemReply({"B02", "", "01", "", "A01", "", "千克"}), -1, CS, 3},
    {"ItemByTheLineVendorsCode", "cinvcode", {}, {line({{"cinvcode", "HD-88"}, {"cvencode", "V001"}})}, "",
     itemReply({"A01", "HD-88", "01", "ADD1", "螺栓", "M8", "千克"}, "宝钢"), -1, CS, 3},
    {"ItemByAnotherVendorsCode", "cinvcode", {}, {line({{"cinvcode", "HD-88"}, {"cvencode", "V007"}})}, kItem, {}, -1, CS, 3},
    {"ItemNotPurchased", "cinvcode", {}, {line({{"cinvcode", "N01"}})}, kItem, {}, -1, CS, 3},
    {"ItemCleared", "cinvcode", {}, {line({{"cinvcode", ""}})}, "", itemReply({"", "", "", "", "", "", ""}, "", "")},
    {"ConsignmentItemOnAConsignmentRequisition", "cinvcode", {{"cbustype", "受托代销"}}, {line({{"cinvcode", "E01"}})}, "", {}, 24},
    {"ConsignmentItemOnAnOrdinaryRequisition", "cinvcode", {}, {line({{"cinvcode", "E01"}})}, kItem, {}, -1, CS, 3},
    // A class without a table keeps the table of an earlier line in a pass.
    {"ProjectTableOfAnEarlierLine", "all", {},
     {line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}), line(kNoClass)}, "第[2]行项目大类录入不正确，请检查！\r", {}, -1, BS},
    {"ProjectWithoutTable", "citemcode", {}, {line(kNoClass)}, "第[3]行项目录入不正确，请检查！", {}, -1, CS, 3},
    {"FreeItemListsBS", "all", {}, {line(kGood)}, "", {}, -1, BS},
    {"FreeItemListsSwappedBS", "all", {}, {line({{"cinvcode", "A01"}, {"cfree1", "大"}, {"cfree2", "红"}, {"cfree3", "甲"}, {"cfree10", "70度"}})},
     "第[1]行自由项1录入不正确，请检查！\r第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r" "第[1]行自由项10录入不正确，请检查！\r", {}, -1, BS},
    {"FreeItemWithoutTheSwitchBS", "all", {}, {line(with(kGood, {{"cfree4", "x"}}))}, "第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r", {}, -1, BS},
    {"ItemRightWithoutRowPart", "cinvcode", {}, {line({{"cinvcode", "A01"}})}, "对不起，您没有录入该存货的权限！", {}, -1, CS, 5, {"bCheckInvAuth"}},
    {"VendorRightNamingTheRow", "cvenabbname", {}, {line({{"cvenabbname", "华东精工"}})}, "对不起，您没有录入第[5]行供应商的权限！", {}, -1, CS, 5,
     {"bCheckVendorAuth"}},
    {"VendorRightNamingTheRowBS", "all", {}, {line({{"cinvcode", "?"}}, ""), line({{"cvenabbname", "华东精工"}})},
     "对不起，您没有录入第[2]行供应商的权限！\r", {}, -1, BS, 1, {"bCheckVendorAuth"}},
    // Line dates against the requisition date, in a whole pass only: in a browser-mode pass each
    // message without a carriage return; a client-mode pass stops at the first.
    {"DatesTimesCutOff", "all", {{"ddate", "2026-03-02T12:00:00"}}, {line(dated("2026-03-02T23:00:00", "2026-03-02T08:00:00"))},
     "", {}, -1, BS},
    {"AllThreeDates", "all", {}, {line(dated("2026-03-01", "2026-02-28"))},
     std::string(kArriveEarly) + kRequiredEarly + kArriveLate, {}, -1, BS},
    {"AllThreeDatesCS", "all", {}, {line(dated("2026-03-01", "2026-02-28"))}, kArriveEarly},
    {"UnreadableArrival", "all", {}, {line(dated("2026-02-30", "2026-03-05"))}, std::string(kArriveEarly) + kArriveLate, {}, -1, BS},
    {"DatesWhileTyping", "darrivedate", {}, {line(dated("2026-03-01", "2026-02-28"))}},
    // The rules of each changed line in order; unchanged and deleted lines are not looked at.
    {"WholePassInOrderBS", "all", {},
     {line({{"cinvcode", "?"}}, ""), line({{"cinvcode", "?"}, {"darrivedate", "2026-03-01"}, {"cvenabbname", "V009"}, {"citem_class", "zz"}, {"citemcode", "RD1"}}), line({{"cinvcode", "A01"}, {"citem_class", "97"}, {"citemcode", "RD1"}}, "D")},
     "第[2]行建议订货日期必须大于等于请购单日期！第[2]行存货录入不正确，请检查！\r第[2]行供应商录入不正确或已经停用，请检查！\r" "第[2]行项目录入不正确，请检查！\r第[2]行项目大类录入不正确，请检查！\r", {}, -1, BS},
};

TEST_P(ApplyHBody, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Requisition, ApplyHBody, ::testing::ValuesIn(kLineCases), entryName);

TEST_F(ApplyHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // Without a head the requisition date cannot be read, so the line date is refused; the item is
  // still looked up (without a business type, consignment items too).
  obj.m_UseMode = BS;
  doc = voucher({line({{"cinvcode", "E01"}, {"darrivedate", "2026-03-05"}})});
  EXPECT_EQ(obj.VerifyBody("all", *doc, nullptr, 0), kArriveEarly);
  // Without a connection nothing is found, and the failing step is recorded.
  obj.m_Cnn.reset();
  EXPECT_EQ(verifyBody("cinvcode", {line({{"cinvcode", "A01"}})}, 3), kItem);
  ASSERT_FALSE(obj.skippedSteps().empty());
  EXPECT_EQ(obj.skippedSteps().front().step, "running the look-up of cInvCode");
}

const Attributes kHead{{"ccode", "QG0001"}, {"ddate", "2008-05-01T00:00:00"}, {"cdepname", "采购部"},
                       {"ipertaxrate", "17"}, {"cbustype", "普通采购"}};
// A complete line whose tax matches its rate: 17 % of 50 is 8.5.
const Attributes kLine{{"cinvcode", "P1001"}, {"fquantity", "10"}, {"funitprice", "5"}, {"ftaxprice", "5.85"},
                       {"fmoney", "50"}, {"ipertaxrate", "17"}, {"itax", "8.5"}, {"binvtype", "False"}};

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
Attributes good(const Attributes& changes = {}, const std::string& editprop = "A") { return line(with(kLine, changes), editprop); }
// The line after an unchanged one (counted, not checked: its flag would fail the call).
Doc second(const Attributes& changes) { return B({good({{"cinvcode", ""}, {"binvtype", "yes"}}, ""), good(changes)}); }
// The line alone, left unchanged, for a single-field check with R = 3.
Doc three(const Attributes& changes) { return B({good(changes, "")}, 3); }
// The tax check of one line: amount, rate, tax, discount flag.
Doc tax(const char* money, const char* rate, const char* itax, const char* discount) {
  return B({good({{"fmoney", money}, {"ipertaxrate", rate}, {"itax", itax}, {"binvtype", discount}})}, 4);
}

const std::string kNoCode = "请购单号不能为空，请检查！", kNoDate = "请购单日期不能为空，请检查！";
const std::string kNoDepartment = "部门不能为空，请检查！", kBadDate = "请购单日期录入错误，请检查！";
const std::string kBadRate = "税率必须在 0 到 100 之间，请检查！", kBadBusType = "业务类型录入错误，请检查！";
const std::string kNoItem = "]行存货不能为空，请检查！", kNoQuantity = "]行数量不能为空，请检查！";
const std::string kNegativePrice = "]行单价不能小于 0，请检查！", kNegativeMoney = "]行金额必须大于零，请检查！";
const std::string kTaxShort = "]行: 税额录入不合法！", kProjectFirst = "]行在没有输入项目大类之前，请参照输入项目！";
const std::string kMismatch = errorText(err::TypeMismatch);

const Case kCases[] = {
    {"head_department_not_in_cs", "all", CS, h({{"cdepname", ""}}), ""},
    {"head_bad_date", "DDate", BS, h({{"ddate", "2008-02-30"}}), kBadDate},
    {"head_tax_100", "ipertaxrate", CS, h({{"ipertaxrate", "100"}}), kBadRate},
    {"head_bus_type_direct", "cbustype", BS, h({{"cbustype", "直运采购"}}), kBadBusType},
    {"head_edges_pass", "ddate", CS, h({{"ddate", "2008-05-01T10:20:30"}, {"ipertaxrate", "99.99"}, {"cbustype", "委外发票"}}), ""},
    {"head_empty_tax_and_type_pass", "cbustype", CS, h({{"ipertaxrate", ""}, {"cbustype", ""}}), ""},
    {"head_bs_missing_fields", "all", BS, H({{"ccode", ""}, {"ddate", ""}}), kNoCode + CR + kNoDate + CR + kNoDepartment + CR},
    {"head_bs_all_in_order", "ALL", BS, H({{"ccode", ""}, {"ddate", "abc"}, {"cdepname", ""}, {"ipertaxrate", "100"}, {"cbustype", "x"}}),
     kNoCode + CR + kNoDepartment + CR + kBadDate + CR + kBadRate + CR + kBadBusType + CR},
    {"head_cs_skips_department", "All", CS, H({{"ccode", "QG1"}, {"ddate", "abc"}, {"cdepname", ""}, {"ipertaxrate", "100"}}), kBadDate},
    {"head_mandatory_left_to_pass", "ccode", CS, H({{"ccode", ""}, {"ddate", ""}, {"cdepname", ""}}), ""},
    {"head_unreadable_tax", "ipertaxrate", CS, h({{"ipertaxrate", "abc"}}), kMismatch},
    {"head_tax_not_read_after_at_once", "all", CS, h({{"ipertaxrate", "abc"}, {"ccode", ""}}), kNoCode},
    {"head_without_rows", "ddate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"no_item", "all", CS, second({{"cinvcode", ""}}), row(2, kNoItem)},
    {"project_class_without_project", "all", BS, second({{"citem_class", "01"}}), row(2, "]行有项目大类，必须录入项目！\r")},
    {"no_quantity_collected_in_cs", "all", CS, second({{"fquantity", ""}}), row(2, kNoQuantity + CR)},
    {"zero_quantity", "FQuantity", BS, three({{"fquantity", "0"}}), row(3, "]行数量必须大于零，请检查！")},
    {"unreadable_quantity", "all", CS, second({{"fquantity", "abc"}}), row(2, "]行数量必须大于零，请检查！")},
    {"negative_price_with_tax", "all", BS, second({{"ftaxprice", "-1"}}), row(2, "]行含税单价不能小于 0，请检查！\r")},
    {"negative_money", "fmoney", BS, three({{"fmoney", "-0.01"}}), row(3, kNegativeMoney)},
    {"tax_100", "all", CS, second({{"ipertaxrate", "100"}, {"itax", "50"}}), row(2, "]行税率必须在 0 到 100 之间，请检查！")},
    {"tax_short_whole", "all", BS, second({{"itax", "7.5"}}), row(2, kTaxShort + CR)},
    {"project_before_class", "citemcode", BS, three({{"citemcode", "XM01"}}), row(3, kProjectFirst)},
    {"zero_money_empty_prices", "all", CS, second({{"fmoney", "0"}, {"itax", "0"}, {"funitprice", ""}, {"ftaxprice", ""}}), ""},
    {"edges_pass", "ipertaxrate", CS, three({{"ipertaxrate", "99.99"}, {"itax", "49.995"}, {"citemcode", "XM01"}, {"citem_class", "01"}}), ""},
    {"rows_and_order_bs", "all", BS,
     B({good({{"funitprice", "-1"}}, "D"), without(good({{"funitprice", "-1"}}), {"editprop"}),
        line({{"cinvcode", ""}, {"citem_class", "01"}, {"fquantity", ""}, {"funitprice", "-2"}}),
        line({{"cinvcode", ""}, {"fquantity", "5"}, {"citemcode", "XM01"}})}),
     row(1, kNoItem + CR) + row(1, "]行有项目大类，必须录入项目！\r") + row(1, kNoQuantity + CR) + row(1, kNegativePrice + CR) +
         row(2, kNoItem + CR) + row(2, kProjectFirst + CR)},
    {"cs_collects_until_at_once", "all", CS, B({good({{"fquantity", ""}}), good({{"fquantity", ""}})}),
     row(1, kNoQuantity + CR) + row(2, kNoQuantity + CR)},
    {"cs_at_once_drops_collected", "all", CS, B({good({{"fquantity", ""}}), good({{"fquantity", ""}, {"fmoney", "-1"}})}), row(2, kNegativeMoney)},
    {"item_first", "cfree1", BS, three({{"cinvcode", ""}}), row(3, "]行请先录入存货！")},
    {"item_key_itself", "cinvcode", BS, three({{"cinvcode", ""}}), ""},
    {"tax_key_not_checked", "itax", BS, three({{"itax", "1"}}), ""},
    {"empty_quantity_ends_call", "fquantity", CS, B({good({{"fquantity", ""}}), good({{"fquantity", "0"}})}, 3), ""},
    {"empty_price_passes_its_line", "funitprice", CS, B({good({{"funitprice", ""}}), good({{"funitprice", "-1"}})}, "3"), row(3, kNegativePrice)},
    {"tax_short_by_one", "ftaxprice", CS, tax("100", "17", "16", "False"), row(4, kTaxShort)},
    {"tax_negative_short_flag_0", "ftaxprice", CS, tax("100", "17", "-15.9", "0"), row(4, kTaxShort)},
    {"tax_negative_money_short", "ftaxprice", CS, tax("-100", "17", "15", "FALSE"), row(4, kTaxShort)},
    {"tax_discount_flag_minus_1", "ftaxprice", CS, tax("100", "17", "0", "-1"), ""},
    {"tax_unreadable_reads_0", "ftaxprice", CS, tax("100", "17", "abc", "False"), row(4, kTaxShort)},
    {"tax_unreadable_money", "ftaxprice", CS, tax("abc", "17", "5", "False"), ""},
    {"empty_flag", "all", BS, B({good({{"binvtype", ""}})}), kMismatch},
    {"unreadable_rate", "ftaxprice", CS, B({good({{"ipertaxrate", "abc"}})}, 1), kMismatch},
    {"rate_not_read_for_discount", "all", BS, B({good({{"binvtype", "True"}, {"ipertaxrate", "abc"}})}), ""},
    {"flag_not_read_without_tax", "ftaxprice", CS, B({good({{"binvtype", ""}, {"itax", ""}})}, 1), ""},
    {"flag_not_read_after_at_once", "all", CS, B({good({{"cinvcode", ""}, {"binvtype", "yes"}})}), row(1, kNoItem)},
};

TW_WHOLE_VOUCHER_CASES(RequisitionApplyF, "ClsS_VerifyApplyF", kCases);

// The sample requisitions give the verdicts the demo shows.
TEST(RequisitionApplyFSamples, Verdicts) {
  EXPECT_EQ(sampleVerdict("ClsS_VerifyApplyF", "VerifyHead", "requisition_head.xml", {}), kNoDepartment + CR + kBadBusType + CR);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyApplyF", "VerifyBody", "requisition_body.xml", {}),
            row(3, kNoQuantity + CR) + row(3, kTaxShort + CR) + row(4, kNegativePrice + CR) + row(4, kProjectFirst + CR));
}

}  // namespace
}  // namespace tallyward::test
