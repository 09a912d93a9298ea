#pragma once

#include <string>

namespace sievo {

class TmsMessage;

// Expands the first merge code ("<<COMMAND~PARAMETER>>") of every body line of the
// template, taking header values from source.
void PROCMergeTemplate(TmsMessage& templateMessage, const TmsMessage& source);

// The text that stands for a code that gives no value.
inline constexpr const char* kNoValueProvided = "<no value provided>";

}  // namespace sievo
