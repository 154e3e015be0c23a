// The stand-in host: data rights, prices, the quality flag and due dates answered from the ERP
// database, for use where the ERP host is absent.
#include <cmath>
#include <limits>

#include "platform/db/sql_text.h"
#include "host/host_text.h"
#include "tallyward/host.h"

namespace tallyward {

namespace {

[[noreturn]] void notSet(const std::string& what) {
  throwError(err::ObjectNotSet, "Object variable not set: " + what);
}

// The host's own statements stay out of the connection's record of statements, which keeps only
// those that the checks sent.
std::shared_ptr<Recordset> hostQuery(Connection& connection, const std::string& sql) {
  return connection.executeUnrecorded(sql);
}

// tw_data_right: a row of the operator, kind and right for the code itself or for '*'.
class StandInDataRight final : public DataRightService {
 public:
  StandInDataRight(ConnectionOpener opener, std::shared_ptr<Connection> database)
      : opener_(std::move(opener)), fixed_(std::move(database)) {}

  bool initialise(const std::string& connectionString, const std::string& operatorCode, int32_t,
                  int32_t) override {
    database_ = fixed_ ? fixed_ : opener_(connectionString);
    if (!database_) notSet("the data-right service could not open " + connectionString);
    operator_ = operatorCode;
    return true;
  }

  bool checkRight(const std::string& kind, const std::string& code, int32_t,
                  const std::string& right) override {
    if (!database_) notSet("the data-right service is asked before it is initialised");
    const std::string sql = "select cCode from tw_data_right where cOperator=" +
                            sqlLiteral(operator_) + " and cKind=" + sqlLiteral(kind) +
                            " and cRight=" + sqlLiteral(right) + " and cCode in (" +
                            sqlLiteral(code) + ",'*')";
    return !hostQuery(*database_, sql)->eof();
  }

 private:
  ConnectionOpener opener_;
  std::shared_ptr<Connection> fixed_;
  std::shared_ptr<Connection> database_;
  std::string operator_;
};

class StandInPriceAnswer final : public PriceAnswer {
 public:
  StandInPriceAnswer(double unitPrice, double taxRate) : unitPrice_(unitPrice), taxRate_(taxRate) {}
  double unitPrice() const override { return unitPrice_; }
  double taxRate() const override { return taxRate_; }

 private:
  double unitPrice_, taxRate_;
};

// The whole day of a validity bound; nothing for an open bound (Null).
std::optional<double> dayOf(const Variant& v, std::string_view column) {
  if (v.isNull() || v.isEmpty()) return std::nullopt;
  return std::floor(host::dateValueOf(v, "tw_price." + std::string(column)));
}

double numberOr0(const Variant& v) { return v.isNull() || v.isEmpty() ? 0.0 : toDouble(v); }

// tw_price: among the rows of the vendor, item and currency valid on the day, the one with the
// greatest minimum quantity not above the quantity; on equal minimums the one valid from the
// latest day.
class StandInPriceService final : public PriceService {
 public:
  explicit StandInPriceService(std::shared_ptr<Connection> database) : fixed_(std::move(database)) {}

  void initialise(std::shared_ptr<Object>&, std::shared_ptr<Object>&,
                  std::shared_ptr<Connection>& connection, Variant& result) override {
    database_ = connection ? connection : fixed_;
    if (!database_) notSet("the price service needs the connection (m_Cnn)");
    result = Variant("");
  }

