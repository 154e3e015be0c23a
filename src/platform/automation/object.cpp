#include "tallyward/object.h"

namespace tallyward {

void throwError(int number, std::string description) { throw Error(number, std::move(description)); }

Variant Object::get(std::string_view name) {
  return Invoke(GetIDsOfNames(name), InvokeKind::PropertyGet, {});
}

void Object::put(std::string_view name, Variant value) {
  Invoke(GetIDsOfNames(name), InvokeKind::PropertyPut, std::span<Variant>(&value, 1));
}

void Object::putRef(std::string_view name, Variant object) {
  Invoke(GetIDsOfNames(name), InvokeKind::PropertyPutRef, std::span<Variant>(&object, 1));
}

Variant Object::call(std::string_view name, std::span<Variant> args) {
  return Invoke(GetIDsOfNames(name), InvokeKind::Method, args);
}

Variant Object::call(std::string_view name, std::initializer_list<Variant> args) {
  std::vector<Variant> copy(args);
  return call(name, std::span<Variant>(copy));
}

}  // namespace tallyward
