// The schema: tables and columns the checks and the stand-in host read, the type conventions
// the driver relies on, and indexes under every look-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "schema/sqlite_file.h"
#include "schema/statements.h"
#include "tallyward/erp_database.h"

namespace tallyward::test {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct Column {
  std::string table, name, type, collation;
  bool notNull, hasDefault;
  int pk;
};

class Schema : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempFolder>();
    createErpDatabase(dir_->file("schema.db"), false, false);
    db_ = std::make_unique<SqliteFile>(dir_->file("schema.db"));
  }
  static void TearDownTestSuite() {
    db_.reset();
    dir_.reset();
  }

  static std::vector<Column> columns(const std::string& table) {
    std::vector<Column> result;
    for (const Row& r : db_->rows("PRAGMA table_info('" + table + "')")) {
      Column c{table, r[1], r[2], "", r[3] == "1", r[4] != "NULL", std::stoi(r[5])};
      const char* type = nullptr;
      const char* collation = nullptr;
      sqlite3_table_column_metadata(db_->handle(), "main", table.c_str(), c.name.c_str(), &type, &collation,
                                    nullptr, nullptr, nullptr);
      c.collation = collation ? collation : "";
      result.push_back(c);
    }
    return result;
  }

  static std::vector<Column> everyColumn() {
    std::vector<Column> all;
    for (const std::string& t : db_->tables()) {
      auto cs = columns(t);
      all.insert(all.end(), cs.begin(), cs.end());
    }
    return all;
  }

  static const Column* find(const std::vector<Column>& cs, const std::string& name) {
    for (const Column& c : cs)
      if (lower(c.name) == lower(name)) return &c;
    return nullptr;
  }

  // True when an index (or the integer primary key) has exactly these leading columns, with the
  // columns' own collation so that a comparison of the column can use it.
  static bool indexed(const std::string& table, const std::vector<std::string>& keys) {
    const auto cs = columns(table);
    if (keys.size() == 1) {
      const Column* c = find(cs, keys[0]);
      if (c && c->pk == 1 && c->type == "INTEGER" &&
          std::count_if(cs.begin(), cs.end(), [](const Column& x) { return x.pk > 0; }) == 1)
        return true;
    }
    for (const Row& index : db_->rows("PRAGMA index_list('" + table + "')")) {
      const auto parts = db_->rows("PRAGMA index_xinfo('" + index[1] + "')");
      bool matches = parts.size() >= keys.size();
      for (size_t i = 0; matches && i < keys.size(); ++i) {
        const Column* c = find(cs, keys[i]);
        matches = c && lower(parts[i][2]) == lower(keys[i]) &&
                  lower(parts[i][4]) == lower(c->collation.empty() ? "BINARY" : c->collation);
      }
      if (matches) return true;
    }
    return false;
  }

  static std::unique_ptr<TempFolder> dir_;
  static std::unique_ptr<SqliteFile> db_;
};

std::unique_ptr<TempFolder> Schema::dir_;
std::unique_ptr<SqliteFile> Schema::db_;

TEST_F(Schema, EveryStatementOfTheChecksIsAccepted) {
  for (const auto& s : sql::everyStatement()) EXPECT_EQ(db_->prepareError(s.sql), "") << s.what << "\n" << s.sql;
}

TEST_F(Schema, LookUpsAreServedByIndexes) {
  for (const auto& s : sql::everyStatement()) {
    if (std::string(s.mayScan) == "*") continue;
    for (const Row& step : db_->rows("EXPLAIN QUERY PLAN " + s.sql)) {
      const std::string& detail = step[3];
      if (detail.rfind("SCAN ", 0) != 0) continue;
      const std::string scanned = detail.substr(5, detail.find(' ', 5) - 5);
      EXPECT_EQ(lower(scanned), lower(s.mayScan)) << s.what << " reads a table whole: " << detail;
    }
  }
}

