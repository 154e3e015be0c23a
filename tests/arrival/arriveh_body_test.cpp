// Arrival line entry on a real ERP database: free items, batch and shelf-life dates, the item with
// its order and right refusals, the inspection flag of floating-rate items, warehouse, unit,
// project and project class, the fill-in reply of an item and of a quantity, and the tax
// tolerances of a line and of the whole note.
#include "arriveh_fixture.h"

namespace tallyward::test {
namespace {

using Pair = std::pair<std::string, std::string>;
constexpr UseMode CS = UseMode::CS, BS = UseMode::BS;

class ArriveHBody : public ArriveHTest {
 protected:
  ArriveHBody() {
    sql(R"(
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1), ('0201', '个', '02', 1, 1), ('0202', '箱', '02', 10, 0);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cGroupCode, iGroupType, cComUnitCode, cPUComUnitCode,
                             iTaxRate, bfree3, bInvEntrust, bService, bInvBatch, bInvQuality, bPropertyCheck, dEDate) VALUES
        ('A01', '螺栓', 'ADD1', '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL),
        ('R03', '密封圈', NULL, '01', 0, '0101', NULL, 13, 1, 0, 0, 0, 0, 0, NULL),
        ('B02', 'A01', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL),
        ('P02', '端盖', NULL, '02', 1, '0201', '0202', 13, 0, 0, 0, 0, 0, 1, NULL),
        ('G01', '环氧胶', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 1, 1, 1, NULL),
        ('F01', '铜线', NULL, '01', 2, '0101', NULL, 13, 0, 0, 0, 0, 0, 1, NULL),
        ('E01', '代销油', NULL, '01', 0, '0101', NULL, 13, 0, 1, 0, 0, 0, 0, NULL),
        ('S01', '运输费', NULL, '01', 0, '0101', NULL, 9, 0, 0, 1, 0, 0, 0, NULL),
        ('X01', '旧轴承', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, '2025-06-30 00:00:00'),
        ('Q01', 'O''Brien 垫片', NULL, '01', 0, '0101', NULL, 13, 0, 0, 0, 0, 0, 0, NULL);
      INSERT INTO WareHouse (cWhCode, cWhName) VALUES ('01', '原材料库');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES
        ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'Inventory'), ('55', '无表项目', NULL);
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES ('29', '一等品', 'A');
      INSERT INTO PU_ArrivalVouchs (Autoid, ID, cInvCode, iOriCost, iOriTaxCost, iTaxRate) VALUES (1, 1, 'P02', 2.5, 2.8, NULL);
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P02', '人民币', 0, 6.8, 13);
      INSERT INTO tw_inspection VALUES ('V001', 'P02');
    )");
    setting("cOtherCostEditMode", "最新价格");
    setting("cCostSource", "到货单");
    info->set("bPTHavePO", false);
    info->set("bSTHavePO", false);
  }

  std::string check(const std::string& key, const std::vector<Attributes>& lines, long R = 1) {
    body = voucher(lines);
    hd = head(headRow);
    return arrive.VerifyBody(key, *body, hd.get(), static_cast<int32_t>(R));
  }
  void gspStarted() { sql("INSERT INTO accinformation (cSysID, cName, cValue) VALUES ('ST', 'dGspStartDate', '2026-01-01')"); }

  Attributes headRow{{"cvencode", "V001"}, {"ddate", "2026-03-02T00:00:00"}, {"cexch_name", "人民币"},
                     {"iexchrate", "2"},   {"itaxrate", "17"},               {"cbustype", "普通采购"}};
  std::shared_ptr<Document> body, hd;
};

