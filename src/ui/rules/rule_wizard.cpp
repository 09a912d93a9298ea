#include "ui/rules/rule_wizard.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWizardPage>
#include <utility>

#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/rules/rule_action_panel.h"
#include "ui/rules/rule_criterion_panel.h"

namespace sievo {

namespace {

QWizardPage* Page(const QString& step, const QString& heading, const QString& introduction,
                  QWidget* content) {
    auto* page = new QWizardPage;
    auto* layout = new QVBoxLayout(page);
    auto* lblStep = new QLabel(step, page);
    QFont bold = lblStep->font();
    bold.setBold(true);
    lblStep->setFont(bold);
    lblStep->setBuddy(content);
    auto* lblIntro = new QLabel(introduction, page);
    lblIntro->setWordWrap(true);
    layout->addWidget(lblStep);
    layout->addWidget(lblIntro);
    if (!heading.isEmpty()) {
        auto* lblHeading = new QLabel(heading, page);
        lblHeading->setBuddy(content);
        layout->addWidget(lblHeading);
    }
    layout->addWidget(content, 1);
    return page;
}

}  // namespace

TfrmRuleWiz::TfrmRuleWiz(QWidget* parent)
    : QWizard(parent),
      criterion_(new RuleCriterionPanel(true, this)),
      actions_(new RuleActionPanel(this)) {
    Name(this, "frmRuleWizard", tr("Rule Wizard"));
    setWindowTitle(tr("Rule Wizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, false);
    setButtonText(QWizard::BackButton, tr("< &Back"));
    setButtonText(QWizard::NextButton, tr("Next >"));
    setButtonText(QWizard::FinishButton, tr("&Finish"));
    setButtonText(QWizard::CancelButton, tr("Cancel"));
    addPage(Page(tr("Step 1:"), tr("&If mail meets the following criteria:"),
                 tr("This wizard will guide you through the process of creating the criteria by "
                    "which messages will be considered SPAM."),
                 criterion_));
    addPage(Page(tr("Step 2: &Choose actions"), {},
                 tr("Please select actions for the mail message when this condition is met."),
                 actions_));
    actions_->PopulateMessageList();
}

void TfrmRuleWiz::showEvent(QShowEvent* event) {
    QWizard::showEvent(event);
    // Only the first time: restoring the minimised wizard shows it again, and must keep the
    // criterion the user chose.
    if (std::exchange(firstShow_, false))
        criterion_->ChooseAddress();
}

void TfrmRuleWiz::done(int result) {
    if (result == QDialog::Accepted && save_ &&
        !RunShowingFailure(this, [this] { save_(Settings()); }))
        return;
    QWizard::done(result);
}

void TfrmRuleWiz::SetAddress(const QString& address) {
    criterion_->SetAddress(address);
}

RuleRecord TfrmRuleWiz::Settings() const {
    RuleRecord rule;
    criterion_->Store(rule);
    actions_->Store(rule);
    return rule;
}

}  // namespace sievo
