#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QProgressBar;

namespace sievo {

// The small window that shows a spammer-list download under way.
class TransferProgressWindow : public QDialog {
    Q_OBJECT

public:
    explicit TransferProgressWindow(QWidget* parent = nullptr);

    // percent -1 means the size is not known: the bar stays hidden.
    void SetProgress(int percent, std::int64_t bytes);

private:
    QLabel* lblBytes_;
    QProgressBar* prgTransfer_;
};

}  // namespace sievo