TEST_F(Schema, StandInHostTablesHaveTheirColumns) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> contract = {
      {"tw_data_right", {"cOperator", "cKind", "cCode", "cRight"}},
      {"tw_price", {"cVenCode", "cInvCode", "cexch_name", "dFrom", "dTo", "fMinQuantity", "iUnitPrice", "iTaxRate"}},
      {"tw_inspection", {"cVenCode", "cInvCode"}},
      {"PayCondition", {"cPayCode", "cPayName", "iPayCreDays"}},
      {"ua_period", {"cacc_id", "iyear", "iID", "dBegin", "dEnd"}},
      {"Inventory", {"cInvCode", "cInvName", "cInvAddCode", "iGroupType", "cGroupCode"}},
      {"venandinv", {"cInvCode", "cVenCode", "cVenInvCode"}},
  };
  for (const auto& [table, names] : contract) {
    const auto cs = columns(table);
    ASSERT_FALSE(cs.empty()) << "no table " << table;
    for (const auto& n : names) EXPECT_NE(find(cs, n), nullptr) << table << "." << n;
  }
}

TEST_F(Schema, FlagsTheChecksReadAreDeclaredBit) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> flags = {
      {"Inventory", {"bfree1", "bfree2", "bfree3", "bfree4", "bfree5", "bfree6", "bfree7", "bfree8", "bfree9",
                     "bfree10", "bInvBatch", "bInvQuality", "bPropertyCheck", "bInvType", "bService",
                     "bPurchase", "bInvEntrust", "bProxyForeign"}},
      {"Department", {"bDepEnd"}},
      {"gl_mend", {"bflag_om"}},
      {"ComputationUnit", {"bMainUnit"}},
      {"fitemss97", {"bclose"}},
      {"fitemss98", {"bclose"}},
  };
  for (const auto& [table, names] : flags) {
    const auto cs = columns(table);
    for (const auto& n : names) {
      const Column* c = find(cs, n);
      ASSERT_NE(c, nullptr) << table << "." << n;
      EXPECT_EQ(c->type, "BIT") << table << "." << n;
    }
  }
}

// The driver converts by declared type, so the type must follow the ERP's name prefixes: b flag,
// c text, d date, i/f/n number.
TEST_F(Schema, ColumnTypesFollowTheNamePrefix) {
  for (const Column& c : everyColumn()) {
    const std::string where = c.table + "." + c.name + " " + c.type;
    switch (c.name[0]) {
      case 'b': EXPECT_EQ(c.type, "BIT") << where; break;
      case 'c': EXPECT_EQ(c.type, "TEXT") << where; break;
      case 'd': EXPECT_EQ(c.type, "DATETIME") << where; break;
      case 'i': case 'f': case 'n':
        EXPECT_TRUE(c.type == "INTEGER" || c.type == "REAL") << where;
        break;
      default: break;
    }
    if (c.type == "TEXT") {
      EXPECT_EQ(c.collation, "NOCASE") << where;
    }
    EXPECT_TRUE(c.type == "TEXT" || c.type == "BIT" || c.type == "DATETIME" || c.type == "INTEGER" ||
                c.type == "REAL")
        << where;
  }
}

// A test may insert a row naming only the key: every other column is nullable or defaulted.
TEST_F(Schema, ARowNeedsOnlyItsKey) {
  db_->rows("SAVEPOINT keys");
  for (const std::string& t : db_->tables()) {
    std::string names, values;
    for (const Column& c : columns(t)) {
      if (c.notNull && !c.hasDefault) {
        EXPECT_GT(c.pk, 0) << t << "." << c.name << " is required but not part of the key";
      }
      if (c.pk > 0) {
        names += (names.empty() ? "" : ",") + c.name;
        values += (values.empty() ? "" : ",") + std::string(c.type == "INTEGER" ? "1" : "'K'");
      }
    }
    const std::string insert = names.empty() ? "INSERT INTO " + t + " DEFAULT VALUES"
                                             : "INSERT INTO " + t + " (" + names + ") VALUES (" + values + ")";
    db_->rows(insert);
  }
  db_->rows("ROLLBACK TO keys");
  db_->rows("RELEASE keys");
}

