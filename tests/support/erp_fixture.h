// Field-entry checks on a real ERP database (a fresh SQLite file with the schema and settings), the
// stand-in host and a session: EntryTest<Class> runs one EntryCase on an object of the class.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/database_route.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/host.h"

namespace tallyward::test {

using Pair = std::pair<std::string, std::string>;
using Pairs = std::vector<Pair>;

// The K and V of each R element of a reply loaded into a document, in order.
inline Pairs pairsOf(const Document& doc) {
  Pairs out;
  for (pugi::xml_node r : doc.dom().document_element().children("R"))
    out.emplace_back(r.attribute("K").value(), r.attribute("V").value());
  return out;
}

// One call of a field-entry check and what it must give.
struct EntryCase {
  const char* name;
  const char* key;
  Attributes head = {};                // the head's row (over the fixture's head row)
  std::vector<Attributes> lines = {};  // the body's lines; none: VerifyHead
  std::string verdict = "";
  Pairs reply = {};  // pairs the reply carries, in this order; none: the document is left as it was
  int pairs = -1;    // how many pairs the reply has (kSome: any number); -1: exactly `reply`
  UseMode mode = CS;
  long R = 1;
  std::vector<const char*> on = {};  // session switches turned on
  std::string sql = "";              // statements run first (rights, settings)
  Props props = {};  // the class's own properties (sBillType, m_bPositive)
};
constexpr int kSome = -2;
inline void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }
inline std::string entryName(const ::testing::TestParamInfo<EntryCase>& info) { return info.param.name; }

inline std::string setTo(const std::string& name, const std::string& value) {
  return "UPDATE accinformation SET cValue='" + value + "' WHERE cName='" + name + "'";
}

// Grants the session's operator (demo) the right to enter one code of a kind.
inline std::string grant(const std::string& kind, const std::string& code) {
  return "INSERT INTO tw_data_right VALUES ('demo', '" + kind + "', '" + code + "', 'W')";
}

class ErpDatabaseTest : public ::testing::Test {
 protected:
  ErpDatabaseTest() {
    sql("INSERT INTO accinformation (cSysID, cName, cValue) VALUES "
        "('PU', 'cOtherCostEditMode', '手工录入'), ('PU', 'cCostSource', '订单'), "
        "('PU', 'iXchgRateStl', 'False'), ('PU', 'bControlTax', 'False'), "
        "('PU', 'iSingleTax', '0.01'), ('PU', 'iSumTax', '0.01'), ('SA', 'bZYXS', 'False')");
    info->set("OperaterCode", "demo");
    for (const char* s : {"bCheckInvAuth", "bCheckVendorAuth", "bCheckDepartAuth", "bCheckPersonAuth", "bQMStart"})
      info->set(s, false);
    info->set("CurAccountID", "001");
    info->set("TheYear", 2026);
  }

  void sql(const std::string& statements) { db_.sql(statements); }
  // Head master data: department 01 (a leaf) and 03, salesman 0001 of 01, payment condition, purchase
  // type and shipping method 01, 美元 (USD) with a rate on 2026-03-02 and one for March 2026.
  void headMasterData() {
    sql(R"(
      INSERT INTO Department (cDepCode, cDepName, bDepEnd) VALUES ('01', '采购部', 1), ('03', '生产中心', 0);
      INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES ('0001', '王磊', '01');
      INSERT INTO PayCondition (cPayCode, cPayName) VALUES ('01', '货到付款');
      INSERT INTO PurchaseType (cPTCode, cPTName) VALUES ('01', '生产采购');
      INSERT INTO ShippingChoice (cSCCode, cSCName) VALUES ('01', '汽运');
      INSERT INTO ForeignCurrency (cexch_name, cexch_code) VALUES ('美元', 'USD');
      INSERT INTO exch (cexch_name, itype, cdate, nflat) VALUES ('美元', 1, '2026.03.02', 7.0156), ('美元', 2, '3', 7.02);
      INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd) VALUES ('001', 2026, 3, '2026-03-01 00:00:00', '2026-03-31 00:00:00');
    )");
  }
  // Line master data: units 千克 (group 01), 个 and 箱 of 10 (02), project class 97 with RD1, class 00
  // of the items, and V001's list price 6.8 at 13% for P02.
  void lineMasterData() {
    sql(R"(
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1), ('0201', '个', '02', 1, 1), ('0202', '箱', '02', 10, 0);
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'Inventory');
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, fMinQuantity, iUnitPrice, iTaxRate) VALUES
        ('V001', 'P02', '人民币', 0, 6.8, 13);
    )");
  }

  void setting(const std::string& name, const std::string& value) { sql(setTo(name, value)); }

  TempDatabase db_;
  const std::string& path_ = db_.path();
  ScopedHostFactory host_{std::make_shared<StandInHost>()};
  std::shared_ptr<Connection> cnn = Connection::open(connectionTo(path_));
  std::shared_ptr<SessionInformation> info = std::make_shared<SessionInformation>();
};

// An object of a field-entry class on the database, and the documents of its last call.
template <class Check>
class EntryTest : public ErpDatabaseTest, public ::testing::WithParamInterface<EntryCase> {
 protected:
  EntryTest() {
    obj.m_Cnn = cnn;
    obj.clsInfor = std::make_shared<SessionContext>(info);
  }
  ~EntryTest() override { obj.m_Cnn.reset(); }

  std::string verifyHead(const std::string& key, const Attributes& row) {
    doc = head(with(headRow, row));
    return obj.VerifyHead(key, *doc);
  }
  std::string verifyBody(const std::string& key, const std::vector<Attributes>& lines, long R = 1) {
    doc = voucher(lines);
    hd = head(headRow);
    return obj.VerifyBody(key, *doc, hd.get(), static_cast<int32_t>(R));
  }

  void run(const EntryCase& c) {
    for (const char* s : c.on) info->set(s, true);
    if (!c.sql.empty()) sql(c.sql);
    obj.m_UseMode = c.mode;
    for (const auto& [name, value] : c.props) obj.put(name, value);
    if (!c.lines.empty()) headRow = with(headRow, c.head);
    EXPECT_EQ(c.lines.empty() ? verifyHead(c.key, c.head) : verifyBody(c.key, c.lines, c.R), c.verdict);
    if (c.reply.empty() && c.pairs == -1) {
      EXPECT_EQ(doc->replacements(), 0u) << doc->xml();
      return;
    }
    const Pairs got = pairsOf(*doc);
    if (c.pairs != kSome) {
      EXPECT_EQ(got.size(), c.pairs < 0 ? c.reply.size() : static_cast<size_t>(c.pairs));
    }
    auto at = got.begin();
    for (const Pair& p : c.reply) {
      at = std::find(at, got.end(), p);
      EXPECT_NE(at, got.end()) << p.first << "=" << p.second << " in " << doc->xml();
    }
  }

  Check obj;
  Attributes headRow;
  std::shared_ptr<Document> doc, hd;
};

}  // namespace tallyward::test
