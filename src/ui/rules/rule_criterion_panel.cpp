#include "ui/rules/rule_criterion_panel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "store/rule_store.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

const QStringList kSubjectSuggestions = {
    "!!",         "$$",       "==",   "CHANGE YOUR LIFE", "INCREDIBLE DEAL", "HUGE PROFIT",
    "MAKE MONEY", "CALL 800", "BULK", "LOTTERY",          "MONEY FAST",      "XXX"};

// "X-Distribution: Bulk" stands twice, as users have always seen it.
const QStringList kHeaderSuggestions = {"X-Advertisement",          "X-Authentication-Warning",
                                        "X-Distribution: Bulk",     "X-Distribution: Mass",
                                        "X-Distribution: Moderate", "X-Distribution: Bulk",
                                        "X-Mailer: Extractor",      "X-Mailer: Floodgate",
                                        "X-Mailer: Group Mail",     "X-Mailer: Millennium Mailer",
                                        "X-Sender: News Breaker"};

QComboBox* SuggestionBox(const QStringList& suggestions, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(suggestions);
    box->setCurrentIndex(-1);
    box->setEditText("");
    return box;
}

QString BoxText(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    return static_cast<const QComboBox*>(box)->currentText();
}

void SetBoxText(QWidget* box, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setText(text);
    else
        static_cast<QComboBox*>(box)->setEditText(text);
}

}  // namespace

RuleCriterionPanel::RuleCriterionPanel(bool focusValueBox, QWidget* parent)
    : QWidget(parent),
      focusValueBox_(focusValueBox),
      optAddress_(new QRadioButton(tr("From a certain e-mail address or domain"), this)),
      optUserDef_(new QRadioButton(tr("Subject contains"), this)),
      optHeader_(new QRadioButton(tr("&Headers contain"), this)),
      optList_(
          new QRadioButton(tr("From address matches Corvane provided \"Spammer List\""), this)),
      optFromNum_(new QRadioButton(tr("From an e-mail address with numbers for username"), this)),
      edtFrom_(new QLineEdit(this)),
      edtValue_(SuggestionBox(kSubjectSuggestions, this)),
      edtHeaders_(SuggestionBox(kHeaderSuggestions, this)) {
    Name(optAddress_, "optAddress", optAddress_->text());
    Name(optUserDef_, "optUserDef", optUserDef_->text());
    Name(optHeader_, "optHeader", tr("Headers contain"));
    Name(optList_, "optList", tr("Matches Known Spammer List"));
    Name(optFromNum_, "optFromNum", optFromNum_->text());
    Name(edtFrom_, "edtFrom", tr("Address / domain"));
    Name(edtValue_, "edtValue", tr("Subject Contains"));
    Name(edtHeaders_, "edtHeaders", tr("Mail Header"));

    auto* normal = new QGroupBox(tr("Normal Spam Filtration Options"), this);
    auto* normalLayout = new QVBoxLayout(normal);
    for (QRadioButton* option : {optAddress_, optUserDef_, optHeader_})
        normalLayout->addWidget(option);
    auto* special = new QGroupBox(tr("Special Spam Detection Options"), this);
    auto* specialLayout = new QVBoxLayout(special);
    for (QRadioButton* option : {optList_, optFromNum_})
        specialLayout->addWidget(option);
    auto* fromServer = new QGroupBox(tr("Signals from your mail server"), this);
    auto* fromServerLayout = new QVBoxLayout(fromServer);
    optAuthFail_ = SignalOption(
        tr("The sender failed &authentication at your server"), "optAuthFail",
        tr("Reads the SPF, DKIM and DMARC verdicts your server wrote."), fromServerLayout);
    optSpamFlag_ = SignalOption(tr("Your server's spam filter marked it as s&pam"), "optSpamFlag",
                                tr("Reads the spam flag and score your server's filter wrote."),
                                fromServerLayout);
    optDnsbl_ = SignalOption(tr("The sending host is on a DNS b&locklist"), "optDnsbl",
                             tr("Asks a blocklist about the host that sent it to your provider."),
                             fromServerLayout);
    auto* edtAuthMethods = new QLineEdit(this);
    edtAuthMethods->setPlaceholderText("dmarc");
    Name(edtAuthMethods, "edtAuthMethods", tr("Methods"));
    auto* edtSpamScore = new QLineEdit(this);
    Name(edtSpamScore, "edtSpamScore", tr("Lowest score"));
    auto* edtZone = new QLineEdit(this);
    Name(edtZone, "edtZone", tr("Blocklist zone"));

    // One choice across all groups.
    auto* group = new QButtonGroup(this);
    for (QRadioButton* option : {optAddress_, optUserDef_, optHeader_, optList_, optFromNum_,
                                 optAuthFail_, optSpamFlag_, optDnsbl_})
        group->addButton(option);

    auto* values = new QGridLayout;
    const auto addValue = [&](QRadioButton* option, const char* keyword, const QString& caption,
                              QWidget* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        const int row = values->rowCount();
        values->addWidget(label, row, 0);
        values->addWidget(box, row, 1);
        choices_.push_back({option, keyword, label, box});
    };
    addValue(optAddress_, "FROM", tr("A&ddress / domain:"), edtFrom_);
    addValue(optUserDef_, "SUBCONT", tr("Subject Contains:"), edtValue_);
    addValue(optHeader_, "HEADER", tr("&Mail Header:"), edtHeaders_);
    choices_.push_back({optList_, "LIST", nullptr, nullptr});
    choices_.push_back({optFromNum_, "FROMNUM", nullptr, nullptr});
    addValue(optAuthFail_, "AUTHFAIL", tr("Me&thods (spf, dkim, dmarc):"), edtAuthMethods);
    addValue(optSpamFlag_, "SPAMFLAG", tr("Lowest spam s&core (empty: the flag alone):"),
             edtSpamScore);
    addValue(optDnsbl_, "DNSBL", tr("Blocklist &zone:"), edtZone);
    values->setColumnStretch(1, 1);

    // A label naming the panel may give it the focus (not Tab: it is no stop of its own).
    setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(normal);
    layout->addWidget(special);
    layout->addWidget(fromServer);
    layout->addLayout(values);
    layout->addStretch();
    for (const Choice& choice : choices_)
        connect(choice.option, &QRadioButton::clicked, this,
                [this, choice] { ShowValueBox(choice); });
    ChooseAddress();
}

