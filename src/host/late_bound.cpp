// The late-bound faces of the host interfaces: a host that implements the typed members gets the
// members by name for free.
#include "host/host_text.h"
#include "tallyward/host.h"

namespace tallyward {

namespace {

// An object argument that must be a connection (or Nothing).
std::shared_ptr<Connection> connectionArgument(const Variant& v, std::string_view member) {
  std::shared_ptr<Object> o = toObject(v);
  if (!o) return nullptr;
  auto c = std::dynamic_pointer_cast<Connection>(o);
  if (!c) throwError(err::TypeMismatch, "Type mismatch: " + std::string(member) + " wants a connection");
  return c;
}

const DispatchTable<DataRightService>& dataRightTable() {
  using T = DataRightService;
  static const DispatchTable<T> t({
      {"initialise", 1, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 4, "initialise");
         return Variant(s.initialise(toText(a[0]), toText(a[1]), toLong(a[2]), toLong(a[3])));
       }},
      {"checkRight", 2, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 4, "checkRight");
         return Variant(s.checkRight(toText(a[0]), toText(a[1]), toLong(a[2]), toText(a[3])));
       }},
  });
  return t;
}

const DispatchTable<PriceAnswer>& priceAnswerTable() {
  using T = PriceAnswer;
  static const DispatchTable<T> t({
      {"unitPrice", 1, [](T& s) { return Variant(s.unitPrice()); }, {}, {}, {}},
      {"taxRate", 2, [](T& s) { return Variant(s.taxRate()); }, {}, {}, {}},
  });
  return t;
}

const DispatchTable<PriceService>& priceServiceTable() {
  using T = PriceService;
  static const DispatchTable<T> t({
      // initialise(login, context, connection, result): every argument by reference.
      {"initialise", 1, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 3, "initialise");
         std::shared_ptr<Object> login = toObject(a[0]);
         std::shared_ptr<Object> context = toObject(a[1]);
         std::shared_ptr<Connection> connection = connectionArgument(a[2], "initialise");
         Variant result = a.size() > 3 ? a[3] : Variant();
         s.initialise(login, context, connection, result);
         a[0] = Variant(login);
         a[1] = Variant(context);
         a[2] = Variant(connection);
         if (a.size() > 3) a[3] = result;
         return Variant();
       }},
      // getPrice(vendor, item, date, quantity, currency, mode, price): the price also comes back
      // as the result.
      {"getPrice", 2, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 6, "getPrice");
         std::shared_ptr<PriceAnswer> price;
         s.getPrice(toText(a[0]), toText(a[1]), Date{host::dateValueOf(a[2], "the price date")},
                    toDouble(a[3]), toText(a[4]), toLong(a[5]), price);
         if (a.size() > 6) a[6] = Variant(price);
         return Variant(price);
       }},
      {"close", 3, {}, {}, {}, [](T& s, std::span<Variant>) {
         s.close();
         return Variant();
       }},
  });
  return t;
}

const DispatchTable<DueDateCalculator>& dueDateTable() {
  using T = DueDateCalculator;
  static const DispatchTable<T> t({
      // calculate(login by reference, account period id, invoice date, payment condition name)
      {"calculate", 1, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 4, "calculate");
         std::shared_ptr<Object> login = toObject(a[0]);
         const std::string id = a[1].isNull() ? std::string() : toText(a[1]);
         const std::string pay = a[3].isNull() ? std::string() : toText(a[3]);
         std::string due = s.calculate(login, id, a[2], pay);
         a[0] = Variant(login);
         return Variant(std::move(due));
       }},
  });
  return t;
}

const DispatchTable<QualityControl>& qualityControlTable() {
  using T = QualityControl;
  static const DispatchTable<T> t({
      // bGspIsTrue(vendor, item, connection by reference)
      {"bGspIsTrue", 1, {}, {}, {}, [](T& s, std::span<Variant> a) {
         requireArgs(a, 3, "bGspIsTrue");
         return s.bGspIsTrue(toText(a[0]), toText(a[1]), a[2]);
       }},
  });
  return t;
}

}  // namespace

DispId DataRightService::GetIDsOfNames(std::string_view name) const { return dataRightTable().idOf(name); }
Variant DataRightService::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  return dataRightTable().invoke(*this, id, kind, args);
}

DispId PriceAnswer::GetIDsOfNames(std::string_view name) const { return priceAnswerTable().idOf(name); }
Variant PriceAnswer::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  return priceAnswerTable().invoke(*this, id, kind, args);
}

DispId PriceService::GetIDsOfNames(std::string_view name) const { return priceServiceTable().idOf(name); }
Variant PriceService::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  return priceServiceTable().invoke(*this, id, kind, args);
}

DispId DueDateCalculator::GetIDsOfNames(std::string_view name) const { return dueDateTable().idOf(name); }
Variant DueDateCalculator::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  return dueDateTable().invoke(*this, id, kind, args);
}

DispId QualityControl::GetIDsOfNames(std::string_view name) const { return qualityControlTable().idOf(name); }
Variant QualityControl::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  return qualityControlTable().invoke(*this, id, kind, args);
}

}  // namespace tallyward
