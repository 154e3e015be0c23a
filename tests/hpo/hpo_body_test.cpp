// Order line entry on a real ERP database: the item, unit, project and project-class look-ups,
// the quantity's price, free items, the arrival date and the tax tolerances.
#include "hpo_fixture.h"

namespace tallyward::test {
namespace {

class HpoBody : public HpoTest {
 protected:
  HpoBody() {
    sql(R"(
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1), ('0201', '个', '02', 1, 1), ('0202', '箱', '02', 10, 0);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode,
                             cPUComUnitCode, iTaxRate, bfree3, bInvEntrust, bService, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 1, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', NULL, 0, 0, 0, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 1, 0, NULL),
        ('S01', '运输费', NULL, '01', 0, '0101', NULL, 9, 0, 0, 1, NULL),
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, '2025-06-30 00:00:00');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES
        ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'Inventory'), ('66', '坏表', 'fitemss97 WHERE 1=1 --');
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      -- Free items 2 and 3 use lists 21 and 28; the neighbouring lists hold the values typed.
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('28', '70度', '70A'), ('22', '红', 'R'), ('20', '红', 'R'),
        ('27', '99度', 'C'), ('29', '99度', 'C');
      INSERT INTO venandinv (cVenCode, cInvCode, cVenInvCode) VALUES ('V001', 'A01', 'VA1'), ('V002', 'B02', 'VB2');
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P02', '人民币', 0, 6.8, 13);
    )");
  }

  std::string check(const std::string& key, const std::vector<Attributes>& lines, long R = 1) {
    body = voucher(lines);
    hd = head(headRow);
    return hpo.VerifyBody(key, *body, hd.get(), static_cast<int32_t>(R));
  }

  Attributes headRow{{"cvencode", "V001"}, {"dpodate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"},
                     {"nflat", "2"}, {"itaxrate", "17"}, {"cbustype", "普通采购"}};
  std::shared_ptr<Document> body, hd;
};

TEST_F(HpoBody, ItemIsFoundByCodeNameOrAdditionalCodeAndAnExactCodeWins) {
  const std::pair<const char*, const char*> cases[] = {{"A01", "A01"}, {"螺栓", "A01"}, {"ADD1", "A01"}, {"B02", "B02"}, {"VA1", "A01"}};
  for (const auto& [typed, code] : cases) {
    ASSERT_EQ(check("cInvCode", {line({{"cinvcode", typed}})}), "") << typed;
    EXPECT_EQ(pairsOf(*body).front(), (std::pair<std::string, std::string>{"cInvCode", code})) << typed;
  }
}

TEST_F(HpoBody, ItemsOutsideTheListOrTheBusinessTypeAreRefused) {
  struct Case { const char* typed; const char* busType; bool found; };
  const Case cases[] = {{"X01", "普通采购", false}, {"S01", "普通采购", false}, {"E01", "普通采购", false},
                        {"E01", "受托代销", true},  {"A01", "受托代销", false}, {"E01", "委外加工", true},
                        {"x' OR '1'='1", "", false},
                        {"VB2", "普通采购", false}};  // another vendor's code for an item
  for (const Case& c : cases) {
    headRow = with(headRow, {{"cbustype", c.busType}});
    EXPECT_EQ(check("cinvcode", {line({{"cinvcode", c.typed}})}, 7),
              c.found ? "" : "第[7]行存货录入不正确，请检查！") << c.typed << " " << c.busType;
  }
}

TEST_F(HpoBody, ClearingTheItemEmptiesEveryColumnOfTheItemList) {
  ASSERT_EQ(check("cinvcode", {line({{"cinvcode", ""}})}), "");
  const Pairs pairs = pairsOf(*body);
  ASSERT_EQ(pairs.size(), 30u);  // the item's columns, the unit columns and the three price columns
  EXPECT_EQ(pairs.front().first, "cInvCode");
  EXPECT_EQ(pairs.back().first, "ipertaxrate");
  for (const auto& [k, v] : pairs) EXPECT_EQ(v, "") << k;
}

