#include "platform/db/column_values.h"

#include <limits>
#include <string>

#include "tallyward/error.h"

namespace tallyward::dbvalues {

Variant wholeNumber(int64_t v) {
  if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
    return Variant(static_cast<int>(v));
  return Variant(static_cast<double>(v));
}

Variant textValue(std::string_view text, ColumnKind kind) {
  if (kind == ColumnKind::DateTime) {
    double date = 0;
    if (parseDate(text, date)) return Variant(Date{date});
  } else if (kind == ColumnKind::Bit) {
    try {
      return Variant(toBoolean(Variant(text)));
    } catch (const Error&) {
    }
  }
  return Variant(text);
}

}  // namespace tallyward::dbvalues
