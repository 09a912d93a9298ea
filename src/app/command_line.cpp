#include "app/command_line.h"

#include "config/text.h"

namespace sievo {

namespace {

const std::string kSinglePassSwitch = "/SINGLEPASS";

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::string>& parameters) {
    CommandLineRequest request;
    if (parameters.empty())
        return request;
    const std::string& first = parameters.front();
    if (ToUpperAscii(first.substr(0, kSinglePassSwitch.size())) == kSinglePassSwitch)
        request.singlePass = true;
    else
        request.complaint = "Command-line option \"" + first + "\" not understood";
    return request;
}

}  // namespace sievo
