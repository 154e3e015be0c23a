#include <gtest/gtest.h>

#include <set>

#include "rows/voucher.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/registry.h"

namespace tallyward {
namespace {

TEST(Registry, EveryClassByNameProgIdAndClsid) {
  ASSERT_EQ(registeredClasses().size(), 8u);
  std::set<std::string_view> clsids;
  for (const ClassInfo& c : registeredClasses()) {
    clsids.insert(c.clsid);
    EXPECT_EQ(c.progId, "Tallyward." + std::string(c.name));
    EXPECT_EQ(c.interface, "_" + std::string(c.name));
    for (const std::string& id :
         {std::string(c.name), std::string(c.progId), std::string(c.clsid),
          std::string(c.clsid.substr(1, c.clsid.size() - 2)), lowerCase(c.clsid)}) {
      auto o = createObject(id);
      ASSERT_TRUE(o) << id;
      EXPECT_EQ(o->typeName(), c.name) << id;
    }
  }
  EXPECT_EQ(clsids.size(), 8u);
  EXPECT_EQ(findClass("{15EFD80A-3B3E-4B76-A95D-E640CF64015C}")->name, "ClsS_VerifyHPO");
}

TEST(Registry, UnknownNamesAreError429) {
  for (const char* id : {"ClsS_VerifyXYZ", "Tallyward.", "{00000000-0000-0000-0000-000000000000}", ""})
    EXPECT_EQ(test::errorNumber([&] { createObject(id); }), err::CannotCreate) << id;
}

// The members of each class in declaration order: properties from 0x40030000, methods from 0x60030000.
struct Surface {
  const char* cls;
  std::vector<const char*> properties;
  std::vector<const char*> methods;
};

TEST(DispatchIds, FixedByMemberOrder) {
  const Surface surfaces[] = {
      {"ClsS_VerifyFPO", {"m_UseMode", "m_bAlterPO"}, {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyBillF", {"m_UseMode", "m_bPositive", "sBillType"}, {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyArriveF", {"m_UseMode", "m_ConvertExchRate", "m_bPositive"}, {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyApplyF", {"m_UseMode"}, {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyHPO", {"m_Cnn", "m_login", "m_UseMode", "clsInfor"},
       {"VerifyBody", "VerifyHead", "bVerifyPoCode"}},
      {"ClsS_VerifyBillH", {"m_UseMode", "m_Cnn", "m_login", "clsInfor", "sBillType"},
       {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyArriveH", {"m_UseMode", "m_Cnn", "m_login", "clsInfor", "m_bPositive"},
       {"VerifyBody", "VerifyHead"}},
      {"ClsS_VerifyApplyH", {"m_UseMode", "m_Cnn", "m_login", "clsInfor"}, {"VerifyBody", "VerifyHead"}},
  };
  for (const Surface& s : surfaces) {
    auto o = createObject(s.cls);
    for (size_t i = 0; i < s.properties.size(); ++i)
      EXPECT_EQ(o->GetIDsOfNames(s.properties[i]), 0x40030000 + static_cast<DispId>(i)) << s.cls;
    for (size_t i = 0; i < s.methods.size(); ++i)
      EXPECT_EQ(o->GetIDsOfNames(s.methods[i]), 0x60030000 + static_cast<DispId>(i)) << s.cls;
    EXPECT_EQ(o->GetIDsOfNames("VERIFYBODY"), 0x60030000) << "names are not case-sensitive";
    EXPECT_THROW(o->GetIDsOfNames("Verify"), Error);
  }
}

// A property reads its default until set, then the value set, converted to its type; a value of the
// wrong kind is refused, and an object property takes an object by reference.
TEST(Properties, DefaultsConversionsAndRefusals) {
  const struct { const char* cls; const char* name; Variant initial, set, read; } cases[] = {
      {"ClsS_VerifyFPO", "m_UseMode", Variant(0), Variant(1.0), Variant(1)},
      {"ClsS_VerifyFPO", "m_bAlterPO", Variant(false), Variant("True"), Variant(true)},
      {"ClsS_VerifyArriveF", "m_ConvertExchRate", Variant(0.0), Variant("1.5"), Variant(1.5)},
      {"ClsS_VerifyBillF", "sBillType", Variant(""), Variant("wwpurbill"), Variant("wwpurbill")},
  };
  for (const auto& c : cases) {
    auto o = createObject(c.cls);
    EXPECT_EQ(o->get(c.name), c.initial) << c.name;
    o->put(c.name, c.set);
    EXPECT_EQ(o->get(c.name), c.read) << c.name;
  }
  EXPECT_EQ(test::errorNumber([] { createObject("ClsS_VerifyFPO")->put("m_bAlterPO", Variant("maybe")); }), err::TypeMismatch);
  auto hpo = createObject("ClsS_VerifyHPO");
  EXPECT_EQ(hpo->get("m_Cnn"), Variant(std::shared_ptr<Object>()));
  auto doc = test::voucher({{{"a", "1"}}});
  EXPECT_EQ(test::errorNumber([&] { hpo->putRef("m_Cnn", Variant(doc)); }), err::TypeMismatch);  // no connection
  EXPECT_NE(test::errorNumber([&] { hpo->put("m_Cnn", Variant(1)); }), 0);
  hpo->putRef("clsInfor", Variant(doc));
  EXPECT_EQ(hpo->get("clsInfor"), Variant(std::shared_ptr<Object>(doc)));
}

TEST(LateBound, CallByNameAndByDispatchId) {
  auto fpo = createObject("Tallyward.ClsS_VerifyFPO");
  auto body = test::voucher({test::line({{"cinvcode", ""}, {"iquantity", "1"}})});
  std::vector<Variant> args{Variant("iQuantity"), Variant(body), Variant(7)};
  EXPECT_EQ(fpo->call("VerifyBody", args), Variant("第[7]行请先录入存货！"));
  EXPECT_EQ(fpo->Invoke(0x60030000, InvokeKind::Method, args), Variant("第[7]行请先录入存货！"));
  // The optional R may be left out; a whole pass does not read it.
  std::vector<Variant> whole{Variant("all"), Variant(body)};
  EXPECT_EQ(fpo->call("VerifyBody", whole), Variant("第[1]行存货不能为空，请检查！"));
  std::vector<Variant> tooFew{Variant("all")};
  EXPECT_THROW(fpo->call("VerifyBody", tooFew), Error);
}

}  // namespace
}  // namespace tallyward
