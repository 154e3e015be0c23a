// A field-entry check on a real ERP database: a fresh SQLite file (temp_database.h) with the
// schema and the settings the checks read, the rows a test inserts, the stand-in host and a session
// whose switches a test turns on. A class's fixture derives from ErpDatabaseTest and hands `cnn`
// and `context()` to its object.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/database_route.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/host.h"

namespace tallyward::test {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The K and V of each R element of a reply loaded into a document, in order.
inline Pairs pairsOf(const Document& doc) {
  Pairs out;
  for (pugi::xml_node r : doc.dom().document_element().children("R"))
    out.emplace_back(r.attribute("K").value(), r.attribute("V").value());
  return out;
}

// A reply text written out by hand: the header, the tag, one R element per pair, each line ended
// by a carriage return, the closing tag.
inline std::string replyText(std::string_view tag, const Pairs& pairs) {
  std::string s = "<?xml version='1.0' encoding='GB2312'?>\r<" + std::string(tag) + ">\r";
  for (const auto& [k, v] : pairs) s += "<R K='" + k + "' V='" + v + "'/>\r";
  return s + "</" + std::string(tag) + ">";
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

  // Runs statements on the database file (the component's connection only reads).
  void sql(const std::string& statements) { db_.sql(statements); }
  // The master data that head look-ups find: a leaf department 01 采购部 and a parent 03 生产中心,
  // salesman 0001 王磊 of 01, payment condition, purchase type and shipping method 01, the currency
  // 美元 (USD) with a daily rate on 2026-03-02 and a rate for period 3 (March 2026).
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

  void setting(const std::string& name, const std::string& value) {
    sql("UPDATE accinformation SET cValue='" + value + "' WHERE cName='" + name + "'");
  }

  // Grants the session's operator (demo) the right to enter one code of a kind.
  void grant(const std::string& kind, const std::string& code) {
    sql("INSERT INTO tw_data_right VALUES ('demo', '" + kind + "', '" + code + "', 'W')");
  }

  std::vector<std::string> sent() const { return cnn->statements(); }
  bool sentContaining(std::string_view piece) const {
    for (const std::string& s : sent())
      if (s.find(piece) != std::string::npos) return true;
    return false;
  }

  TempDatabase db_;
  const std::string& path_ = db_.path();
  ScopedHostFactory host_{std::make_shared<StandInHost>()};
  std::shared_ptr<Connection> cnn = Connection::open(connectionTo(path_));
  std::shared_ptr<SessionInformation> info = std::make_shared<SessionInformation>();

  // The caller's context object, whose Information is `info`.
  std::shared_ptr<Object> context() const { return std::make_shared<SessionContext>(info); }
};

// A data right of a look-up: the switch that enforces it, the entry typed and the right it needs.
struct DataRightCase {
  const char* name;
  const char* key;
  const char* typed;
  const char* sessionSwitch;
  const char* kind;
  const char* code;
  const char* refusal;      // of a single-field check (on row 5 for a line)
  const char* passVerdict;  // of a BS whole pass
};

// A host whose data-right service counts how often it is created, and is otherwise the stand-in.
inline std::shared_ptr<StandInHost> countingHost(std::shared_ptr<Connection> db, int& created) {
  auto host = std::make_shared<StandInHost>(db);
  auto inner = std::make_shared<StandInHost>(db);
  host->define(hostclass::kDataRight, [inner, &created] {
    ++created;
    return inner->create(hostclass::kDataRight);
  });
  return host;
}

}  // namespace tallyward::test
