// Small helpers of the host services: class identifiers and date values.
#pragma once

#include <string>
#include <string_view>

#include "tallyward/variant.h"

namespace tallyward::host {

// Whether two class identifiers name the same class: letter case and the braces of a CLSID do
// not matter.
bool sameClassId(std::string_view a, std::string_view b);

// The automation date of a value: a Date, a number of days, or a date text ("2026-03-05",
// "2026-03-05T10:00:00", "2026/3/5 10:00"). Error 13 naming `what` when it is none of these.
double dateValueOf(const Variant& value, std::string_view what);

}  // namespace tallyward::host
