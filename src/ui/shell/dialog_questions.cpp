#include "ui/shell/dialog_questions.h"

#include <QString>

#include "ui/common/message_boxes.h"
#include "ui/shell/deletion_confirm_dialog.h"

namespace sievo {

DialogQuestions::DialogQuestions(std::function<void(int index)> view)
    : viewDeletion_(std::move(view)) {}

void DialogQuestions::ShowMessage(const std::string& text) {
    ShowUserMessage(nullptr, QString::fromStdString(text));
}

std::vector<bool> DialogQuestions::ConfirmDeletions(const std::vector<DeletionRow>& rows) {
    TfrmDeletePrev window(rows, viewDeletion_);
    // Both buttons accept; anything else (the program ending meanwhile) deletes nothing.
    if (window.exec() != QDialog::Accepted)
        return std::vector<bool>(rows.size(), false);
    return window.Ticked();
}

}  // namespace sievo
