#pragma once

#include <functional>

#include "engine/user_questions.h"

namespace sievo {

// The windowed program's message boxes and deletion-confirmation window.
class DialogQuestions : public UserQuestions {
public:
    // view shows the message at a listing position, from the confirmation window.
    explicit DialogQuestions(std::function<void(int index)> view);

    void ShowMessage(const std::string& text) override;
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override;

private:
    std::function<void(int index)> viewDeletion_;
};

}  // namespace sievo
