#include "ui/accounts/connection_choice.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "config/text.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

constexpr int kMaxIntervalMinutes = 1440;

}  // namespace

QString IntervalLabelText(int minutes) {
    if (minutes < 60)
        return QObject::tr("Every %1 Minutes").arg(minutes);
    return QObject::tr("Every %1 Hours").arg(minutes / 60);
}

QSlider* NewIntervalSlider(QLabel* label, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, kMaxIntervalMinutes);
    slider->setSingleStep(1);
    slider->setPageStep(60);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(60);
    Name(label, "lblInterval", QObject::tr("Interval"));
    QObject::connect(slider, &QSlider::valueChanged, label,
                     [label](int value) { label->setText(IntervalLabelText(value)); });
    label->setText(IntervalLabelText(slider->value()));
    return slider;
}

ConnectionChoice::ConnectionChoice(const Texts& texts, QWidget* parent)
    : QWidget(parent),
      optLAN_(new QRadioButton(texts.lan, this)),
      optManual_(new QRadioButton(texts.manual, this)),
      optRAS_(new QRadioButton(texts.ras, this)),
      lblConnection_(new QLabel(texts.connection, this)),
      cboConnection_(new QComboBox(this)) {
    Name(optLAN_, "optLAN", QString(texts.lan).remove('&'));
    Name(optManual_, "optManual", QString(texts.manual).remove('&'));
    Name(optRAS_, "optRAS", QString(texts.ras).remove('&'));
    Name(cboConnection_, "cboConnection", QString(texts.connection).remove('&'));
    lblConnection_->setObjectName("lblConnection");
    lblConnection_->setBuddy(cboConnection_);
    optLAN_->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : {static_cast<QWidget*>(optLAN_), static_cast<QWidget*>(optManual_),
                            static_cast<QWidget*>(optRAS_), static_cast<QWidget*>(lblConnection_),
                            static_cast<QWidget*>(cboConnection_)})
        layout->addWidget(widget);
    layout->addStretch();
    for (QRadioButton* option : {optLAN_, optManual_, optRAS_})
        connect(option, &QRadioButton::toggled, this, &ConnectionChoice::ApplyRule);
    ApplyRule();
}

void ConnectionChoice::SetEntries(const std::vector<std::string>& entries,
                                  const std::function<bool(const std::string&)>& matches) {
    cboConnection_->clear();
    int found = -1;
    for (const std::string& entry : entries) {
        if (found < 0 && matches(entry))
            found = cboConnection_->count();
        cboConnection_->addItem(QString::fromStdString(entry));
    }
    cboConnection_->setCurrentIndex(found);
    ApplyRule();
}

void ConnectionChoice::SetMethod(const std::string& method) {
    const std::string upper = ToUpperAscii(method);
    (upper == "MANUAL" ? optManual_ : upper == "RAS" ? optRAS_ : optLAN_)->setChecked(true);
    ApplyRule();
}

std::string ConnectionChoice::Method() const {
    if (optManual_->isChecked())
        return "MANUAL";
    return optRAS_->isChecked() ? "RAS" : "LAN";
}

std::string ConnectionChoice::Service() const {
    return cboConnection_->currentText().toStdString();
}

bool ConnectionChoice::UsesService() const {
    return !optLAN_->isChecked();
}

void ConnectionChoice::ApplyRule() {
    const bool enabled = UsesService();
    lblConnection_->setEnabled(enabled);
    cboConnection_->setEnabled(enabled);
    if (enabled && cboConnection_->count() > 0 && cboConnection_->currentIndex() < 0)
        cboConnection_->setCurrentIndex(0);
}

}  // namespace sievo
