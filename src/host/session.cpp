// The session information object: the late-bound reader the checks use, the stand-in host's
// object, and the session read from a JSON file.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "host/host_text.h"
#include "tallyward/host.h"

namespace tallyward {

namespace {


bool sameName(std::string_view a, std::string_view b) {
  return DispatchTable<Object>::equalsNoCase(a, b);
}

[[noreturn]] void noSuchMember(std::string_view name) {
  throwError(err::NoSuchMember,
             "Object doesn't support this property or method: " + std::string(name));
}

}  // namespace

// ---- Reading a session information object -----------------------------------------------------------

Session Session::of(const std::shared_ptr<Object>& clsInfor) {
  if (!clsInfor)
    throwError(err::ObjectNotSet, "Object variable not set: clsInfor, the caller's context object");
  std::shared_ptr<Object> information = toObject(clsInfor->get("Information"));
  if (!information)
    throwError(err::ObjectNotSet,
               "Object variable not set: clsInfor.Information, the session information object");
  return Session(std::move(information));
}

Session::Session(std::shared_ptr<Object> information) : information_(std::move(information)) {
  if (!information_)
    throwError(err::ObjectNotSet, "Object variable not set: the session information object");
}

Variant Session::member(std::string_view name) const { return information_->get(name); }

bool Session::isOn(std::string_view name) const {
  Variant v = member(name);
  if (v.isNull() || v.isEmpty()) return false;
  return toBoolean(v);
}

std::string Session::OperaterCode() const { return toText(member("OperaterCode")); }

Variant Session::BeginDate(int32_t period) const {
  return information_->call("BeginDate", {Variant(static_cast<int>(period))});
}

Variant Session::EndDate(int32_t period) const {
  return information_->call("EndDate", {Variant(static_cast<int>(period))});
}

// ---- The stand-in host's session objects ---------------------------------------------------------------

namespace {
// Members are numbered from 1 in the order they were first set; the two period members have
// numbers of their own.
constexpr DispId kBeginDateId = 0x1000;
constexpr DispId kEndDateId = 0x1001;
}  // namespace

SessionInformation::Entry* SessionInformation::find(std::string_view name) {
  for (Entry& e : members_)
    if (sameName(e.name, name)) return &e;
  return nullptr;
}

const SessionInformation::Entry* SessionInformation::find(std::string_view name) const {
  for (const Entry& e : members_)
    if (sameName(e.name, name)) return &e;
  return nullptr;
}

void SessionInformation::set(std::string_view name, Variant value) {
  if (sameName(name, "BeginDate") || sameName(name, "EndDate"))
    throwError(err::InvalidArgument,
               std::string(name) + " takes a period number: set it with setBeginDate or setEndDate");
  if (name.empty()) throwError(err::InvalidArgument, "A session member needs a name");
  if (Entry* e = find(name)) {
    e->value = std::move(value);
    e->present = true;
    return;
  }
  members_.push_back({std::string(name), std::move(value), true});
}

void SessionInformation::remove(std::string_view name) {
  if (sameName(name, "BeginDate")) beginDates_.reset();
  else if (sameName(name, "EndDate")) endDates_.reset();
  else if (Entry* e = find(name)) {
    e->present = false;
    e->value = Variant();
  }
}

bool SessionInformation::has(std::string_view name) const {
  if (sameName(name, "BeginDate")) return beginDates_.has_value();
  if (sameName(name, "EndDate")) return endDates_.has_value();
  const Entry* e = find(name);
  return e && e->present;
}

void SessionInformation::setBeginDate(int32_t period, Variant date) {
  if (!beginDates_) beginDates_.emplace();
  (*beginDates_)[period] = std::move(date);
}

void SessionInformation::setEndDate(int32_t period, Variant date) {
  if (!endDates_) endDates_.emplace();
  (*endDates_)[period] = std::move(date);
}

DispId SessionInformation::GetIDsOfNames(std::string_view name) const {
  if (sameName(name, "BeginDate") && beginDates_) return kBeginDateId;
  if (sameName(name, "EndDate") && endDates_) return kEndDateId;
  for (size_t i = 0; i < members_.size(); ++i)
    if (members_[i].present && sameName(members_[i].name, name)) return static_cast<DispId>(i + 1);
  noSuchMember(name);
}

Variant SessionInformation::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  if (kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef)
    throwError(err::NoSuchMember, "The members of the session information object are read-only");
  if (id == kBeginDateId || id == kEndDateId) {
    const char* name = id == kBeginDateId ? "BeginDate" : "EndDate";
    const auto& dates = id == kBeginDateId ? beginDates_ : endDates_;
    if (!dates) noSuchMember(name);
    requireArgs(args, 1, name);
    const int32_t period = toLong(args[0]);
    auto it = dates->find(period);
    if (it == dates->end())
      throwError(err::SubscriptOutOfRange, std::string("Subscript out of range: the session has no ") +
                                           name + " for accounting period " +
                                           std::to_string(period));
    return it->second;
  }
  if (id < 1 || static_cast<size_t>(id) > members_.size() || !members_[id - 1].present)
    throwError(err::NoSuchMember, "No member with dispatch identifier " + std::to_string(id));
  const Entry& e = members_[id - 1];
  for (const Variant& a : args)
    if (!a.isMissing())
      throwError(err::InvalidArgument, "Wrong number of arguments: " + e.name + " takes none");
  return e.value;
}

