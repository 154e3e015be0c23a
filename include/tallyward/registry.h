// Creating the verification classes by class name, ProgID or CLSID, as a COM caller would.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "tallyward/object.h"

namespace tallyward {

inline constexpr std::string_view kLibraryName = "Tallyward";
inline constexpr std::string_view kLibId = "{08643AEA-5662-45F6-B1FD-2B4EB46FCB1B}";

struct ClassInfo {
  std::string_view name;       // ClsS_VerifyFPO
  std::string_view progId;     // Tallyward.ClsS_VerifyFPO
  std::string_view clsid;      // {86C8CA90-...}
  std::string_view iid;        // the default interface _ClsS_VerifyFPO
  std::string_view interface;  // _ClsS_VerifyFPO
  bool fieldEntry;             // looks entries up in the database
  std::shared_ptr<Object> (*create)();
};

// The eight classes, whole-voucher checks first.
std::span<const ClassInfo> registeredClasses();

// The class a name, ProgID or CLSID (braces optional, any letter case) names; nullptr if none.
const ClassInfo* findClass(std::string_view nameProgIdOrClsid);

// Creates a class; error 429 when nothing of that name is registered.
std::shared_ptr<Object> createObject(std::string_view nameProgIdOrClsid);

}  // namespace tallyward