// A choice with the sentence that says what it looks at, indented below it; one line, so
// that a dialog squeezed by a small screen cannot cut it.
QRadioButton* RuleCriterionPanel::SignalOption(const QString& caption, const char* objectName,
                                               const QString& sentence, QLayout* group) {
    auto* option = new QRadioButton(caption, this);
    Name(option, objectName, QString(caption).remove('&'));
    option->setAccessibleDescription(sentence);
    auto* explanation = new QLabel(sentence, this);
    explanation->setIndent(option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                           option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
    group->addWidget(option);
    group->addWidget(explanation);
    return option;
}

void RuleCriterionPanel::ChooseAddress() {
    optAddress_->setChecked(true);
    ShowValueBox(choices_.front());
}

void RuleCriterionPanel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    for (const Choice& choice : choices_)
        if (choice.option->isChecked())
            choice.option->setFocus(event->reason());
}

void RuleCriterionPanel::HideValueBoxes() {
    for (const Choice& choice : choices_) {
        if (choice.box) {
            choice.label->hide();
            choice.box->hide();
        }
    }
}

void RuleCriterionPanel::ShowValueBox(const Choice& chosen) {
    HideValueBoxes();
    if (!chosen.box)
        return;
    chosen.label->show();
    chosen.box->show();
    if (focusValueBox_)
        chosen.box->setFocus();
}

void RuleCriterionPanel::SetAddress(const QString& address) {
    edtFrom_->setText(address);
}

void RuleCriterionPanel::Load(const RuleRecord& rule) {
    HideValueBoxes();
    for (const Choice& choice : choices_) {
        if (rule.Criteria != choice.keyword)
            continue;
        choice.option->setChecked(true);
        if (!choice.box)
            continue;
        choice.label->show();
        choice.box->show();
        SetBoxText(choice.box, QString::fromStdString(rule.Value));
    }
}

void RuleCriterionPanel::Store(RuleRecord& rule) const {
    rule.Value.clear();
    for (const Choice& choice : choices_) {
        if (!choice.option->isChecked())
            continue;
        rule.Criteria = choice.keyword;
        if (choice.box)
            rule.Value = BoxText(choice.box).toStdString();
    }
}

}  // namespace sievo
