#pragma once

#include <string>
#include <vector>

namespace sievo {

// One row of the deletion-confirmation window.
struct DeletionRow {
    std::string subject;
    std::string from;
    std::string date;
    int index = 0;  // the message's 0-based position in the listing
};

// What the engine tells the user and asks of them.
class UserQuestions {
public:
    virtual ~UserQuestions() = default;

    // A plain message box (or its stand-in) with the text.
    virtual void ShowMessage(const std::string& text) = 0;
    // The deletion-confirmation window: answers, row by row, whether the row stayed ticked.
    // Without anyone to ask, every row is unticked: nothing that a rule asked the user to
    // confirm is deleted without the user.
    virtual std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) = 0;
};

}  // namespace sievo
