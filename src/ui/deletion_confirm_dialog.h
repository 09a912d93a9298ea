#pragma once

#include <QDialog>
#include <vector>

#include "config/host.h"

class QTreeWidget;

namespace sievo {

// The window the scan shows before it deletes messages whose rules ask for confirmation:
// one ticked row per message; the user unticks what is to be kept.
class TfrmDeletePrev : public QDialog {
    Q_OBJECT

public:
    explicit TfrmDeletePrev(const std::vector<DeletionRow>& rows, QWidget* parent = nullptr);

    // Whether each row is still ticked.
    std::vector<bool> Ticked() const;

protected:
    // Escape keeps every message, as the button that says so.
    void reject() override;

private:
    void KeepAll();

    QTreeWidget* lstVRem_;
};

}  // namespace sievo
