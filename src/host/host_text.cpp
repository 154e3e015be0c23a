#include "host/host_text.h"

#include "tallyward/error.h"
#include "tallyward/object.h"

namespace tallyward::host {

namespace {
std::string_view withoutBraces(std::string_view s) {
  if (s.size() >= 2 && s.front() == '{' && s.back() == '}') return s.substr(1, s.size() - 2);
  return s;
}
}  // namespace

bool sameClassId(std::string_view a, std::string_view b) {
  return DispatchTable<Object>::equalsNoCase(withoutBraces(a), withoutBraces(b));
}

double dateValueOf(const Variant& value, std::string_view what) {
  switch (value.type()) {
    case VarType::Date: return value.asDate().value;
    case VarType::Long:
    case VarType::Double: return toDouble(value);
    case VarType::String: {
      // An XML date-time separates the time with a T.
      std::string text = value.asString();
      for (char& c : text)
        if (c == 'T') c = ' ';
      double d = 0;
      if (parseDate(text, d)) return d;
      throwError(err::TypeMismatch,
                 "Type mismatch: " + std::string(what) + " '" + value.asString() + "' is not a date");
    }
    default:
      throwError(err::TypeMismatch, "Type mismatch: " + std::string(what) + " is not a date");
  }
}

}  // namespace tallyward::host