TEST_F(ArriveHBody, FreeItemsMustFollowTheItemsSwitchesAndTheirListsInABrowserWholePass) {
  const Attributes a{{"cinvcode", "R03"}};  // R03 uses free item 3 only
  struct Case { const char* name; const char* key; UseMode mode; Attributes line; std::string verdict; long R = 1; };
  const Case cases[] = {
      {"used and empty", "cfree3", CS, with(a, {{"cfree3", " "}}), "第[3]行有自由项3设置，必须输入！", 3},
      {"used and empty, BS", "cFree3", BS, with(a, {{"cfree3", ""}}), "第[3]行有自由项3设置，必须输入！", 3},
      {"unused and filled", "cfree2", CS, with(a, {{"cfree2", "红"}, {"cfree3", "x"}}), "第[3]行没有自由项2设置，不能输入！", 3},
      {"no list while typing", "cfree3", BS, with(a, {{"cfree3", "任意"}}), "", 3},
      {"lists only in BS", "all", CS, with(a, {{"cfree3", "任意"}}), ""},
      {"list by value or alias", "all", BS, with(a, {{"cfree3", "任意"}}), "第[1]行自由项3录入不正确，请检查！\r"},
      {"CS pass stops at once", "all", CS, with(a, {{"cfree4", "A"}}), "第[1]行有自由项3设置，必须输入！"},
      {"BS pass goes on", "all", BS, with(a, {{"cfree4", "X"}}),
       "第[1]行有自由项3设置，必须输入！第[1]行没有自由项4设置，不能输入！第[1]行自由项4录入不正确，请检查！\r"},
  };
  for (const Case& c : cases) {
    arrive.m_UseMode = c.mode;
    EXPECT_EQ(check(c.key, {line(c.line)}, c.R), c.verdict) << c.name;
  }
  EXPECT_TRUE(sentContaining("SELECT cAlias,cValue FROM UserDefine WHERE cID= '29' AND (cValue='X' OR cAlias='X')"));
}

TEST_F(ArriveHBody, BatchAndShelfLifeDates) {
  struct Case { const char* name; const char* key; UseMode mode; Attributes line; bool gsp, qm; std::string verdict; };
  const Attributes g{{"cinvcode", "G01"}, {"cbatch", "B1"}, {"bgsp", "是"}, {"dvdate", "2027-03-01"}};
  const Attributes a{{"cinvcode", "A01"}};
  const Attributes late = with(g, {{"dpdate", "2026-03-03T00:00:00"}, {"dvdate", "2026-03-02T00:00:00"}});
  const Case cases[] = {
      {"batch without batch management", "cbatch", CS, with(a, {{"cbatch", "B1"}}), false, false, "第[1]行没有批次管理，不能录入批号！"},
      {"no batch while typing", "cbatch", CS, with(g, {{"cbatch", ""}}), true, true, ""},
      {"no batch under quality management", "all", BS, with(g, {{"cbatch", ""}}), false, true,
       "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r"},
      {"no batch, not inspected", "all", CS, with(g, {{"cbatch", ""}, {"bgsp", "否"}}), true, true, ""},
      {"no batch without quality control", "all", CS, with(g, {{"cbatch", ""}, {"dvdate", ""}}), false, false, ""},
      {"neither batch nor expiry under GSP", "all", BS, with(g, {{"cbatch", ""}, {"dvdate", ""}}), true, false,
       "第[1]行有批次管理，且已启用GSP或质量管理，必须录入批号！\r第[1]行有保质期管理，且已启用GSP或质量管理，必须录入失效日期！\r"},
      {"no expiry while typing", "dvdate", CS, with(g, {{"dvdate", ""}}), true, true, ""},
      {"production date without shelf life", "dpdate", CS, with(a, {{"dpdate", "2026-01-01"}}), false, false,
       "第[1]行没有保质期管理，不能录入生产日期！"},
      {"production date without shelf life, BS pass", "all", BS, with(a, {{"dpdate", "2026-01-01"}}), false, false,
       "第[1]行没有批次保质期管理，不能录入生产日期！\r"},
      {"expiry date without shelf life", "dvdate", BS, with(a, {{"dvdate", "2026-01-01"}}), false, false,
       "第[1]行没有保质期管理，不能录入失效日期！"},
      {"expiry date without shelf life, BS pass", "all", BS, with(a, {{"dvdate", "2026-01-01"}}), false, false,
       "第[1]行没有批次保质期管理，不能录入失效日期！\r"},
      {"equal dates", "dpdate", CS, with(g, {{"dpdate", "2026-03-02T00:00:00"}, {"dvdate", "2026-03-02T23:00:00"}}),
       false, false, ""},
      {"made after expiry", "dpdate", CS, late, false, false, "第[1]行生产日期不能大于失效日期！"},
      {"expiry before made", "dvdate", CS, late, false, false, "第[1]行生产日期不能大于失效日期！"},
      {"both date rules in a BS pass", "all", BS, late, false, false,
       "第[1]行生产日期不能大于失效日期！\r第[1]行生产日期不能大于失效日期！\r"},
      {"dates that are no dates", "all", BS, with(g, {{"dpdate", "soon"}}), false, false, ""},
  };
  for (const Case& c : cases) {
    arrive.m_UseMode = c.mode;
    sql("DELETE FROM accinformation WHERE cName='dGspStartDate'");
    if (c.gsp) gspStarted();
    info->set("bQMStart", c.qm);
    EXPECT_EQ(check(c.key, {line(c.line)}), c.verdict) << c.name;
  }
}