TEST_F(HpoBody, ItemReplyEndsWithLocalPricePiecesQualityFlagAndProposedPrice) {
  setting("cOtherCostEditMode", "最新价格");
  sql("INSERT INTO PO_Pomain (POID, cVenCode) VALUES (1, 'V001');"
      "INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate) VALUES (1, 1, 'P02', 2.5, 2.8, NULL);"
      "INSERT INTO tw_inspection VALUES ('V001', 'P02')");
  info->set("bQMStart", true);
  ASSERT_EQ(check("cinvcode", {line({{"cinvcode", "P02"}, {"iquantity", "-30"}})}), "");
  const Pairs pairs = pairsOf(*body);
  ASSERT_GE(pairs.size(), 9u);
  // The order's tax rate stands in for the latest price's missing one.
  EXPECT_EQ(pairs[pairs.size() - 7], (std::pair<std::string, std::string>{"ipertaxrate", "17"}));
  EXPECT_EQ(Pairs(pairs.end() - 6, pairs.end()),
            (Pairs{{"iNatUnitPrice", "5"}, {"iNum", "-3"}, {"bGsp", "是"},
                   {"iUnitPrice", "6.8"}, {"iPerTaxRate", "13"}, {"bTaxCost", "0"}}));
}

TEST_F(HpoBody, LinesFromRequisitionsGetNoProposedPriceAndZeroQuantitiesNoPieceCount) {
  ASSERT_EQ(check("cinvcode", {line({{"cinvcode", "P02"}, {"iquantity", "0"}, {"iappids", "5"}})}), "");
  const Pairs pairs = pairsOf(*body);
  EXPECT_EQ(pairs.back(), (std::pair<std::string, std::string>{"iNum", ""}));
  EXPECT_EQ(pairs[pairs.size() - 2].first, "iNatUnitPrice");
}

TEST_F(HpoBody, QuantityAnswersWithTheProposedPriceOnly) {
  ASSERT_EQ(check("iquantity", {line({{"cinvcode", "P02"}, {"iquantity", "10"}, {"iappids", "5"}})}), "");
  EXPECT_EQ(body->xml(), "<?xml version='1.0' encoding='GB2312'?>\r<Body>\r</Body>");
  ASSERT_EQ(check("iquantity", {line({{"cinvcode", "P02"}, {"iquantity", "10"}})}), "");
  EXPECT_EQ(body->xml(), replyText("Body", {{"iUnitPrice", "6.8"}, {"iPerTaxRate", "13"}, {"bTaxCost", "0"}}));
}

TEST_F(HpoBody, ItemRightIsAskedWhenTheSwitchIsOnAndItsRefusalHasNoRowPart) {
  info->set("bCheckInvAuth", true);
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}, 4), "对不起，您没有录入该存货的权限！");
  EXPECT_EQ(body->replacements(), 0u);
  sql("INSERT INTO tw_data_right VALUES ('demo', 'Inventory', 'A01', 'W')");
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}, 4), "");
}

// A database without the rights table: the right cannot be checked, so the entry is refused, and
// the failing step is recorded with the database's error for whoever supports the screen.
TEST_F(HpoBody, ARightThatCannotBeCheckedRefusesAndItsStepIsRecorded) {
  info->set("bCheckInvAuth", true);
  sql("DROP TABLE tw_data_right");
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "对不起，您没有录入该存货的权限！");
  EXPECT_EQ(body->replacements(), 0u);
  ASSERT_EQ(hpo.skippedSteps().size(), 1u);
  EXPECT_EQ(hpo.skippedSteps()[0].step, "checking the data right of cInvCode");
  EXPECT_EQ(hpo.skippedSteps()[0].number, err::Database);
  EXPECT_NE(hpo.skippedSteps()[0].description.find("tw_data_right"), std::string::npos);
  // The next call starts a new record.
  info->set("bCheckInvAuth", false);
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "");
  EXPECT_TRUE(hpo.skippedSteps().empty());
}

TEST_F(HpoBody, DirectShipmentOrdersTakeItemsFromSalesOrdersOnly) {
  sql("UPDATE accinformation SET cValue='True' WHERE cName='bZYXS'");
  headRow = with(headRow, {{"cbustype", "直运采购"}});
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "直运业务采购订单只能参照销售订单录入存货！");
  headRow = with(headRow, {{"cpbvbilltype", "委外运费发票"}});
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "");
}

