#pragma once

#include <QDateTime>
#include <string>
#include <string_view>

namespace sievo {

// Formats a date and time with the pattern language of reply templates: d, m, y, h, n, s,
// t, c, am/pm, a/p, ampm, "/" and ":" in the user's locale, quoted text copied, letters in
// any case. An empty pattern gives the standard date-time text.
std::string FormatDateTimePattern(std::string_view pattern, const QDateTime& when);

}  // namespace sievo
