// The late-bound face of the eight classes: their members in declaration order, with the fixed
// dispatch identifiers.
#include "tallyward/classes.h"

namespace tallyward {

namespace {

constexpr DispId prop(int n) { return kFirstPropertyId + n; }
constexpr DispId method(int n) { return kFirstMethodId + n; }

template <class T>
Member<T> useModeProperty(int n, UseMode T::*field) {
  return {"m_UseMode", prop(n), [field](T& s) { return Variant(static_cast<int>(s.*field)); },
          [field](T& s, const Variant& v) { s.*field = static_cast<UseMode>(toLong(v)); }, {}, {}};
}

template <class T>
Member<T> booleanProperty(std::string_view name, int n, bool T::*field) {
  return {name, prop(n), [field](T& s) { return Variant(s.*field); },
          [field](T& s, const Variant& v) { s.*field = toBoolean(v); }, {}, {}};
}

template <class T>
Member<T> textProperty(std::string_view name, int n, std::string T::*field) {
  return {name, prop(n), [field](T& s) { return Variant(s.*field); },
          [field](T& s, const Variant& v) { s.*field = toText(v); }, {}, {}};
}

template <class T>
Member<T> doubleProperty(std::string_view name, int n, double T::*field) {
  return {name, prop(n), [field](T& s) { return Variant(s.*field); },
          [field](T& s, const Variant& v) { s.*field = toDouble(v); }, {}, {}};
}

// An object property set by reference; a value of the wrong kind is a type mismatch.
template <class T, class O>
Member<T> objectProperty(std::string_view name, int n, std::shared_ptr<O> T::*field) {
  return {name, prop(n), [field](T& s) { return Variant(std::shared_ptr<Object>(s.*field)); }, {},
          [field, name](T& s, const Variant& v) {
            std::shared_ptr<Object> o = toObject(v);
            if (!o) { (s.*field).reset(); return; }
            auto typed = std::dynamic_pointer_cast<O>(o);
            if (!typed) throwError(err::TypeMismatch, "Type mismatch: " + std::string(name));
            s.*field = std::move(typed);
          },
          {}};
}

// VerifyBody(sKey, domBody, [R]) and VerifyHead(sKey, domHead) of a whole-voucher class.
template <class T>
void addWholeVoucherMethods(std::vector<Member<T>>& m) {
  m.push_back({"VerifyBody", method(0), {}, {}, {}, [](T& s, std::span<Variant> a) {
                 requireArgs(a, 2, "VerifyBody");
                 return Variant(s.VerifyBody(a[0], a[1], argAt(a, 2)));
               }});
  m.push_back({"VerifyHead", method(1), {}, {}, {}, [](T& s, std::span<Variant> a) {
                 requireArgs(a, 2, "VerifyHead");
                 return Variant(s.VerifyHead(a[0], a[1]));
               }});
}

Document* optionalDocument(const Variant& v) {
  if (v.isMissing() || (v.isObject() && !v.asObject())) return nullptr;
  return &documentOf(v);
}

// VerifyBody(sKey, domBody, [domHead], [R]) and VerifyHead(sKey, domHead) of a field-entry class.
template <class T>
void addFieldEntryMethods(std::vector<Member<T>>& m) {
  m.push_back({"VerifyBody", method(0), {}, {}, {}, [](T& s, std::span<Variant> a) {
                 requireArgs(a, 2, "VerifyBody");
                 const Variant& r = argAt(a, 3);
                 return Variant(s.VerifyBody(toText(a[0]), documentOf(a[1]),
                                             optionalDocument(argAt(a, 2)),
                                             r.isMissing() ? 0 : toLong(r)));
               }});
  m.push_back({"VerifyHead", method(1), {}, {}, {}, [](T& s, std::span<Variant> a) {
                 requireArgs(a, 2, "VerifyHead");
                 return Variant(s.VerifyHead(toText(a[0]), documentOf(a[1])));
               }});
}

const DispatchTable<ClsS_VerifyFPO>& fpoTable() {
  static const DispatchTable<ClsS_VerifyFPO> t = [] {
    using T = ClsS_VerifyFPO;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             booleanProperty<T>("m_bAlterPO", 1, &T::m_bAlterPO)};
    addWholeVoucherMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyBillF>& billFTable() {
  static const DispatchTable<ClsS_VerifyBillF> t = [] {
    using T = ClsS_VerifyBillF;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             booleanProperty<T>("m_bPositive", 1, &T::m_bPositive),
                             textProperty<T>("sBillType", 2, &T::sBillType)};
    addWholeVoucherMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyArriveF>& arriveFTable() {
  static const DispatchTable<ClsS_VerifyArriveF> t = [] {
    using T = ClsS_VerifyArriveF;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             doubleProperty<T>("m_ConvertExchRate", 1, &T::m_ConvertExchRate),
                             booleanProperty<T>("m_bPositive", 2, &T::m_bPositive)};
    addWholeVoucherMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyApplyF>& applyFTable() {
  static const DispatchTable<ClsS_VerifyApplyF> t = [] {
    using T = ClsS_VerifyApplyF;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode)};
    addWholeVoucherMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyHPO>& hpoTable() {
  static const DispatchTable<ClsS_VerifyHPO> t = [] {
    using T = ClsS_VerifyHPO;
    std::vector<Member<T>> m{objectProperty<T>("m_Cnn", 0, &T::m_Cnn),
                             objectProperty<T>("m_login", 1, &T::m_login),
                             useModeProperty<T>(2, &T::m_UseMode),
                             objectProperty<T>("clsInfor", 3, &T::clsInfor)};
    addFieldEntryMethods(m);
    m.push_back({"bVerifyPoCode", method(2), {}, {}, {}, [](T& s, std::span<Variant> a) {
                   requireArgs(a, 1, "bVerifyPoCode");
                   return Variant(s.bVerifyPoCode(toText(a[0])));
                 }});
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyBillH>& billHTable() {
  static const DispatchTable<ClsS_VerifyBillH> t = [] {
    using T = ClsS_VerifyBillH;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             objectProperty<T>("m_Cnn", 1, &T::m_Cnn),
                             objectProperty<T>("m_login", 2, &T::m_login),
                             objectProperty<T>("clsInfor", 3, &T::clsInfor),
                             textProperty<T>("sBillType", 4, &T::sBillType)};
    addFieldEntryMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyArriveH>& arriveHTable() {
  static const DispatchTable<ClsS_VerifyArriveH> t = [] {
    using T = ClsS_VerifyArriveH;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             objectProperty<T>("m_Cnn", 1, &T::m_Cnn),
                             objectProperty<T>("m_login", 2, &T::m_login),
                             objectProperty<T>("clsInfor", 3, &T::clsInfor),
                             booleanProperty<T>("m_bPositive", 4, &T::m_bPositive)};
    addFieldEntryMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

const DispatchTable<ClsS_VerifyApplyH>& applyHTable() {
  static const DispatchTable<ClsS_VerifyApplyH> t = [] {
    using T = ClsS_VerifyApplyH;
    std::vector<Member<T>> m{useModeProperty<T>(0, &T::m_UseMode),
                             objectProperty<T>("m_Cnn", 1, &T::m_Cnn),
                             objectProperty<T>("m_login", 2, &T::m_login),
                             objectProperty<T>("clsInfor", 3, &T::clsInfor)};
    addFieldEntryMethods(m);
    return DispatchTable<T>(std::move(m));
  }();
  return t;
}

}  // namespace

#define TW_DISPATCH(Class, table)                                                          \
  DispId Class::GetIDsOfNames(std::string_view name) const { return table().idOf(name); } \
  Variant Class::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {             \
    return table().invoke(*this, id, kind, args);                                         \
  }

TW_DISPATCH(ClsS_VerifyFPO, fpoTable)
TW_DISPATCH(ClsS_VerifyBillF, billFTable)
TW_DISPATCH(ClsS_VerifyArriveF, arriveFTable)
TW_DISPATCH(ClsS_VerifyApplyF, applyFTable)
TW_DISPATCH(ClsS_VerifyHPO, hpoTable)
TW_DISPATCH(ClsS_VerifyBillH, billHTable)
TW_DISPATCH(ClsS_VerifyArriveH, arriveHTable)
TW_DISPATCH(ClsS_VerifyApplyH, applyHTable)

#undef TW_DISPATCH

}  // namespace tallyward
