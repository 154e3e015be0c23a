// Values as the ERP's platform delivered them to the checks, whichever driver read them: the
// drivers agree on these rules so that a check sees the same value through either.
#pragma once

#include <cstdint>
#include <string_view>

#include "tallyward/variant.h"

namespace tallyward::dbvalues {

// What a column's declared type says about the text it may hold.
enum class ColumnKind { Plain, Bit, DateTime };

// A whole number: Long within 32 bits, else Double.
Variant wholeNumber(int64_t v);

// Text read from a column. In a date-time column, text that reads as a date becomes a Date; in a
// bit column, True/False (any case) or a number becomes a Boolean. Anything else stays the text
// as it is.
Variant textValue(std::string_view text, ColumnKind kind);

}  // namespace tallyward::dbvalues
