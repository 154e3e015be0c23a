// Writes the seed corpora of the fuzz targets from the files of examples/:
//
//   fuzz_seeds EXAMPLES_DIR OUT_DIR
//
// OUT_DIR/whole_pass_fuzz   every example document, for each whole-voucher class, as a head and
//                           as a body, for a whole pass and for a field it carries
// OUT_DIR/field_entry_fuzz  every value the order field-entry examples type, under its key, for
//                           each field-entry class and method
// OUT_DIR/tsql_fuzz         the statements the order field-entry checks send for those examples,
//                           and the base statement of every reference list
// OUT_DIR/filter_fuzz       filters as the checks set them, and a few of every form
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include <pugixml.hpp>

#include "entry/reply.h"
#include "erp/reference_sql.h"
#include "fuzz_input.h"
#include "tallyward/classes.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"

using namespace tallyward;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) {
  std::ostringstream ss;
  ss << std::ifstream(p, std::ios::binary).rdbuf();
  return ss.str();
}

class Corpus {
 public:
  Corpus(const fs::path& out, const std::string& name) : dir_(out / name) { fs::create_directories(dir_); }
  void add(const std::string& bytes) {
    if (seen_.insert(bytes).second) std::ofstream(dir_ / ("seed-" + std::to_string(seen_.size())), std::ios::binary) << bytes;
  }
  size_t size() const { return seen_.size(); }

 private:
  fs::path dir_;
  std::set<std::string> seen_;
};

template <size_t N>
size_t indexOf(const std::array<std::string_view, N>& list, std::string_view s) {
  for (size_t i = 0; i < N; ++i)
    if (list[i] == s) return i;
  return 0;
}

// The z:row attributes of a document, in order.
std::vector<std::pair<std::string, std::string>> attributesOf(const std::string& xml) {
  std::vector<std::pair<std::string, std::string>> out;
  pugi::xml_document doc;
  if (!doc.load_string(xml.c_str())) return out;
  for (pugi::xpath_node n : doc.select_nodes("//*[local-name()='row']"))
    for (pugi::xml_attribute a : n.node().attributes()) out.emplace_back(a.name(), a.value());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: fuzz_seeds EXAMPLES_DIR OUT_DIR\n";
    return 2;
  }
  const fs::path examples = argv[1], out = argv[2];
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(examples))
    if (e.path().extension() == ".xml") files.push_back(e.path());
  std::sort(files.begin(), files.end());

  Corpus whole(out, "whole_pass_fuzz");
  for (const fs::path& f : files) {
    const std::string text = readText(f);
    const bool isHead = f.filename().string().find("head") != std::string::npos;
    for (uint8_t cls = 0; cls < fuzz::kWholeClasses.size(); ++cls)
      for (uint8_t mode : {0, 2}) {
        const uint8_t call = static_cast<uint8_t>((isHead ? 0 : 1) | mode | 4);
        whole.add(std::string{char(cls), char(call), char(indexOf(fuzz::kWholeKeys, "all")), char(2)} + text);
        // A single-field check of each field the document carries that a rule names.
        for (const auto& [name, value] : attributesOf(text))
          if (size_t k = indexOf(fuzz::kWholeKeys, name); k > 0)
            whole.add(std::string{char(cls), char(call), char(k), char(3)} + text);
      }
  }

  // Typed values: every value of the field-entry examples under its own key, and a few more the
  // demo company knows.
  Corpus entry(out, "field_entry_fuzz");
  std::vector<std::pair<std::string, std::string>> typed;
  for (const fs::path& f : files)
    if (f.filename().string().starts_with("hpo_"))
      for (const auto& a : attributesOf(readText(f))) typed.push_back(a);
  for (const auto& [k, v] : std::initializer_list<std::pair<const char*, const char*>>{
           {"cvenabbname", "V002"}, {"cvenabbname", "东方五金"}, {"cdepname", "0301"}, {"cpersonname", "张伟"},
           {"cpayname", "月结30天"}, {"cptname", "委外加工"}, {"cscname", "汽运"}, {"cexch_name", "美元"},
           {"cinvcode", "HD-GB06"}, {"cinvcode", "六角螺栓"}, {"cinva_unit", "箱"}, {"citem_class", "97"},
           {"cfree1", "x"}, {"all", ""}, {"cinvcode", "x' OR '1'='1"}})
    typed.emplace_back(k, v);
  for (uint8_t cls = 0; cls < fuzz::kEntryClasses.size(); ++cls)
    for (const auto& [key, value] : typed) {
      const size_t k = indexOf(fuzz::kEntryKeys, key);
      if (fuzz::kEntryKeys[k] != key) continue;
      for (uint8_t call : {0, 1, 5, 32}) entry.add(std::string{char(cls), char(call), char(k)} + value);
    }
  entry.add(std::string{0, 3, 0} + "CG2601001");
  entry.add(std::string{0, 3, 0} + "CG2601002");

  // The statements those checks send, on the demo company.
  Corpus sql(out, "tsql_fuzz");
  {
    const fs::path folder = fs::temp_directory_path() / ("tw_seeds_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string db = (folder / "demo.db").string();
    createErpDatabase(db, true, true);
    auto cnn = Connection::open(db);
    ScopedHostFactory host(std::make_shared<StandInHost>(cnn));
    for (const auto& [key, value] : typed) {
      ClsS_VerifyHPO hpo;
      hpo.m_Cnn = cnn;
      hpo.m_login = std::make_shared<StandInLogin>(cnn);
      hpo.clsInfor = defaultSession();
      auto head = Document::parse("<xml xmlns:z='#RowsetSchema'><z:row cvencode='V001' dpodate='2026-03-02' " + key + "='" + xmlEscape(value) + "'/></xml>");
      auto body = Document::parse("<xml xmlns:z='#RowsetSchema'><z:row editprop='A' cinvcode='P1001' iquantity='10' " + key + "='" + xmlEscape(value) + "'/></xml>");
      try { hpo.VerifyHead(key, *head); } catch (const Error&) {}
      hpo.VerifyBody(key, *body, head.get(), 1);
      hpo.bVerifyPoCode(value);
    }
    for (const std::string& s : cnn->statements()) sql.add(s);
    for (int vk = 0; vk <= 4; ++vk)
      for (int rk = 0; rk <= 17; ++rk) try {
          sql.add(BuildReferenceSql({.voucher = static_cast<VoucherKind>(vk), .list = static_cast<ReferenceKind>(rk),
                                     .cnn = cnn.get(), .venCode = "V001", .unitMode = "1", .invCode = "P1001",
                                     .billType = "wwpurbill", .depCode = "02"}));
        } catch (const Error&) {
        }
    cnn.reset();
    fs::remove_all(folder);
  }

  Corpus filters(out, "filter_fuzz");
  for (const char* f : {"cInvCode='A01'", "cInvCode='it''s'", "cInvName LIKE '*bolt*'", "iQuantity>=2.5 AND bService=True",
                        "(cInvCode='A01' OR cInvCode='B01') AND iQuantity<>0", "dSDate<#2026-02-01#", "cNote=Null",
                        "[cPrice]>3", "cInvCode<>'a02' OR cNote<>Null", "bService=False AND (iQuantity<0 OR cPrice='abc')"})
    filters.add(f);
  for (const auto& [key, value] : typed) filters.add("cInvCode='" + value + "'");

  std::cout << "seeds: " << whole.size() << " whole-pass, " << entry.size() << " field-entry, " << sql.size()
            << " statements, " << filters.size() << " filters\n";
  return 0;
}