TEST_F(ArriveHBody, ItemIsFoundByCodeNameOrAdditionalCodeAnExactCodeWinsAndOthersAreRefused) {
  struct Case { const char* typed; const char* busType; const char* code; };  // code: nullptr when refused
  const Case cases[] = {{"A01", "普通采购", "A01"}, {"螺栓", "", "A01"}, {"add1", "", "A01"}, {"B02", "", "B02"},
                        {"O'Brien 垫片", "", "Q01"}, {"E01", "受托代销", "E01"}, {"E01", "", "E01"},
                        {"X01", "", nullptr}, {"S01", "", nullptr}, {"E01", "普通采购", nullptr},
                        {"A01", "受托代销", nullptr}, {"x' OR '1'='1", "", nullptr}};
  for (const Case& c : cases) {
    headRow = with(headRow, {{"cbustype", c.busType}});
    EXPECT_EQ(check("cInvCode", {line({{"cinvcode", c.typed}})}, 7), c.code ? "" : "第[7]行存货录入不正确或已经停用，请检查！")
        << c.typed << " " << c.busType;
    if (c.code) {
      EXPECT_EQ(pairsOf(*body).front(), (Pair{"cInvCode", c.code})) << c.typed;
    }
  }
  ASSERT_EQ(check("cinvcode", {line({{"cinvcode", "O'Brien 垫片"}})}), "");
  EXPECT_NE(body->xml().find("<R K='cInvName' V='O&apos;Brien 垫片'/>\r"), std::string::npos);
  arrive.m_UseMode = BS;
  EXPECT_EQ(check("all", {line({{"cinvcode", "X01"}}), line({{"cinvcode", ""}}), line({{"cinvcode", "S01"}})}),
            "第[1]行存货录入不正确或已经停用，请检查！\r第[3]行存货录入不正确或已经停用，请检查！\r");
  EXPECT_EQ(body->replacements(), 0u);
}

TEST_F(ArriveHBody, AnEmptiedItemClearsItsColumnsBeforeAnyOrderOrRightRefusal) {
  info->set("bPTHavePO", true);
  info->set("bCheckInvAuth", true);
  ASSERT_EQ(check("cinvcode", {line({{"cinvcode", ""}})}), "");
  const Pairs pairs = pairsOf(*body);
  ASSERT_EQ(pairs.size(), 32u);  // the item's columns, the unit columns and the three price columns
  EXPECT_EQ(pairs[7].first, "bgsp");
  EXPECT_EQ(pairs.back().first, "itaxrate");
  for (const auto& [k, v] : pairs) EXPECT_EQ(v, "") << k;
}

TEST_F(ArriveHBody, BusinessTypesThatNeedAnOrderRefuseATypedItemInEveryModeButNotInAPass) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"普通采购", "bPTHavePO", "设置了“普通业务必有订单”选项后，只能参照录入存货，请检查！"},
      {"受托代销", "bSTHavePO", "设置了“受托代销业务必有订单”选项后，只能参照录入存货，请检查！"}};
  for (const auto& [busType, sessionSwitch, refusal] : cases) {
    headRow = with(headRow, {{"cbustype", busType}});
    info->set(sessionSwitch, true);
    for (UseMode mode : {CS, BS}) {
      arrive.m_UseMode = mode;
      EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "E01"}})}), refusal) << busType;
    }
    EXPECT_EQ(check("all", {line({{"cinvcode", "?"}}), line({{"cinvcode", "E01"}})}).substr(0, 6), "第[1]") << busType;
    info->set(sessionSwitch, false);
  }
}