  void getPrice(const std::string& vendorCode, const std::string& itemCode, Date date,
                double quantity, const std::string& currency, int32_t,
                std::shared_ptr<PriceAnswer>& price) override {
    if (!database_) notSet("the price service is asked before it is initialised or after it closed");
    price.reset();
    const std::string sql =
        "select dFrom,dTo,fMinQuantity,iUnitPrice,iTaxRate from tw_price where cVenCode=" +
        sqlLiteral(vendorCode) + " and cInvCode=" + sqlLiteral(itemCode) +
        " and cexch_name=" + sqlLiteral(currency);
    std::shared_ptr<Recordset> rs = hostQuery(*database_, sql);
    const double day = std::floor(date.value);
    bool found = false;
    double bestMinimum = 0, bestFrom = 0, unitPrice = 0, taxRate = 0;
    for (; !rs->eof(); rs->moveNext()) {
      const std::optional<double> from = dayOf(rs->field("dFrom"), "dFrom");
      const std::optional<double> to = dayOf(rs->field("dTo"), "dTo");
      if ((from && *from > day) || (to && *to < day)) continue;
      const double minimum = numberOr0(rs->field("fMinQuantity"));
      if (minimum > quantity) continue;
      const double fromDay = from ? *from : -std::numeric_limits<double>::infinity();
      if (found && (minimum < bestMinimum || (minimum == bestMinimum && fromDay <= bestFrom)))
        continue;
      found = true;
      bestMinimum = minimum;
      bestFrom = fromDay;
      unitPrice = numberOr0(rs->field("iUnitPrice"));
      taxRate = numberOr0(rs->field("iTaxRate"));
    }
    if (found) price = std::make_shared<StandInPriceAnswer>(unitPrice, taxRate);
  }

  void close() override { database_.reset(); }

 private:
  std::shared_ptr<Connection> fixed_;
  std::shared_ptr<Connection> database_;
};

// tw_inspection: the item of the vendor is inspected when a row names both.
class StandInQualityControl final : public QualityControl {
 public:
  explicit StandInQualityControl(std::shared_ptr<Connection> database) : fixed_(std::move(database)) {}

  Variant bGspIsTrue(const std::string& vendorCode, const std::string& itemCode,
                     Variant& connection) override {
    std::shared_ptr<Connection> db = std::dynamic_pointer_cast<Connection>(toObject(connection));
    if (!db) db = fixed_;
    if (!db) notSet("the quality-control component needs the connection (m_Cnn)");
    const std::string sql = "select cVenCode from tw_inspection where cVenCode=" +
                            sqlLiteral(vendorCode) + " and cInvCode=" + sqlLiteral(itemCode);
    return Variant(!hostQuery(*db, sql)->eof());
  }

 private:
  std::shared_ptr<Connection> fixed_;
};

// The invoice date plus the credit days of the payment condition (PayCondition.iPayCreDays),
// found by name or code; without a condition the invoice date itself.
class StandInDueDate final : public DueDateCalculator {
 public:
  StandInDueDate(ConnectionOpener opener, std::shared_ptr<Connection> database)
      : opener_(std::move(opener)), fixed_(std::move(database)) {}

  std::string calculate(std::shared_ptr<Object>& login, const std::string&,
                        const Variant& invoiceDate, const std::string& payConditionName) override {
    const double day = std::floor(host::dateValueOf(invoiceDate, "the invoice date"));
    double creditDays = 0;
    if (!payConditionName.empty()) {
      const std::string sql = "select cPayName,iPayCreDays from PayCondition where cPayName=" +
                              sqlLiteral(payConditionName) +
                              " or cPayCode=" + sqlLiteral(payConditionName);
      std::shared_ptr<Recordset> rs = hostQuery(*database(login), sql);
      // A condition whose name is the text given wins over one whose code is.
      std::optional<Variant> days;
      for (; !rs->eof(); rs->moveNext()) {
        const Variant& name = rs->field("cPayName");
        const bool byName = name.type() == VarType::String &&
                            DispatchTable<Object>::equalsNoCase(name.asString(), payConditionName);
        if (!days || byName) days = rs->field("iPayCreDays");
        if (byName) break;
      }
      if (days && !days->isNull() && !days->isEmpty())
        creditDays = static_cast<double>(toLong(*days));
    }
    // Automation dates run from the year 100 to the year 9999.
    const double due = day + creditDays;
    if (due < -657434 || due > 2958465)
      throwError(err::Overflow, "Overflow: the due date falls outside the years 100 to 9999");
    return formatDate(due);
  }

