// The ERP host's services as the field-entry checks reach them, and the stand-ins that serve when
// the host is absent.
//
// A real host supplies its own classes through a HostFactory (as COM creates a class by CLSID);
// the checks only call the operations below, in the order the ERP calls them:
//
//   Session s = Session::of(clsInfor);                       // clsInfor.Information
//   if (s.bCheckVendorAuth() &&
//       !askDataRight(m_Cnn, s.OperaterCode(), rightkind::Vendor, code)) ...refuse
//   std::optional<PriceProposal> p = askPrice(m_login, clsInfor, m_Cnn, query);
//   bool inspected = askGspIsTrue(vendorCode, itemCode, m_Cnn);
//   std::string due = askDueDate(calculator, m_login, accountPeriodId, dpbvdate, payName);
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tallyward/database.h"
#include "tallyward/object.h"

namespace tallyward {

// ---- Class identifiers of the host's classes ------------------------------------------------------

namespace hostclass {
// The data-right service and its early-bound interface.
inline constexpr std::string_view kDataRight = "{6CE07372-B4F9-41F7-A7D1-4DEA50638ACE}";
inline constexpr std::string_view kDataRightInterface = "{BEAFBAA8-A68C-450F-8E65-38492A507CAF}";
// The price service, its interface, the interface of its price answer, and the interface through
// which it receives the caller's context object.
inline constexpr std::string_view kPriceService = "{C41A6AAC-0290-45D9-A36A-25BC45FA8C01}";
inline constexpr std::string_view kPriceServiceInterface = "{BEB4AE8F-E98B-48CC-9819-D2786279B938}";
inline constexpr std::string_view kPriceAnswerInterface = "{2FC92BE5-7740-459C-AD3D-B1C3974B0CC7}";
inline constexpr std::string_view kContextInterface = "{AB7A9A2B-47FB-4D29-837B-60DE1767D14D}";
// The purchasing module's quality-control component, created by ProgID and called late-bound.
inline constexpr std::string_view kQualityControl = "Marrowby_Pu.clsMarrowby_Pu";
// The invoice due-date calculator (the ERP names no identifier of its own for it).
inline constexpr std::string_view kDueDateCalculator = "DueDateCalculator";
}  // namespace hostclass

// Object kinds that the data-right service knows, and the right of entering.
namespace rightkind {
inline constexpr std::string_view Inventory = "Inventory";
inline constexpr std::string_view Vendor = "Vendor";
inline constexpr std::string_view Department = "Department";
inline constexpr std::string_view Person = "Person";
inline constexpr std::string_view Enter = "W";
}  // namespace rightkind

// ---- Interfaces that a host implements --------------------------------------------------------------
// Each is also an Object, so that a factory can hand it out by identifier; each has a late-bound
// face with members of the same names.

// Says whether an operator may use a master-data entry.
class DataRightService : public Object {
 public:
  // Opens the service on the ERP database for an operator. The two numbers are passed as 0; the
  // result is not looked at by the checks.
  virtual bool initialise(const std::string& connectionString, const std::string& operatorCode,
                          int32_t reserved1, int32_t reserved2) = 0;
  // True when the operator holds `right` ("W": entering) on the entry `code` of `kind`
  // ("Inventory", "Vendor", "Department", "Person"). The number is passed as 0.
  virtual bool checkRight(const std::string& kind, const std::string& code, int32_t reserved,
                          const std::string& right) = 0;

