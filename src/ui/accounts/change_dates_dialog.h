#pragma once

#include <QDateTime>
#include <QDialog>

class QCalendarWidget;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace sievo {

// "Change Scan Dates": a month calendar for the day of the next check and a field for its
// time. It opens on today's date; the month buttons stay within the year.
class TfrmChange : public QDialog {
    Q_OBJECT

public:
    TfrmChange(const QTime& time, QWidget* parent);

    // The date and time typed, once OK has accepted them.
    QDateTime Chosen() const { return chosen_; }

    void accept() override;

private:
    void AddNavigation(QHBoxLayout* row);
    void MoveMonths(int months);
    void CalendarChanged();

    QCalendarWidget* calendar_;
    QLineEdit* edtDate_;
    QLineEdit* edtTime_;
    QLabel* lblNextProcessing_;
    QDateTime chosen_;
};

}  // namespace sievo
