#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "engine/user_questions.h"

class QTreeWidget;

namespace sievo {

// The window the scan shows before it deletes messages whose rules ask for confirmation:
// one ticked row per message; the user unticks what is to be kept, and may look at a
// message first.
class TfrmDeletePrev : public QDialog {
    Q_OBJECT

public:
    // viewMessage shows the message at a listing position; empty for none.
    explicit TfrmDeletePrev(const std::vector<DeletionRow>& rows,
                            std::function<void(int index)> viewMessage = {},
                            QWidget* parent = nullptr);

    // Whether each row is still ticked.
    std::vector<bool> Ticked() const;

protected:
    // Escape keeps every message, as the button that says so.
    void reject() override;

private:
    void KeepAll();
    void ViewCurrent();

    QTreeWidget* lstVRem_;
    std::function<void(int index)> viewMessage_;
};

}  // namespace sievo