TEST_F(ArriveHBody, ItemRightIsAskedWhenTheSwitchIsOnAndItsRefusalHasNoRowPart) {
  info->set("bCheckInvAuth", true);
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}, 4), "对不起，您没有录入该存货的权限！");
  arrive.m_UseMode = BS;
  EXPECT_EQ(check("all", {line({{"cinvcode", "A01"}}), line({{"cinvcode", "?"}})}),
            "对不起，您没有录入该存货的权限！\r第[2]行存货录入不正确或已经停用，请检查！\r");
  sql("INSERT INTO tw_data_right VALUES ('demo', 'Inventory', 'A01', 'W')");
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}, 4), "");
}

TEST_F(ArriveHBody, UnderGspAFloatingRateItemCannotBeInspectedAndThatEndsEveryCall) {
  const std::string refusal = "Gsp系统已启用，第[4]行存货为浮动换算率[是否检验]字段不能为[是]，请检查！";
  const Attributes f{{"cinvcode", "F01"}, {"bgsp", "是"}};
  EXPECT_EQ(check("bgsp", {line(f)}, 4), "");  // GSP not started
  gspStarted();
  EXPECT_EQ(check("bgsp", {line(f)}, 4), refusal);
  EXPECT_EQ(check("bgsp", {line(with(f, {{"bgsp", "否"}}))}, 4), "");
  EXPECT_EQ(check("bgsp", {line(with(f, {{"cinvcode", "铜线"}}))}, 4), refusal);  // the typed name is resolved
  EXPECT_EQ(check("bgsp", {line(with(f, {{"cinvcode", "A01"}}))}, 4), "");
  arrive.m_UseMode = BS;
  const Attributes wrongStore{{"cinvcode", "A01"}, {"cwhname", "无此库"}};
  EXPECT_EQ(check("all", {line(wrongStore), line(wrongStore), line(wrongStore), line(f), line(wrongStore)}), refusal);
}

TEST_F(ArriveHBody, WarehouseUnitProjectAndProjectClassRepliesClearingAndRefusals) {
  struct Case { const char* key; Attributes fields; Pairs reply; const char* refusal; };
  const Case cases[] = {
      {"cwhname", {{"cwhname", "原材料库"}}, {{"cWhCode", "01"}, {"cWhName", "原材料库"}}, "第[2]行仓库录入不正确，请检查！"},
      {"cwhname", {{"cwhname", "01"}}, {{"cWhCode", "01"}, {"cWhName", "原材料库"}}, "第[2]行仓库录入不正确，请检查！"},
      {"cinva_unit", {{"cinvcode", "P02"}, {"cinva_unit", "箱"}},
       {{"cUnitId", "0202"}, {"cInvA_Unit", "箱"}, {"iInvExchRate", "10"}}, "第[2]行单位录入不正确，请检查！"},
      {"citemcode", {{"citem_class", "97"}, {"citemcode", "RD1"}}, {{"cItemName", "轻量化"}}, "第[2]行项目录入不正确，请检查！"},
      {"citemcode", {{"citem_class", "00"}, {"citemcode", "A01"}}, {{"cItemName", "螺栓"}}, "第[2]行项目录入不正确，请检查！"},
      {"citem_class", {{"citem_class", "97"}}, {{"cItem_Class", "97"}, {"cItem_Name", "研发项目"}},
       "第[2]行项目大类录入不正确，请检查！"}};
  for (const Case& c : cases) {
    Attributes l = c.fields;
    EXPECT_EQ(check(c.key, {line(l)}, 2), "") << c.key;
    EXPECT_EQ(body->xml(), replyText("Body", c.reply)) << c.key;
    Pairs cleared = c.reply;
    for (auto& [k, v] : cleared) v = "";
    if (c.key == std::string("citem_class")) cleared.insert(cleared.end(), {{"cItemCode", ""}, {"cItemName", ""}});
    l.back().second = "";
    EXPECT_EQ(check(c.key, {line(l)}, 2), "") << c.key;
    EXPECT_EQ(body->xml(), replyText("Body", cleared)) << c.key;
    l.back().second = "无此项";
    EXPECT_EQ(check(c.key, {line(l)}, 2), c.refusal) << c.key;
    EXPECT_EQ(body->replacements(), 0u) << c.key;
  }
  // A unit of another item's group is not this item's unit.
  EXPECT_EQ(check("cinva_unit", {line({{"cinvcode", "A01"}, {"cinva_unit", "箱"}})}), "第[1]行单位录入不正确，请检查！");
  // A project class without a table, or none at all, leaves the project unchecked.
  for (const char* itemClass : {"55", "ZZ"}) {
    EXPECT_EQ(check("citemcode", {line({{"citem_class", itemClass}, {"citemcode", "RD1"}})}), "") << itemClass;
    EXPECT_EQ(body->replacements(), 0u) << itemClass;
  }
}

