#include "platform/db/sql_text.h"

#include <cmath>

#include "tallyward/error.h"

namespace tallyward {

std::string escapeSql(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

std::string sqlLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 4);
  out.push_back('\'');
  out += escapeSql(text);
  out.push_back('\'');
  return out;
}

std::string escapeSqlValue(const Variant& value) {
  if (value.isNull()) return {};
  return escapeSql(toText(value));
}

std::string sqlNumber(const Variant& value) {
  double number = 0;
  switch (value.type()) {
    case VarType::Long: return std::to_string(value.asLong());
    case VarType::Double:
      number = value.asDouble();
      if (!std::isfinite(number))
        throwError(err::TypeMismatch, "Type mismatch: the statement needs a finite number here");
      break;
    case VarType::String:
      if (!parseNumber(value.asString(), number))
        throwError(err::TypeMismatch,
                   "Type mismatch: '" + value.asString() + "' is not a number for the statement");
      break;
    default:
      throwError(err::TypeMismatch, "Type mismatch: the statement needs a number here");
  }
  return formatNumber(number);
}

}  // namespace tallyward
