#pragma once

#include <QDialog>

#include "ui/rule_settings.h"

namespace sievo {

class RuleActionPanel;
class RuleCriterionPanel;

// The properties of one rule on two tabs. OK is refused while a ticked reply or report
// has no chosen message; Cancel always closes.
class TfrmRuleProp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRuleProp(QWidget* parent = nullptr);

    void PopulateMessageList();
    void Load(const RuleSettings& settings);
    RuleSettings Settings() const;

    void done(int result) override;

private:
    RuleCriterionPanel* criterion_;
    RuleActionPanel* actions_;
};

}  // namespace sievo