const Pairs kPrice{{"ioricost", "6.8"}, {"iTaxRate", "13"}, {"bTaxCost", "0"}};

Pairs join(std::initializer_list<Pairs> parts) {
  Pairs out;
  for (const Pairs& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(ArriveHBody, ItemReplyIsItsColumnsThenLocalPricePiecesClearedDatesInspectionAndProposedPrice) {
  struct Case {
    const char* name;
    bool positive, qualityManagement;
    Attributes head, line;  // changes to the note's head and to the line
    const char* bgsp;       // the item's bgsp column
    const char* taxRate;    // its itaxrate column
    Pairs extras;           // the pairs after the item's columns
  };
  const Pairs priced{{"iCost", "5"}, {"iNum", "-3"}, {"dpdate", ""}, {"dvdate", ""}};
  const Case cases[] = {
      {"inspected", true, true, {}, {}, "是", "17", join({priced, {{"bGsp", "是"}}, kPrice})},
      {"not inspected for this vendor", true, true, {{"cvencode", "V002"}}, {}, "是", "17", join({priced, {{"bGsp", "否"}}})},
      {"no quality management", true, false, {}, {}, "是", "17", join({priced, kPrice})},
      {"negative note", false, true, {{"bnegative", "True"}}, {}, "否", "17", join({priced, {{"bGsp", "否"}}, kPrice})},
      {"no rate, no quantity", true, false, {{"iexchrate", ""}, {"itaxrate", ""}}, {{"iquantity", "0"}}, "是", "",
       join({{{"iNum", ""}, {"dpdate", ""}, {"dvdate", ""}}, kPrice})},
      {"copied from an order", true, false, {}, {{"iposid", "12"}}, "是", "17", priced},
      {"corresponding line", true, false, {}, {{"icorid", "3"}, {"iposid", "0"}}, "是", "17", priced}};
  for (const Case& c : cases) {
    arrive.m_bPositive = c.positive;
    info->set("bQMStart", c.qualityManagement);
    headRow = with(headRow, c.head);
    ASSERT_EQ(check("cinvcode", {line(with({{"cinvcode", "P02"}, {"iquantity", "-30"}}, c.line))}), "") << c.name;
    const Pairs pairs = pairsOf(*body);
    ASSERT_GE(pairs.size(), 32u) << c.name;
    EXPECT_EQ(pairs[0], (Pair{"cInvCode", "P02"}));
    EXPECT_EQ(pairs[7], (Pair{"bgsp", c.bgsp})) << c.name;
    EXPECT_EQ(pairs[28], (Pair{"iinvexchrate", "10"}));
    EXPECT_EQ(pairs[29], (Pair{"ioricost", "2.5"}));  // the latest arrival price
    EXPECT_EQ(pairs[31], (Pair{"itaxrate", c.taxRate})) << c.name;
    EXPECT_EQ(Pairs(pairs.begin() + 32, pairs.end()), c.extras) << c.name;
    headRow = with(headRow, {{"cvencode", "V001"}, {"iexchrate", "2"}, {"itaxrate", "17"}, {"bnegative", "False"}});
  }
}

TEST_F(ArriveHBody, QuantityAnswersWithTheProposedPriceOnly) {
  const std::pair<Attributes, std::string> cases[] = {
      {{}, replyText("Body", kPrice)},
      {{{"iposid", "5"}}, replyText("Body", {})},
      {{{"icorid", "x"}, {"cinvcode", "A01"}}, replyText("Body", {})}};  // no price for A01
  for (const auto& [changes, reply] : cases) {
    ASSERT_EQ(check("iQuantity", {line(with({{"cinvcode", "P02"}, {"iquantity", "-10"}}, changes))}), "");
    EXPECT_EQ(body->xml(), reply);
  }
}

TEST_F(ArriveHBody, LineTaxWithinTheToleranceAsSet) {
  const Attributes l{{"iorimoney", "100"}, {"itaxrate", "17"}};
  const std::pair<const char*, const char*> cases[] = {
      {"17.01", ""}, {"17.02", "第[5]行税额录入超出容差范围！"}, {"-17", ""}, {"16.98", "第[5]行税额录入超出容差范围！"}};
  for (const auto& [tax, verdict] : cases)
    EXPECT_EQ(check("ioritaxprice", {line(with(l, {{"ioritaxprice", tax}}))}, 5), verdict) << tax;
  // The tolerance is not rounded to cents: half a cent refuses a deviation of one cent.
  setting("iSingleTax", "0.005");
  EXPECT_EQ(check("ioritaxprice", {line(with(l, {{"ioritaxprice", "17.01"}}))}, 5), "第[5]行税额录入超出容差范围！");
  EXPECT_EQ(check("ioritaxprice", {line(with(l, {{"iorimoney", ""}, {"ioritaxprice", "90"}}))}, 5), "");
  setting("bControlTax", "True");
  EXPECT_EQ(check("ioritaxprice", {line(with(l, {{"ioritaxprice", "90"}}))}, 5), "");
}

TEST_F(ArriveHBody, TotalTaxIsCheckedOnEveryWholePassWithOneRateWhicheverWayItDeviates) {
  // Each line is off by 0.01, within the line's tolerance; together they are off by 0.02.
  const Attributes a{{"cinvcode", "A01"}, {"iorimoney", "100"}, {"itaxrate", "17"}};
  const Attributes above = with(a, {{"ioritaxprice", "17.01"}}), below = with(a, {{"ioritaxprice", "16.99"}});
  for (const Attributes& l : {above, below}) {
    arrive.m_UseMode = CS;
    EXPECT_EQ(check("all", {line(l), line(l, "")}), "税额合计容差超出范围！");
    arrive.m_UseMode = BS;
    EXPECT_EQ(check("all", {line(l), line(l, "")}), "税额合计容差超出范围！\r");
    EXPECT_EQ(check("ioritaxprice", {line(l), line(l)}), "");
  }
  EXPECT_EQ(check("all", {line(above), line(with(above, {{"itaxrate", "13"}, {"ioritaxprice", "13.01"}}))}), "");
  // An unchanged line is counted and its tax still checked, but it is not looked up.
  EXPECT_EQ(check("all", {line(with(above, {{"ioritaxprice", "18"}, {"cinvcode", "?"}}), ""), line(with(above, {{"cinvcode", "?"}}))}),
            "第[1]行税额录入超出容差范围！\r第[2]行存货录入不正确或已经停用，请检查！\r税额合计容差超出范围！\r");
}

TEST_F(ArriveHBody, FailingStepsAreSkippedAndTheCallGoesOn) {
  // No head document: its values read as empty, and the item is still looked up.
  body = voucher({line({{"cinvcode", "A01"}})});
  EXPECT_EQ(arrive.VerifyBody("cinvcode", *body, nullptr, 1), "");
  EXPECT_EQ(pairsOf(*body).front().second, "A01");
  EXPECT_FALSE(arrive.skippedSteps().empty());
  // A tax rate that is no number leaves the computed tax out; the rest of the rule still runs.
  EXPECT_EQ(check("ioritaxprice", {line({{"iorimoney", "100"}, {"itaxrate", "abc"}, {"ioritaxprice", "1"}})}),
            "第[1]行税额录入超出容差范围！");
  // No session: the right cannot be checked, so the entry is refused as one without the right.
  arrive.clsInfor.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "对不起，您没有录入该存货的权限！");
  // No connection: a look-up that cannot be made does not accept the entry; probes that cannot be
  // asked refuse nothing.
  arrive.m_Cnn.reset();
  EXPECT_EQ(check("cinvcode", {line({{"cinvcode", "A01"}})}), "第[1]行存货录入不正确或已经停用，请检查！");
  EXPECT_EQ(check("cbatch", {line({{"cinvcode", "A01"}, {"cbatch", "B1"}})}), "");
  EXPECT_EQ(arrive.skippedSteps().front().step, "reading the batch management of cInvCode");
}

}  // namespace
}  // namespace tallyward::test
