// A field-entry check on the demo company, as a screen calls it when the user leaves a field: the
// class, the method, the mode, the switches, the key and the typed value chosen by the fuzzer (see
// fuzz_input.h), for each of the four field-entry classes. A run-time error is an answer;
// anything else that escapes, or a sanitizer's report, is a finding.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "entry/reply.h"
#include "fuzz_input.h"
#include "tallyward/classes.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"
#include "tallyward/registry.h"

using namespace tallyward;

namespace {

struct Demo {
  std::filesystem::path folder;
  std::shared_ptr<Connection> cnn;
  std::shared_ptr<Object> session, strictSession;
};

Demo* gDemo = nullptr;

void removeDemo() {
  std::error_code ec;
  std::filesystem::remove_all(gDemo->folder, ec);
}

// The demo company in a temporary folder, one connection to it for every check (as a screen keeps
// one), the stand-in host on that connection.
void setUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tw_fuzz_XXXXXX").string();
  if (!mkdtemp(pattern.data())) abort();
  gDemo = new Demo{pattern, nullptr, nullptr, nullptr};
  const std::string path = (gDemo->folder / "demo.db").string();
  createErpDatabase(path, true, false);
  atexit(removeDemo);
  gDemo->cnn = Connection::open(path);
  setHostFactory(std::make_shared<StandInHost>(gDemo->cnn));
  gDemo->session = defaultSession();
  // Every right enforced, for an operator who holds the demo company's rights.
  auto strict = std::make_shared<SessionInformation>();
  strict->set("OperaterCode", "demo");
  for (const char* s : {"bCheckInvAuth", "bCheckVendorAuth", "bCheckDepartAuth", "bCheckPersonAuth", "bQMStart",
                        "bPTHavePO", "bSTHavePO", "bOriginal"})
    strict->set(s, true);
  strict->set("CurAccountID", "001");
  strict->set("TheYear", 2026);
  strict->set("startdate", "2026-01-01");
  strict->setPeriod(1, Variant("2026-01-01"), Variant("2026-01-31"));
  strict->setPeriod(3, Variant("2026-03-01"), Variant("2026-03-31"));
  gDemo->strictSession = std::make_shared<SessionContext>(strict);
}

// A document of one row with the demo's fields and, where the key names a field, the typed value.
template <size_t N>
std::shared_ptr<Document> row(const std::array<std::pair<std::string_view, std::string_view>, N>& fields,
                              std::string_view key, std::string_view value) {
  std::string lower(key);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  std::string xml = "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data><z:row";
  bool placed = false;
  for (const auto& [name, v] : fields) {
    const bool typed = name == lower;
    placed |= typed;
    xml += " " + std::string(name) + "='" + xmlEscape(typed ? value : v) + "'";
  }
  // A key that names no field of the row: the value still goes into a field of that name, when it
  // can be one.
  bool nameOk = !lower.empty() && lower != "all";
  for (char c : lower) nameOk &= (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  if (!placed && nameOk) xml += " " + lower + "='" + xmlEscape(value) + "'";
  return Document::parse(xml + "/></rs:data></xml>");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < fuzz::kEntryHeader) return 0;
  const uint8_t cls = data[0], call = data[1], keyByte = data[2];
  std::string_view rest(reinterpret_cast<const char*>(data) + fuzz::kEntryHeader, size - fuzz::kEntryHeader);
  std::string_view key, value = rest;
  if (keyByte < fuzz::kEntryKeys.size()) {
    key = fuzz::kEntryKeys[keyByte];
  } else {
    const size_t lf = rest.find('\n');
    key = rest.substr(0, lf);
    value = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
  }
  // Values reach the checks from documents, where XML cannot carry every byte.
  std::shared_ptr<Document> head, body;
  try {
    head = row(fuzz::kDemoHead, key, value);
    body = row(fuzz::kDemoLine, key, value);
  } catch (const Error&) {
    return 0;
  }

  const std::string_view className = fuzz::kEntryClasses[cls % fuzz::kEntryClasses.size()];
  std::shared_ptr<Object> check = createObject(className);
  try {
    check->putRef("m_Cnn", Variant(gDemo->cnn));
    check->putRef("m_login", Variant(std::make_shared<StandInLogin>(gDemo->cnn)));
    check->putRef("clsInfor", Variant(call >> 5 & 1 ? gDemo->strictSession : gDemo->session));
    check->put("m_UseMode", Variant(call >> 2 & 1));
    if (className == "ClsS_VerifyArriveH") check->put("m_bPositive", Variant(bool(call >> 3 & 1)));
    if (className == "ClsS_VerifyBillH") check->put("sBillType", Variant(call >> 4 & 1 ? "wwpurbill" : ""));
    std::vector<Variant> args;
    switch (call & 3) {
      case 0:
        args = {Variant(key), Variant(head)};
        (void)check->call("VerifyHead", std::span<Variant>(args));
        break;
      case 1:
      case 2:
        args = {Variant(key), Variant(body), (call & 3) == 1 ? Variant(head) : Variant::missing(), Variant(1)};
        (void)check->call("VerifyBody", std::span<Variant>(args));
        break;
      default:
        args = {Variant(value)};
        if (className == "ClsS_VerifyHPO") (void)check->call("bVerifyPoCode", std::span<Variant>(args));
        break;
    }
    (void)head->xml();
    (void)body->xml();
  } catch (const Error&) {
  }
  return 0;
}