TEST_F(HpoBody, UnitProjectAndProjectClassLookups) {
  struct Case { const char* key; Attributes fields; Pairs reply; const char* refusal; };
  const Case cases[] = {
      {"cinva_unit", {{"cinvcode", "P02"}, {"cinva_unit", "箱"}},
       {{"cUnitId", "0202"}, {"cInvA_Unit", "箱"}, {"iInvExchRate", "10"}}, "第[2]行单位录入不正确或已经停用，请检查！"},
      {"citemcode", {{"citem_class", "97"}, {"citemcode", "RD1"}}, {{"cItemName", "轻量化"}},
       "第[2]行项目录入不正确，请检查！"},
      {"citemcode", {{"citem_class", "00"}, {"citemcode", "A01"}}, {{"cItemName", "螺栓"}},
       "第[2]行项目录入不正确，请检查！"},
      {"citem_class", {{"citem_class", "97"}}, {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}},
       "第[2]行项目大类录入不正确，请检查！"}};
  for (const Case& c : cases) {
    EXPECT_EQ(check(c.key, {line(c.fields)}, 2), "") << c.key;
    EXPECT_EQ(body->xml(), replyText("Body", c.reply)) << c.key;
    Attributes wrong = c.fields;
    wrong.back().second = "无此项";
    EXPECT_EQ(check(c.key, {line(wrong)}, 2), c.refusal) << c.key;
  }
  // A unit of another item's group is not this item's unit.
  EXPECT_EQ(check("cinva_unit", {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}),
            "第[1]行单位录入不正确或已经停用，请检查！");
  // A class whose table is not a plain name has no projects to offer.
  EXPECT_EQ(check("citemcode", {line({{"citem_class", "66"}, {"citemcode", "RD1"}})}),
            "第[1]行项目录入不正确，请检查！");
}

TEST_F(HpoBody, ClearingRepliesOfUnitProjectAndProjectClass) {
  EXPECT_EQ(check("cinva_unit", {line({{"cinvcode", "P02"}, {"cinva_unit", ""}})}), "");
  EXPECT_EQ(body->xml(), replyText("Body", {{"cUnitId", ""}, {"cInvA_Unit", ""}, {"iInvExchRate", ""}}));
  EXPECT_EQ(check("citemcode", {line({{"citem_class", "97"}, {"citemcode", ""}})}), "");
  EXPECT_EQ(body->xml(), replyText("Body", {{"cItemName", ""}}));
  EXPECT_EQ(check("citem_class", {line({{"citem_class", ""}})}), "");
  EXPECT_EQ(body->xml(), replyText("Body", {{"cItem_Class", ""}, {"cItem_Name", ""}, {"cItemCode", ""}, {"cItemName", ""}}));
}

TEST_F(HpoBody, FreeItemsWithoutTheItemsSwitchAreRefusedInTheWayOfTheMode) {
  const Attributes l = {{"cinvcode", "A01"}, {"cfree2", "红"}, {"cfree3", "99度"}};
  EXPECT_EQ(check("cfree2", {line(l)}, 3), "第[3]行没有自由项2设置，不能输入！");
  EXPECT_EQ(check("cfree3", {line(l)}, 3), "");  // the item uses free item 3; its list is a whole-pass matter
  hpo.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("cFree2", {line(l), line(l)}, 3), "第[3]行没有自由项2设置，不能输入！第[3]行没有自由项2设置，不能输入！");
  EXPECT_EQ(check("all", {line(l)}),
            "第[1]行没有自由项2设置，不能输入！第[1]行自由项2录入不正确，请检查！\r第[1]行自由项3录入不正确，请检查！\r");
  EXPECT_EQ(check("all", {line(with(l, {{"cfree2", " "}, {"cfree3", "70A"}}))}), "第[1]行自由项2录入不正确，请检查！\r");
  hpo.m_UseMode = UseMode::CS;
  EXPECT_EQ(check("all", {line(with(l, {{"cfree2", ""}}))}), "");  // lists are not checked in client mode
}

