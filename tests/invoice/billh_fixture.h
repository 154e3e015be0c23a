// The invoice's field-entry class on a real ERP database: accounting periods 1 to 12 of 2026 in
// the session, January and February closed for outsourcing, the stand-in login for due dates.
#pragma once

#include <algorithm>
#include <string>

#include "support/erp_fixture.h"

namespace tallyward::test {

using Pair = std::pair<std::string, std::string>;

class BillhTest : public ErpDatabaseTest {
 protected:
  BillhTest() {
    billh.m_Cnn = cnn;
    billh.clsInfor = context();
    billh.m_login = std::make_shared<StandInLogin>(cnn);
    info->set("startdate", Date{day("2026-01-01")});
    for (int m = 1; m <= 12; ++m) {
      const double first = day("2026-" + std::to_string(m) + "-1");
      info->setPeriod(m, Date{first}, Date{(m == 12 ? day("2027-1-1") : day("2026-" + std::to_string(m + 1) + "-1")) - 1});
    }
    for (const char* s : {"bPTHavePO", "bOriginal"}) info->set(s, false);
    sql("INSERT INTO gl_mend (iperiod, bflag_om) VALUES (1, 1), (2, 1), (3, 0), (4, 0)");
  }
  ~BillhTest() override { billh.m_Cnn.reset(); }

  static double day(const std::string& text) {
    double d = 0;
    parseDate(text, d);
    return d;
  }

  // The reply loaded into `doc` has `pairs` pairs (-1: exactly `reply`) and carries `reply` in this
  // order; with neither, the document was left as it was.
  static void expectReply(const Document& doc, const Pairs& reply, int pairs) {
    if (reply.empty() && pairs < 0) {
      EXPECT_EQ(doc.replacements(), 0u);
      return;
    }
    const Pairs got = pairsOf(doc);
    EXPECT_EQ(got.size(), pairs < 0 ? reply.size() : static_cast<size_t>(pairs));
    auto at = got.begin();
    for (const Pair& p : reply) {
      at = std::find(at, got.end(), p);
      EXPECT_NE(at, got.end()) << p.first << "=" << p.second;
    }
  }

  ClsS_VerifyBillH billh;
};

}  // namespace tallyward::test
