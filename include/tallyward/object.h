// Late-bound objects: members reached by name or by dispatch identifier, as an automation
// caller would reach them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tallyward/error.h"
#include "tallyward/variant.h"

namespace tallyward {

using DispId = int32_t;

enum class InvokeKind { Method, PropertyGet, PropertyPut, PropertyPutRef };

class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;

  // The class name that the object answers to (a class of ours or a host's).
  virtual std::string_view typeName() const = 0;

  // Resolves a member name (case-insensitive) to its identifier; error 438 when there is none.
  virtual DispId GetIDsOfNames(std::string_view name) const = 0;

  // Calls a member. Arguments are in the order the member declares them and passed by reference:
  // a member may change them, as an [in, out] argument would be changed.
  virtual Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) = 0;

  // Conveniences over the two above.
  Variant get(std::string_view name);
  void put(std::string_view name, Variant value);
  void putRef(std::string_view name, Variant object);
  Variant call(std::string_view name, std::span<Variant> args);
  Variant call(std::string_view name, std::initializer_list<Variant> args);
};

// One member of a dispatch table: a property (get, and put or put-by-reference) or a method.
template <class T>
struct Member {
  std::string_view name;
  DispId id;
  std::function<Variant(T&)> get;                           // property get
  std::function<void(T&, const Variant&)> put;              // property put (values)
  std::function<void(T&, const Variant&)> putRef;           // property put by reference (objects)
  std::function<Variant(T&, std::span<Variant>)> call;      // method
};

// A fixed table of members: the late-bound face of an early-bound class.
template <class T>
class DispatchTable {
 public:
  explicit DispatchTable(std::vector<Member<T>> members) : members_(std::move(members)) {}

  const std::vector<Member<T>>& members() const { return members_; }

  DispId idOf(std::string_view name) const {
    for (const auto& m : members_)
      if (equalsNoCase(m.name, name)) return m.id;
    throwError(err::NoSuchMember,
               "Object doesn't support this property or method: " + std::string(name));
  }

  Variant invoke(T& self, DispId id, InvokeKind kind, std::span<Variant> args) const {
    for (const auto& m : members_) {
      if (m.id != id) continue;
      switch (kind) {
        case InvokeKind::Method:
          if (m.call) return m.call(self, args);
          if (m.get && args.empty()) return m.get(self);
          break;
        case InvokeKind::PropertyGet:
          if (m.get) return m.get(self);
          if (m.call) return m.call(self, args);
          break;
        case InvokeKind::PropertyPut:
          if (m.put && args.size() == 1) { m.put(self, args[0]); return {}; }
          break;
        case InvokeKind::PropertyPutRef:
          if (m.putRef && args.size() == 1) { m.putRef(self, args[0]); return {}; }
          break;
      }
      throwError(err::NoSuchMember, "Member " + std::string(m.name) + " cannot be used this way");
    }
    throwError(err::NoSuchMember, "No member with dispatch identifier " + std::to_string(id));
  }

  static bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      char x = a[i], y = b[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
      if (x != y) return false;
    }
    return true;
  }

 private:
  std::vector<Member<T>> members_;
};

// Argument helpers for method members: an optional argument may be absent or Missing.
inline const Variant& argAt(std::span<Variant> args, size_t i) {
  static const Variant kMissing = Variant::missing();
  return i < args.size() ? args[i] : kMissing;
}
inline void requireArgs(std::span<Variant> args, size_t n, std::string_view member) {
  if (args.size() < n)
    throwError(err::InvalidArgument, "Argument not optional: " + std::string(member));
}

}  // namespace tallyward