 private:
  std::shared_ptr<Connection> database(const std::shared_ptr<Object>& login) {
    if (fixed_) return fixed_;
    if (!login) notSet("the due-date calculator needs the login object (m_login)");
    if (auto l = std::dynamic_pointer_cast<StandInLogin>(login)) {
      if (!l->database()) notSet("the login object names no database");
      return l->database();
    }
    if (auto c = std::dynamic_pointer_cast<Connection>(login)) return c;
    const std::string connectionString = toText(login->get("ConnectionString"));
    std::shared_ptr<Connection> c = opener_(connectionString);
    if (!c) notSet("the due-date calculator could not open " + connectionString);
    return c;
  }

  ConnectionOpener opener_;
  std::shared_ptr<Connection> fixed_;
};

std::shared_ptr<Connection> openByConnectionString(const std::string& connectionString) {
  return Connection::open(connectionString);
}

}  // namespace

StandInHost::StandInHost() : opener_(&openByConnectionString) {}

StandInHost::StandInHost(ConnectionOpener opener)
    : opener_(opener ? std::move(opener) : ConnectionOpener(&openByConnectionString)) {}

StandInHost::StandInHost(std::shared_ptr<Connection> database)
    : opener_(&openByConnectionString), database_(std::move(database)) {}

void StandInHost::define(std::string_view clsidOrProgId,
                         std::function<std::shared_ptr<Object>()> create) {
  for (auto& [id, creator] : defined_)
    if (host::sameClassId(id, clsidOrProgId)) {
      creator = std::move(create);
      return;
    }
  defined_.emplace_back(std::string(clsidOrProgId), std::move(create));
}

std::shared_ptr<Object> StandInHost::create(std::string_view id) {
  for (const auto& [defined, creator] : defined_)
    if (host::sameClassId(defined, id)) return creator ? creator() : nullptr;
  if (host::sameClassId(id, hostclass::kDataRight))
    return std::make_shared<StandInDataRight>(opener_, database_);
  if (host::sameClassId(id, hostclass::kPriceService))
    return std::make_shared<StandInPriceService>(database_);
  if (host::sameClassId(id, hostclass::kQualityControl))
    return std::make_shared<StandInQualityControl>(database_);
  if (host::sameClassId(id, hostclass::kDueDateCalculator))
    return std::make_shared<StandInDueDate>(opener_, database_);
  return nullptr;
}

DispId StandInLogin::GetIDsOfNames(std::string_view name) const {
  if (DispatchTable<Object>::equalsNoCase(name, "ConnectionString")) return 1;
  throwError(err::NoSuchMember,
             "Object doesn't support this property or method: " + std::string(name));
}

Variant StandInLogin::Invoke(DispId id, InvokeKind kind, std::span<Variant>) {
  if (id != 1 || kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef)
    throwError(err::NoSuchMember, "StandInLogin offers only ConnectionString, read-only");
  return Variant(database_ ? database_->connectionString() : std::string());
}

void useDatabase(Object& check, const std::shared_ptr<Connection>& connection) {
  // Both names are resolved first, so that an object lacking either is left as it was.
  const DispId cnn = check.GetIDsOfNames("m_Cnn");
  const DispId login = check.GetIDsOfNames("m_login");
  Variant c{std::shared_ptr<Object>(connection)};
  Variant l{connection ? std::shared_ptr<Object>(std::make_shared<StandInLogin>(connection))
                       : std::shared_ptr<Object>()};
  check.Invoke(cnn, InvokeKind::PropertyPutRef, std::span<Variant>(&c, 1));
  check.Invoke(login, InvokeKind::PropertyPutRef, std::span<Variant>(&l, 1));
}

}  // namespace tallyward
