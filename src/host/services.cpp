// The host factory, the data-right service held during a check, and the calls the field-entry
// checks make on the host's services.
#include <mutex>
#include <utility>

#include "tallyward/host.h"

namespace tallyward {

// ---- The factory in use ------------------------------------------------------------------------

namespace {

std::mutex gFactoryMutex;

std::shared_ptr<HostFactory>& factorySlot() {
  static std::shared_ptr<HostFactory> factory;
  return factory;
}

}  // namespace

std::shared_ptr<HostFactory> hostFactory() {
  std::lock_guard lock(gFactoryMutex);
  std::shared_ptr<HostFactory>& slot = factorySlot();
  if (!slot) slot = std::make_shared<StandInHost>();
  return slot;
}

std::shared_ptr<HostFactory> setHostFactory(std::shared_ptr<HostFactory> factory) {
  std::lock_guard lock(gFactoryMutex);
  std::shared_ptr<HostFactory>& slot = factorySlot();
  std::shared_ptr<HostFactory> previous = std::move(slot);
  slot = factory ? std::move(factory) : std::make_shared<StandInHost>();
  return previous;
}

std::shared_ptr<Object> createHostObject(std::string_view clsidOrProgId) {
  std::shared_ptr<Object> o = hostFactory()->create(clsidOrProgId);
  if (!o)
    throwError(err::CannotCreate,
               "ActiveX component can't create object: " + std::string(clsidOrProgId));
  return o;
}

// ---- The data-right service held by a check ---------------------------------------------------------

namespace {
// Module data of the checks: one slot per thread, as each apartment has its own copy.
thread_local std::shared_ptr<DataRightService> tHeldDataRight;
}  // namespace

DataRightHold::DataRightHold()
    : service_(createHostService<DataRightService>(hostclass::kDataRight)),
      previous_(std::exchange(tHeldDataRight, service_)) {}

DataRightHold::~DataRightHold() { tHeldDataRight = std::move(previous_); }

DataRightService* heldDataRight() { return tHeldDataRight.get(); }

bool askDataRight(const std::shared_ptr<Connection>& connection, const std::string& operatorCode,
                  std::string_view kind, const std::string& code) {
  DataRightHold hold;
  if (!connection)
    throwError(err::ObjectNotSet,
               "Object variable not set: the data-right service needs the connection (m_Cnn)");
  hold.service().initialise(connection->connectionString(), operatorCode, 0, 0);
  return hold.service().checkRight(std::string(kind), code, 0, std::string(rightkind::Enter));
}

// ---- Price, quality flag, due date -----------------------------------------------------------------

std::optional<PriceProposal> askPrice(const std::shared_ptr<Object>& login,
                                      std::shared_ptr<Object>& context,
                                      const std::shared_ptr<Connection>& connection,
                                      const PriceQuery& query) {
  std::shared_ptr<PriceService> service =
      createHostService<PriceService>(hostclass::kPriceService);
  auto closeQuietly = [&service] {
    try {
      service->close();
    } catch (const Error&) {
      // Closing is the last step; its failure changes nothing of what was asked.
    }
  };
  std::optional<PriceProposal> proposal;
  try {
    // The service receives copies of the login and the connection; only the context object that
    // it leaves is taken back.
    std::shared_ptr<Object> loginArg = login;
    std::shared_ptr<Object> contextArg = context;
    std::shared_ptr<Connection> connectionArg = connection;
    Variant result;
    service->initialise(loginArg, contextArg, connectionArg, result);
    context = std::move(contextArg);

    std::shared_ptr<PriceAnswer> price;
    service->getPrice(query.vendorCode, query.itemCode, query.date, query.quantity, query.currency,
                      kPriceMode, price);
    if (price) {
      PriceProposal p;
      p.unitPrice = price->unitPrice();
      p.taxRate = price->taxRate();
      proposal = p;
    }
  } catch (...) {
    closeQuietly();
    throw;
  }
  closeQuietly();
  return proposal;
}

bool askGspIsTrue(const std::string& vendorCode, const std::string& itemCode,
                  std::shared_ptr<Connection>& connection) {
  std::shared_ptr<Object> component = createHostObject(hostclass::kQualityControl);
  std::vector<Variant> args{Variant(vendorCode), Variant(itemCode), Variant(connection)};
  Variant answer = component->call("bGspIsTrue", std::span<Variant>(args));

  std::shared_ptr<Object> left = toObject(args[2]);
  if (left) {
    auto c = std::dynamic_pointer_cast<Connection>(left);
    if (!c)
      throwError(err::TypeMismatch,
                 "Type mismatch: the quality-control component left something other than a "
                 "connection in m_Cnn");
    connection = std::move(c);
  } else {
    connection.reset();
  }
  return !answer.isNull() && toBoolean(answer);
}

std::string askDueDate(std::shared_ptr<DueDateCalculator>& calculator,
                       std::shared_ptr<Object>& login, const std::string& accountPeriodId,
                       const Variant& invoiceDate, const std::string& payConditionName) {
  if (!calculator)
    calculator = createHostService<DueDateCalculator>(hostclass::kDueDateCalculator);
  return calculator->calculate(login, accountPeriodId, invoiceDate, payConditionName);
}

}  // namespace tallyward
