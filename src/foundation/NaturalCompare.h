#pragma once
// Ordering of names as people expect it: digit runs compare by their value, so
// "img9" comes before "img10" and "a01" equals "a1".
#include <string_view>

namespace orbelin {

// Negative, 0 or positive. Outside digit runs the order is by character code,
// case-sensitive ("B" before "a"). Texts are UTF-8 and compared by bytes, which
// gives the same order as UTF-16 code units for every text outside the
// supplementary planes.
int NaturalCompare(std::string_view a, std::string_view b);

}  // namespace orbelin
