#pragma once

#include <string>
#include <vector>

namespace sievo {

// Opens a web page: in [Browser] CommandLine's program when one is set (started without
// a shell), else in the desktop's default handler. True when it could be handed over.
bool LFUNClaunchWebSite(const std::string& address);

// Opens the program's help page (help/index.html in the data folder) at a topic's anchor.
bool OpenHelpTopic(const std::string& anchor);

// The items of the "Corvane on the Web" menu and the help topic each opens; an empty
// text stands for a separator.
struct WebLink {
    const char* text;
    const char* anchor;
};
const std::vector<WebLink>& WebLinks();

}  // namespace sievo
