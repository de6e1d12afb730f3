#pragma once
// Fixed-point number text as "%.Nf" gives it in the C locale, whatever locale
// the process runs in (the desktop program takes the user's, in which the
// decimal point may be a comma).

#include <string>

namespace kestrel {

void AppendFixed(std::string& out, double value, int decimals);
std::string FixedText(double value, int decimals);

}  // namespace kestrel
