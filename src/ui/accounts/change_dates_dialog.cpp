#include "ui/accounts/change_dates_dialog.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "config/date_time.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

// The field shows the long time with seconds, but people type "14:30": the locale's short
// time and the 24-hour form are taken too.
std::optional<QTime> TypedTime(const QString& text) {
    const QLocale locale;
    for (const QString& format : {locale.timeFormat(QLocale::ShortFormat), QStringLiteral("H:mm"),
                                  QStringLiteral("H:mm:ss")}) {
        const QTime time = locale.toTime(text, format);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

std::optional<QDateTime> TypedDateTime(const QString& date, const QString& time) {
    if (auto when = ParseDateTimeText((date + ' ' + time).toStdString()))
        return when;
    const auto day = ParseDateTimeText(date.toStdString());
    const auto hour = TypedTime(time);
    if (!day || !hour)
        return std::nullopt;
    return QDateTime(day->date(), *hour);
}

}  // namespace

TfrmChange::TfrmChange(const QTime& time, QWidget* parent)
    : QDialog(parent),
      calendar_(new QCalendarWidget(this)),
      edtDate_(new QLineEdit(this)),
      edtTime_(new QLineEdit(this)),
      lblNextProcessing_(new QLabel(this)) {
    Name(this, "frmChange", tr("Change Scan Dates"));
    setWindowTitle(tr("Change Scan Dates"));
    Name(calendar_, "calDate", tr("Calendar"));
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setNavigationBarVisible(false);
    calendar_->setSelectedDate(QDate::currentDate());
    Name(lblNextProcessing_, "lblNextProcessing", tr("Next Processing Date"));
    edtDate_->setObjectName("edtDate");
    edtTime_->setObjectName("edtTime");
    edtTime_->setText(QString::fromStdString(FormatLongTime(time)));

    auto* navigation = new QHBoxLayout;
    AddNavigation(navigation);
    auto* fields = new QFormLayout;
    fields->addRow(BuddyLabel(tr("Next Scan &Date:"), edtDate_, this), edtDate_);
    fields->addRow(BuddyLabel(tr("Next Scan &Time:"), edtTime_, this), edtTime_);
    fields->addRow(new QLabel(tr("Next Processing Date:"), this), lblNextProcessing_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(navigation);
    layout->addWidget(calendar_);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &TfrmChange::CalendarChanged);
    CalendarChanged();
}

void TfrmChange::AddNavigation(QHBoxLayout* row) {
    struct Step {
        const char* name;
        QString text;
        std::function<void()> move;
    };
    const Step steps[] = {
        {"btnYearBack", tr("<<Y"),
         [this] { calendar_->setSelectedDate(calendar_->selectedDate().addYears(-1)); }},
        {"btnMonthBack", tr("<M"), [this] { MoveMonths(-1); }},
        {"btnToday", tr("Today"), [this] { calendar_->setSelectedDate(QDate::currentDate()); }},
        {"btnMonthForward", tr("M>"), [this] { MoveMonths(1); }},
        {"btnYearForward", tr("Y>>"),
         [this] { calendar_->setSelectedDate(calendar_->selectedDate().addYears(1)); }},
    };
    for (const Step& step : steps) {
        auto* button = new QPushButton(step.text, this);
        Name(button, step.name, step.text);
        connect(button, &QPushButton::clicked, this, step.move);
        row->addWidget(button);
    }
}

// A move that would leave the year does nothing; from the 31st into a shorter month the
// month's last day is taken.
void TfrmChange::MoveMonths(int months) {
    const QDate current = calendar_->selectedDate();
    const QDate moved = current.addMonths(months);
    if (moved.year() == current.year())
        calendar_->setSelectedDate(moved);
}

void TfrmChange::CalendarChanged() {
    const QString date = QString::fromStdString(FormatShortDate(calendar_->selectedDate()));
    edtDate_->setText(date);
    lblNextProcessing_->setText(date);
    calendar_->setCurrentPage(calendar_->selectedDate().year(), calendar_->selectedDate().month());
}

void TfrmChange::accept() {
    const QString date = edtDate_->text().trimmed(), time = edtTime_->text().trimmed();
    const auto when = TypedDateTime(date, time);
    if (!when) {
        ShowUserMessage(this, tr("'%1' is not a valid date and time.").arg(date + ' ' + time));
        return;
    }
    chosen_ = *when;
    QDialog::accept();
}

}  // namespace sievo
