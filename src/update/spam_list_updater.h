#pragma once

#include <QDateTime>
#include <functional>
#include <string>

#include "net/ag_http.h"

namespace sievo {

class UpdatePrompts;

// Where the update descriptor lives unless [AUTOUPDATE] UpdateURL names another place.
inline constexpr const char* kMakerUpdateURL = "http://www.corvane.com/updates/updates.ini";

// Whether the automatic check is due at the given moment: it is switched on and the last
// check plus the interval in days lies before that moment. A stored date that is not a
// date raises.
bool AutoUpdateDue(const QDateTime& now);

// What came of putting a downloaded list in place.
enum class ListUpdate { kReplaced, kNothingWaiting, kEmptyListKept, kFailed };

// Renames newFile over oldFile in one step, so a crash leaves one list or the other, never
// none. A newFile that holds no address is kept where it is, instead of emptying a list
// that holds some.
ListUpdate PutNewListInPlace(const std::string& newFile, const std::string& oldFile);

// The text that reports a new list kept aside because it was empty.
std::string EmptyListKeptText(const std::string& newFile, const std::string& oldFile);

// PutNewListInPlace, logging an empty list kept aside; true only when the list was replaced.
bool FBOOLDoUpdate(const std::string& newFile, const std::string& oldFile);

// Fetches the update descriptor and, when it announces a newer spammer list and the user
// agrees, downloads it and puts it in place of sievo.lst.
class SpamListUpdater {
public:
    // ensureConnection prepares the network as for a check; -1 means there is none.
    SpamListUpdater(UpdatePrompts& user, std::function<int()> ensureConnection);

    // True when a new list was downloaded.
    bool FBOOLGetUpdate(const std::string& section);

private:
    void ApplyProxySettings();
    // Fetches url and saves the body to the file; only a 200 reply is saved.
    void Download(const std::string& url, const std::string& fileName);
    bool OfferNewList(const std::string& fileURL);

    UpdatePrompts& user_;
    std::function<int()> ensureConnection_;
    TagHTTP httpUpdate_;
};

}  // namespace sievo