TEST_F(HpoBody, FreeItemSwitchesStayFromTheLineBeforeWhenAnItemIsUnknown) {
  hpo.m_UseMode = UseMode::BS;
  const std::string verdict = check("all", {line({{"cinvcode", "A01"}}), line({{"cinvcode", "ZZZ"}, {"cfree3", "70度"}})});
  EXPECT_EQ(verdict, "第[2]行存货录入不正确，请检查！\r");
}

TEST_F(HpoBody, ArrivalDateMayNotPrecedeTheOrderDate) {
  const std::pair<const char*, const char*> cases[] = {
      {"2026-03-01T00:00:00", "第[1]行到货日期不能在订货日期之前，请检查！"}, {"2026-03-02T08:00:00", ""},
      {"2026-04-01", ""}, {"", ""}};
  for (const auto& [arrival, verdict] : cases)
    EXPECT_EQ(check("all", {line({{"cinvcode", "A01"}, {"darrivedate", arrival}})}), verdict) << arrival;
  EXPECT_EQ(check("darrivedate", {line({{"cinvcode", "A01"}, {"darrivedate", "2026-01-01"}})}), "");
}

TEST_F(HpoBody, LineTaxWithinTheToleranceRoundedToCents) {
  const std::pair<const char*, const char*> cases[] = {
      {"17.02", "第[5]行税额录入超出容差范围！"}, {"17.01", ""}, {"-17", ""}, {"16.98", "第[5]行税额录入超出容差范围！"}};
  for (const auto& [tax, verdict] : cases)
    EXPECT_EQ(check("itax", {line({{"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", tax}})}, 5), verdict) << tax;
  setting("bControlTax", "True");
  EXPECT_EQ(check("itax", {line({{"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", "20"}})}, 5), "");
}

TEST_F(HpoBody, TotalTaxIsCheckedOnlyWhenEveryLineHasTheSameRate) {
  // Each line is off by 0.01, within the line's tolerance; together they are off by 0.02.
  const Attributes a{{"cinvcode", "A01"}, {"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", "17.01"}};
  const Attributes unchanged = [&] { Attributes u = line(a); u[0].second = ""; return u; }();
  EXPECT_EQ(check("all", {line(a), unchanged}), "税额合计容差超出范围！");
  hpo.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {line(a), unchanged}), "税额合计容差超出范围！\r");
  EXPECT_EQ(check("all", {line(a), line(with(a, {{"ipertaxrate", "13"}, {"itax", "13.01"}}))}), "");
  // An unchanged line is counted and still has its tax checked.
  EXPECT_EQ(check("all", {line(with(a, {{"itax", "18"}}), ""), line(with(a, {{"cinvcode", "?"}}))}),
            "第[1]行税额录入超出容差范围！\r第[2]行存货录入不正确，请检查！\r税额合计容差超出范围！\r");
}

TEST_F(HpoBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // No head document: its values read as empty, and the item is still looked up.
  body = voucher({line({{"cinvcode", "A01"}})});
  EXPECT_EQ(hpo.VerifyBody("cinvcode", *body, nullptr, 1), "");
  EXPECT_EQ(pairsOf(*body).front().second, "A01");
  // No session: the right cannot be checked, so the entry is refused as one without the right.
  hpo.clsInfor.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "对不起，您没有录入该存货的权限！");
  // No connection: a look-up that cannot be made does not accept the entry.
  hpo.m_Cnn.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "第[1]行存货录入不正确，请检查！");
  EXPECT_EQ(check("itax", {line({{"imoney", "100"}, {"ipertaxrate", "17"}, {"itax", "90"}})}), "");
  // A money that is not a number leaves the computed tax out; the rest of the rule still runs.
  hpo.m_Cnn = cnn;
  EXPECT_EQ(check("itax", {line({{"imoney", "abc"}, {"ipertaxrate", "17"}, {"itax", "1"}})}),
            "第[1]行税额录入超出容差范围！");
}

}  // namespace
}  // namespace tallyward::test