// Each column (or leading group of columns) that a look-up compares with =, one entry per OR
// branch, must lead an index.
TEST_F(Schema, LookUpKeysLeadAnIndex) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> keys = {
      {"accinformation", {"cSysID", "cName"}},  {"accinformation", {"cName"}},
      {"ua_period", {"cacc_id", "iyear"}},       {"gl_mend", {"bflag_om"}},
      {"Vendor", {"cVenCode"}},                  {"Vendor", {"cVenAbbName"}},
      {"Department", {"cDepCode"}},              {"Department", {"cDepName"}},
      {"Person", {"cPersonCode"}},               {"Person", {"cPersonName"}},
      {"PayCondition", {"cPayCode"}},            {"PayCondition", {"cPayName"}},
      {"PurchaseType", {"cPTCode"}},             {"PurchaseType", {"cPTName"}},
      {"ShippingChoice", {"cSCCode"}},           {"ShippingChoice", {"cSCName"}},
      {"WareHouse", {"cWhCode"}},                {"WareHouse", {"cWhName"}},
      {"AccountPeriod", {"cAccountPID"}},        {"AccountPeriod", {"cAccountPName"}},
      {"Inventory", {"cInvCode"}},               {"Inventory", {"cInvName"}},
      {"Inventory", {"cInvAddCode"}},            {"Inventory", {"cGroupCode"}},
      {"venandinv", {"cInvCode", "cVenCode"}},   {"venandinv", {"cVenInvCode", "cVenCode"}},
      {"ComputationUnit", {"cComUnitCode"}},     {"ComputationUnit", {"cComUnitName"}},
      {"ComputationUnit", {"cGroupCode"}},       {"ForeignCurrency", {"cexch_name"}},
      {"ForeignCurrency", {"cexch_code"}},       {"exch", {"cexch_name", "itype", "cdate"}},
      {"exch", {"itype", "cdate"}},              {"fItem", {"cItem_Class"}},
      {"fitemss97", {"cItemCode"}},              {"fitemss98", {"cItemCode"}},
      {"UserDefine", {"cID", "cValue"}},         {"UserDefine", {"cID", "cAlias"}},
      {"PO_Pomain", {"cPOID"}},                  {"PO_Pomain", {"POID"}},
      {"PO_Pomain", {"cVenCode"}},               {"PO_Pomain", {"cPeriod"}},
      {"PO_Podetails", {"cInvCode"}},            {"PU_ArrivalVouch", {"ID"}},
      {"PU_ArrivalVouch", {"cVenCode"}},         {"PU_ArrivalVouchs", {"cInvCode"}},
      {"PurBillVouch", {"PBVID"}},               {"PurBillVouch", {"cVenCode"}},
      {"PurBillVouchs", {"cInvCode"}},           {"OM_PurBillVouch", {"PBVID"}},
      {"OM_PurBillVouch", {"cVenCode"}},         {"OM_PurBillVouchs", {"cInvCode"}},
      {"OM_ProductPO", {"ID"}},                  {"OM_ProductPO", {"cVenCode"}},
      {"OM_POMain", {"cInvCode"}},               {"tw_data_right", {"cOperator", "cKind", "cCode"}},
      {"tw_price", {"cVenCode", "cInvCode", "cexch_name"}},
      {"tw_inspection", {"cVenCode", "cInvCode"}},
  };
  for (const auto& [table, cols] : keys) {
    std::string names;
    for (const auto& c : cols) names += " " + c;
    EXPECT_TRUE(indexed(table, cols)) << table << ":" << names;
  }
}

// The index check itself must tell a missing or unusable index apart.
TEST_F(Schema, IndexCheckSeesMissingAndMiscollatedIndexes) {
  db_->rows("SAVEPOINT probe");
  db_->rows("CREATE TABLE probe_t (cCode TEXT COLLATE NOCASE, cName TEXT COLLATE NOCASE, cOther TEXT COLLATE NOCASE)");
  db_->rows("CREATE INDEX probe_binary ON probe_t (cName COLLATE BINARY)");
  db_->rows("CREATE INDEX probe_pair ON probe_t (cOther, cCode)");
  EXPECT_FALSE(indexed("probe_t", {"cCode"}));
  EXPECT_FALSE(indexed("probe_t", {"cName"}));
  EXPECT_TRUE(indexed("probe_t", {"cOther"}));
  EXPECT_FALSE(indexed("probe_t", {"cCode", "cOther"}));
  db_->rows("ROLLBACK TO probe");
  db_->rows("RELEASE probe");
}

}  // namespace
}  // namespace tallyward::test
