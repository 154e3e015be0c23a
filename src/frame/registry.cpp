#include "tallyward/registry.h"

#include <array>

#include "tallyward/classes.h"

namespace tallyward {

namespace {

template <class T>
std::shared_ptr<Object> make() {
  return std::make_shared<T>();
}

constexpr std::array<ClassInfo, 8> kClasses{{
    {"ClsS_VerifyFPO", "Tallyward.ClsS_VerifyFPO", "{86C8CA90-D6F8-46D0-8607-DC469D276005}",
     "{B63F8152-B2C2-4B33-915B-0D2D02E2B252}", "_ClsS_VerifyFPO", false, &make<ClsS_VerifyFPO>},
    {"ClsS_VerifyBillF", "Tallyward.ClsS_VerifyBillF", "{CFA31A4F-F351-4D08-B18E-45DFEB8D576D}",
     "{5A2D735B-D26D-4BB6-9DF1-559262D286D5}", "_ClsS_VerifyBillF", false, &make<ClsS_VerifyBillF>},
    {"ClsS_VerifyArriveF", "Tallyward.ClsS_VerifyArriveF", "{C5EC11B3-4CBB-4C89-BA25-638DF111B427}",
     "{5EBD5BBF-90A6-47D7-8615-A30D4953EB0E}", "_ClsS_VerifyArriveF", false,
     &make<ClsS_VerifyArriveF>},
    {"ClsS_VerifyApplyF", "Tallyward.ClsS_VerifyApplyF", "{98598CA8-78FB-4CE6-BDCB-6FBA76B6A282}",
     "{070C487A-75AB-458D-865E-4D564C3F82E8}", "_ClsS_VerifyApplyF", false,
     &make<ClsS_VerifyApplyF>},
    {"ClsS_VerifyHPO", "Tallyward.ClsS_VerifyHPO", "{15EFD80A-3B3E-4B76-A95D-E640CF64015C}",
     "{0083A975-81FB-4274-819C-F006E3712810}", "_ClsS_VerifyHPO", true, &make<ClsS_VerifyHPO>},
    {"ClsS_VerifyBillH", "Tallyward.ClsS_VerifyBillH", "{20B7E34A-C5B4-449C-9185-DD04FE6F2DD1}",
     "{9EF86391-4584-49FC-A791-98AC3B5A474D}", "_ClsS_VerifyBillH", true, &make<ClsS_VerifyBillH>},
    {"ClsS_VerifyArriveH", "Tallyward.ClsS_VerifyArriveH", "{1738618F-E91D-4153-941B-48FCAF404445}",
     "{A00EB09E-9357-4F71-9455-E77072D98EDF}", "_ClsS_VerifyArriveH", true,
     &make<ClsS_VerifyArriveH>},
    {"ClsS_VerifyApplyH", "Tallyward.ClsS_VerifyApplyH", "{7AF1218C-D3C9-4474-B949-962B33B699D9}",
     "{86DE7975-87C8-4FB6-9DA3-C36B24009F51}", "_ClsS_VerifyApplyH", true,
     &make<ClsS_VerifyApplyH>},
}};

bool same(std::string_view a, std::string_view b) { return DispatchTable<Object>::equalsNoCase(a, b); }

std::string_view withoutBraces(std::string_view s) {
  if (s.size() >= 2 && s.front() == '{' && s.back() == '}') return s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

std::span<const ClassInfo> registeredClasses() { return kClasses; }

const ClassInfo* findClass(std::string_view id) {
  for (const ClassInfo& c : kClasses)
    if (same(c.name, id) || same(c.progId, id) || same(withoutBraces(c.clsid), withoutBraces(id)))
      return &c;
  return nullptr;
}

std::shared_ptr<Object> createObject(std::string_view id) {
  if (const ClassInfo* c = findClass(id)) return c->create();
  throwError(err::CannotCreate, "ActiveX component can't create object: " + std::string(id));
}

}  // namespace tallyward
