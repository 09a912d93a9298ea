#include "ui/rules/rule_properties_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/rules/rule_action_panel.h"
#include "ui/rules/rule_criterion_panel.h"

namespace sievo {

namespace {

QWidget* Tab(const QString& introduction, QWidget* content) {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    auto* lblIntro = new QLabel(introduction, tab);
    lblIntro->setWordWrap(true);
    layout->addWidget(lblIntro);
    layout->addWidget(content, 1);
    return tab;
}

}  // namespace

TfrmRuleProp::TfrmRuleProp(QWidget* parent)
    : QDialog(parent),
      criterion_(new RuleCriterionPanel(false, this)),
      actions_(new RuleActionPanel(this)) {
    Name(this, "frmRuleProp", tr("Rule Properties"));
    setWindowTitle(tr("Rule Properties"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("PageControl1");
    tabs->addTab(
        Tab(tr("Please specify the criteria by which this rule will be activated."), criterion_),
        tr("Criterion"));
    tabs->addTab(Tab(tr("Please select an action for the mail message when this condition is "
                        "met."),
                     actions_),
                 tr("Action"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(OkCancelButtons(this));
}

void TfrmRuleProp::PopulateMessageList() {
    actions_->PopulateMessageList();
}

void TfrmRuleProp::Load(const RuleRecord& rule) {
    actions_->Load(rule);
    criterion_->Load(rule);
}

RuleRecord TfrmRuleProp::Settings() const {
    RuleRecord rule;
    criterion_->Store(rule);
    actions_->Store(rule);
    return rule;
}

void TfrmRuleProp::done(int result) {
    if (result == QDialog::Accepted) {
        const QStringList missing = actions_->MissingMessageChoices();
        for (const QString& text : missing)
            ShowUserMessage(this, text);
        if (!missing.isEmpty())
            return;
        if (save_ && !RunShowingFailure(this, [this] { save_(Settings()); }))
            return;
    }
    QDialog::done(result);
}

}  // namespace sievo