  std::string_view typeName() const override { return "DataRightService"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// The price service's answer: a unit price and a tax rate in percent.
class PriceAnswer : public Object {
 public:
  virtual double unitPrice() const = 0;
  virtual double taxRate() const = 0;

  std::string_view typeName() const override { return "PriceAnswer"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// Proposes the price of a line.
class PriceService : public Object {
 public:
  // Opens the service with the caller's login object, context object and connection, all by
  // reference; `result` is an out value. The service may leave another object in `context`.
  virtual void initialise(std::shared_ptr<Object>& login, std::shared_ptr<Object>& context,
                          std::shared_ptr<Connection>& connection, Variant& result) = 0;
  // The price of an item bought from a vendor on a date, for a quantity, in a currency; `mode` is
  // passed as 2. `price` receives the answer, or nullptr when there is none.
  virtual void getPrice(const std::string& vendorCode, const std::string& itemCode, Date date,
                        double quantity, const std::string& currency, int32_t mode,
                        std::shared_ptr<PriceAnswer>& price) = 0;
  virtual void close() = 0;

  std::string_view typeName() const override { return "PriceService"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// The account-period date of an invoice.
class DueDateCalculator : public Object {
 public:
  // The date ("yyyy-mm-dd") on which an invoice of `invoiceDate` (a date or a date text) falls
  // due under the payment condition `payConditionName` and the account period
  // `accountPeriodId`. The login object is passed by reference; the calculator may leave
  // another one there.
  virtual std::string calculate(std::shared_ptr<Object>& login, const std::string& accountPeriodId,
                                const Variant& invoiceDate, const std::string& payConditionName) = 0;

  std::string_view typeName() const override { return "DueDateCalculator"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// A quality-control component is any Object with a member bGspIsTrue(vendor code, item code,
// connection by reference); this base gives the member a typed form.
class QualityControl : public Object {
 public:
  // True when the item of that vendor is under quality-certificate control. `connection` may be
  // replaced.
  virtual Variant bGspIsTrue(const std::string& vendorCode, const std::string& itemCode,
                             Variant& connection) = 0;

  std::string_view typeName() const override { return "clsMarrowby_Pu"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;
};

// ---- The factory ------------------------------------------------------------------------------------

// Creates the host's classes by CLSID (braces optional, any letter case) or ProgID.
class HostFactory {
 public:
  virtual ~HostFactory() = default;
  // A new instance, or nullptr when this host has no class of that identifier.
  virtual std::shared_ptr<Object> create(std::string_view clsidOrProgId) = 0;
};

// The factory in use in this process: the stand-in host until a host installs its own.
std::shared_ptr<HostFactory> hostFactory();
// Installs a factory and gives back the one it replaces; nullptr puts the stand-ins back.
std::shared_ptr<HostFactory> setHostFactory(std::shared_ptr<HostFactory> factory);

// Installs a factory for the life of a scope (tests, a host's session).
class ScopedHostFactory {
 public:
  explicit ScopedHostFactory(std::shared_ptr<HostFactory> factory)
      : previous_(setHostFactory(std::move(factory))) {}
  ~ScopedHostFactory() { setHostFactory(std::move(previous_)); }
  ScopedHostFactory(const ScopedHostFactory&) = delete;
  ScopedHostFactory& operator=(const ScopedHostFactory&) = delete;

 private:
  std::shared_ptr<HostFactory> previous_;
};

// Creates a host class through the factory in use: error 429 when it has none of that identifier.
std::shared_ptr<Object> createHostObject(std::string_view clsidOrProgId);

// Creates a host class and takes the interface the caller binds to: error 13 when the object
// created does not offer it.
template <class Interface>
std::shared_ptr<Interface> createHostService(std::string_view clsidOrProgId) {
  std::shared_ptr<Object> o = createHostObject(clsidOrProgId);
  auto typed = std::dynamic_pointer_cast<Interface>(o);
  if (!typed)
    throwError(err::TypeMismatch, "Type mismatch: the host's class " + std::string(clsidOrProgId) +
                                      " does not offer the interface the checks bind to");
  return typed;
}

// ---- The session information object -------------------------------------------------------------

// The session information object of a check, read late-bound by member name. Each accessor reads
// its member when called: a member the object lacks is error 438 then, and not before.
class Session {
 public:
  // clsInfor.Information: error 91 when clsInfor is Nothing or Information gives Nothing, 438 when
  // clsInfor has no member Information.
  static Session of(const std::shared_ptr<Object>& clsInfor);
  explicit Session(std::shared_ptr<Object> information);

  // Any member by name, as the object answers it.
  Variant member(std::string_view name) const;
  // A switch member: true when it reads as True. Null and Empty are False; a text that is neither
  // True, False nor a number is error 13.
  bool isOn(std::string_view name) const;

  std::string OperaterCode() const;  // as text
  bool bCheckInvAuth() const { return isOn("bCheckInvAuth"); }
  bool bCheckVendorAuth() const { return isOn("bCheckVendorAuth"); }
  bool bCheckDepartAuth() const { return isOn("bCheckDepartAuth"); }
  bool bCheckPersonAuth() const { return isOn("bCheckPersonAuth"); }
  bool bQMStart() const { return isOn("bQMStart"); }
  bool bPTHavePO() const { return isOn("bPTHavePO"); }
  bool bSTHavePO() const { return isOn("bSTHavePO"); }
  bool bOriginal() const { return isOn("bOriginal"); }
  Variant startdate() const { return member("startdate"); }
  Variant CurAccountID() const { return member("CurAccountID"); }
  Variant TheYear() const { return member("TheYear"); }
  // First and last day of accounting period `period`.
  Variant BeginDate(int32_t period) const;
  Variant EndDate(int32_t period) const;

  // The object itself, for functions that read it by name (the period look-up).
  const std::shared_ptr<Object>& object() const { return information_; }

 private:
  std::shared_ptr<Object> information_;
};

// The session information object of the stand-in host: members by name, plus BeginDate and
// EndDate that take a period number. Names are matched without regard to case.
class SessionInformation final : public Object {
 public:
  // Adds or replaces a member.
  void set(std::string_view name, Variant value);
  // Leaves a member out: reading it becomes error 438.
  void remove(std::string_view name);
  bool has(std::string_view name) const;
  // First and last day of an accounting period; the first call of each makes BeginDate or
  // EndDate a member.
  void setBeginDate(int32_t period, Variant date);
  void setEndDate(int32_t period, Variant date);
  // Replaces every period of the member at once (an empty map leaves it a member without periods).
  void setBeginDates(std::map<int32_t, Variant> dates) { beginDates_ = std::move(dates); }
  void setEndDates(std::map<int32_t, Variant> dates) { endDates_ = std::move(dates); }
  void setPeriod(int32_t period, Variant begin, Variant end) {
    setBeginDate(period, std::move(begin));
    setEndDate(period, std::move(end));
  }

  std::string_view typeName() const override { return "SessionInformation"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  struct Entry {
    std::string name;
    Variant value;
    bool present;
  };
  Entry* find(std::string_view name);
  const Entry* find(std::string_view name) const;
  std::vector<Entry> members_;
  std::optional<std::map<int32_t, Variant>> beginDates_, endDates_;
};

// The caller's context object (clsInfor) of the stand-in host: its member Information gives the
// session information object.
class SessionContext final : public Object {
 public:
  explicit SessionContext(std::shared_ptr<Object> information)
      : information_(std::move(information)) {}
  const std::shared_ptr<Object>& information() const { return information_; }

  std::string_view typeName() const override { return "SessionContext"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Object> information_;
};

// The caller's context object (clsInfor) built from a JSON session file: its member Information
// answers the session members by name. Error 5 with the reason when the file cannot be used.
std::shared_ptr<Object> loadSession(const std::string& jsonPath);

// The same from JSON text; `origin` names the text in error messages.
std::shared_ptr<Object> sessionFromJson(std::string_view jsonText,
                                        const std::string& origin = "session");

// The built-in session: operator "demo", every switch off, account "001", year 2026 starting on
// 2026-01-01, monthly periods 1 to 12.
std::shared_ptr<Object> defaultSession();

// ---- What the checks ask ------------------------------------------------------------------------------

// The data-right service held while one check asks it: created fresh through the factory, kept in
// a per-thread slot for the life of the hold, released when the hold ends (also when the check
// fails). A hold made inside another one gives the slot back to the outer one when it ends.
class DataRightHold {
 public:
  DataRightHold();
  ~DataRightHold();
  DataRightHold(const DataRightHold&) = delete;
  DataRightHold& operator=(const DataRightHold&) = delete;

  DataRightService& service() { return *service_; }

 private:
  std::shared_ptr<DataRightService> service_;
  std::shared_ptr<DataRightService> previous_;
};

// The data-right service that a check of this thread holds at the moment, or nullptr.
DataRightService* heldDataRight();

// Asks for a right as the field-entry checks do: creates and holds a fresh service, initialises it
// with the connection string of `connection` (error 91 when it is Nothing), the operator and 0, 0,
// checks `kind`, `code`, 0 and "W", and releases the service. Errors of the service pass through.
bool askDataRight(const std::shared_ptr<Connection>& connection, const std::string& operatorCode,
                  std::string_view kind, const std::string& code);

// What a line asks the price service.
struct PriceQuery {
  std::string vendorCode;
  std::string itemCode;
  Date date;
  double quantity = 0;  // the checks pass the absolute value of the line's quantity
  std::string currency;
};

struct PriceProposal {
  double unitPrice = 0;
  double taxRate = 0;  // percent
};

// The price mode the field-entry checks ask for.
inline constexpr int32_t kPriceMode = 2;

// Asks the price service as the line checks do: creates it, initialises it with the login object,
// the context object and the connection, stores back into `context` the object the service left
// there, asks for the price with mode 2, reads unit price then tax rate, and closes the service.
// Nothing when the service has no price. A failing step passes its error through after the service
// is closed; a failing close after a price was read does not undo the price.
std::optional<PriceProposal> askPrice(const std::shared_ptr<Object>& login,
                                      std::shared_ptr<Object>& context,
                                      const std::shared_ptr<Connection>& connection,
                                      const PriceQuery& query);

// Asks the quality-control component (created by ProgID, called late-bound) whether the item of
// that vendor is under quality-certificate control; Null counts as False. The connection is passed
// by reference: what the component leaves there is stored back (error 13 when that is not a
// connection).
bool askGspIsTrue(const std::string& vendorCode, const std::string& itemCode,
                  std::shared_ptr<Connection>& connection);

// The account-period date of an invoice from the due-date calculator. `calculator` is created
// through the factory on first use and kept by the caller for the rest of its call; `login` is
// passed by reference and keeps what the calculator leaves there.
std::string askDueDate(std::shared_ptr<DueDateCalculator>& calculator,
                       std::shared_ptr<Object>& login, const std::string& accountPeriodId,
                       const Variant& invoiceDate, const std::string& payConditionName);

// ---- The stand-in host ---------------------------------------------------------------------------------

// Opens the database that a connection string names.
using ConnectionOpener = std::function<std::shared_ptr<Connection>(const std::string&)>;

// The stand-ins of the host's services over the ERP database (tables tw_data_right, tw_price,
// tw_inspection and PayCondition):
// - data right: the operator may use a code of a kind when tw_data_right has a row for it, or
//   for '*' of that kind, with the right asked;
// - price: the tw_price row of the vendor, item and currency valid on the date (dFrom and dTo
//   inclusive, whole days, Null open) with the greatest fMinQuantity not above the quantity;
// - quality control: True when tw_inspection names the vendor and the item;
// - due date: the invoice date plus PayCondition.iPayCreDays of the payment condition (by name or
//   code; none or empty: the invoice date itself).
// The data-right service opens the connection string it is given; the price service and the
// quality-control component use the connection they are handed; the due-date calculator reaches
// the database through the login object (a stand-in login, or any object with a member
// ConnectionString).
class StandInHost final : public HostFactory {
 public:
  // Stand-ins that open connection strings with Connection::open.
  StandInHost();
  // Stand-ins that open connection strings with `opener`.
  explicit StandInHost(ConnectionOpener opener);
  // Stand-ins that reach `database` whatever connection string or login they are given.
  explicit StandInHost(std::shared_ptr<Connection> database);

  // Replaces one class of this host (the others stay stand-ins).
  void define(std::string_view clsidOrProgId, std::function<std::shared_ptr<Object>()> create);

  std::shared_ptr<Object> create(std::string_view clsidOrProgId) override;

 private:
  ConnectionOpener opener_;
  std::shared_ptr<Connection> database_;
  std::vector<std::pair<std::string, std::function<std::shared_ptr<Object>()>>> defined_;
};

// A login object for the stand-in host: it names the ERP database (member ConnectionString) and
// carries the connection itself.
class StandInLogin final : public Object {
 public:
  explicit StandInLogin(std::shared_ptr<Connection> database) : database_(std::move(database)) {}
  const std::shared_ptr<Connection>& database() const { return database_; }

  std::string_view typeName() const override { return "StandInLogin"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  std::shared_ptr<Connection> database_;
};

// Hands a field-entry check the ERP database as the stand-in host's callers do: m_Cnn becomes the
// connection and m_login a stand-in login over it (a null connection sets both to Nothing).
// Error 438, and nothing set, when the object has no m_Cnn and m_login (a whole-voucher check).
void useDatabase(Object& check, const std::shared_ptr<Connection>& connection);

}  // namespace tallyward