DispId SessionContext::GetIDsOfNames(std::string_view name) const {
  if (sameName(name, "Information")) return 1;
  noSuchMember(name);
}

Variant SessionContext::Invoke(DispId id, InvokeKind kind, std::span<Variant>) {
  if (id != 1) throwError(err::NoSuchMember, "No member with dispatch identifier " + std::to_string(id));
  if (kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef)
    throwError(err::NoSuchMember, "Information is read-only");
  return Variant(information_);
}

// ---- Sessions from JSON ---------------------------------------------------------------------------

namespace {

using json = nlohmann::json;

enum class MemberKind { Text, Switch, Date, Number, Periods };

struct MemberDef {
  std::string_view name;
  MemberKind kind;
};

constexpr MemberDef kMembers[] = {
    {"OperaterCode", MemberKind::Text},       {"bCheckInvAuth", MemberKind::Switch},
    {"bCheckVendorAuth", MemberKind::Switch}, {"bCheckDepartAuth", MemberKind::Switch},
    {"bCheckPersonAuth", MemberKind::Switch}, {"bQMStart", MemberKind::Switch},
    {"bPTHavePO", MemberKind::Switch},        {"bSTHavePO", MemberKind::Switch},
    {"bOriginal", MemberKind::Switch},        {"startdate", MemberKind::Date},
    {"CurAccountID", MemberKind::Text},       {"TheYear", MemberKind::Number},
    {"BeginDate", MemberKind::Periods},       {"EndDate", MemberKind::Periods},
};

const MemberDef* findDef(std::string_view name) {
  for (const MemberDef& m : kMembers)
    if (sameName(m.name, name)) return &m;
  return nullptr;
}

std::string knownNames() {
  std::string s;
  for (const MemberDef& m : kMembers) {
    if (!s.empty()) s += ", ";
    s += m.name;
  }
  return s;
}

[[noreturn]] void bad(const std::string& origin, const std::string& reason) {
  throwError(err::InvalidArgument, origin + ": " + reason);
}

Variant dateFrom(const json& v, const std::string& origin, const std::string& where) {
  if (v.is_null()) return Variant::null();
  if (!v.is_string()) bad(origin, where + " must be a date text such as \"2026-01-01\"");
  const std::string& text = v.get_ref<const std::string&>();
  try {
    return Variant(Date{host::dateValueOf(Variant(text), where)});
  } catch (const Error&) {
    bad(origin, where + ": \"" + text + "\" is not a date (yyyy-mm-dd)");
  }
}

int32_t periodNumber(const std::string& key, const std::string& origin, const std::string& where) {
  int32_t n = 0;
  auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), n);
  if (key.empty() || ec != std::errc() || end != key.data() + key.size() || n < 1)
    bad(origin, where + ": \"" + key + "\" is not a period number (1, 2, ...)");
  return n;
}

void readMember(SessionInformation& info, const MemberDef& def, const json& v,
                const std::string& origin) {
  const std::string name(def.name);
  switch (def.kind) {
    case MemberKind::Text:
      if (v.is_null()) return info.set(name, Variant::null());
      if (!v.is_string()) bad(origin, name + " must be a text");
      return info.set(name, Variant(v.get<std::string>()));
    case MemberKind::Switch:
      if (v.is_null()) return info.set(name, Variant::null());
      if (!v.is_boolean()) bad(origin, name + " must be true or false");
      return info.set(name, Variant(v.get<bool>()));
    case MemberKind::Date:
      return info.set(name, dateFrom(v, origin, name));
    case MemberKind::Number: {
      if (v.is_null()) return info.set(name, Variant::null());
      if (!v.is_number()) bad(origin, name + " must be a whole number");
      const double d = v.get<double>();
      if (d != std::floor(d) || d < std::numeric_limits<int32_t>::min() ||
          d > std::numeric_limits<int32_t>::max())
        bad(origin, name + " must be a whole number");
      return info.set(name, Variant(static_cast<int>(d)));
    }
    case MemberKind::Periods: {
      if (!v.is_object())
        bad(origin, name + " must be an object from period number to date, such as {\"1\": \"2026-01-01\"}");
      std::map<int32_t, Variant> dates;
      for (const auto& [key, date] : v.items()) {
        const std::string where = name + "[" + key + "]";
        const int32_t p = periodNumber(key, origin, where);
        if (dates.count(p)) bad(origin, where + ": period " + std::to_string(p) + " is given twice");
        dates[p] = dateFrom(date, origin, where);
      }
      if (sameName(def.name, "BeginDate")) info.setBeginDates(std::move(dates));
      else info.setEndDates(std::move(dates));
      return;
    }
  }
}

std::string parserReason(const char* what) {
  // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without the tag.
  std::string_view s(what);
  if (s.starts_with("[json.exception.")) {
    const auto close = s.find("] ");
    if (close != std::string_view::npos) s.remove_prefix(close + 2);
  }
  return std::string(s);
}

}  // namespace

std::shared_ptr<Object> sessionFromJson(std::string_view jsonText, const std::string& origin) {
  json doc;
  try {
    doc = json::parse(jsonText.begin(), jsonText.end());
  } catch (const json::exception& e) {
    bad(origin, "not valid JSON: " + parserReason(e.what()));
  }
  if (!doc.is_object())
    bad(origin, "must hold a JSON object whose members are the session's members (" +
                    knownNames() + ")");
  auto info = std::make_shared<SessionInformation>();
  std::vector<const MemberDef*> seen;
  for (const auto& [key, value] : doc.items()) {
    const MemberDef* def = findDef(key);
    if (!def) bad(origin, "unknown member \"" + key + "\" (the members are " + knownNames() + ")");
    for (const MemberDef* s : seen)
      if (s == def) bad(origin, "member " + std::string(def->name) + " is given twice");
    seen.push_back(def);
    readMember(*info, *def, value, origin);
  }
  return std::make_shared<SessionContext>(std::move(info));
}

std::shared_ptr<Object> loadSession(const std::string& jsonPath) {
  const std::string origin = "session file " + jsonPath;
  std::error_code ec;
  if (std::filesystem::is_directory(jsonPath, ec)) bad(origin, "cannot be read: it is a folder");
  std::ifstream in(jsonPath, std::ios::binary);
  if (!in) bad(origin, std::string("cannot be read: ") + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) bad(origin, "cannot be read");
  return sessionFromJson(text.str(), origin);
}

std::shared_ptr<Object> defaultSession() {
  auto info = std::make_shared<SessionInformation>();
  info->set("OperaterCode", "demo");
  for (const MemberDef& m : kMembers)
    if (m.kind == MemberKind::Switch) info->set(m.name, false);
  info->set("startdate", Date{host::dateValueOf(Variant("2026-01-01"), "startdate")});
  info->set("CurAccountID", "001");
  info->set("TheYear", 2026);
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    char first[16], last[16];
    std::snprintf(first, sizeof first, "2026-%02d-01", m);
    std::snprintf(last, sizeof last, "2026-%02d-%02d", m, kDays[m - 1]);
    info->setPeriod(m, Date{host::dateValueOf(Variant(first), "BeginDate")},
                    Date{host::dateValueOf(Variant(last), "EndDate")});
  }
  return std::make_shared<SessionContext>(std::move(info));
}

}  // namespace tallyward
