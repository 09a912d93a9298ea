#pragma once

#include <functional>

#include <QDialog>

#include "store/rule_store.h"

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
    void Load(const RuleRecord& rule);
    // What the dialog sets: every key but Active and NumHits.
    RuleRecord Settings() const;
    // Writes the rule on Finish or OK; a refused write keeps the dialog open.
    void SetSave(std::function<void(const RuleRecord&)> save) { save_ = std::move(save); }

    void done(int result) override;

private:
    RuleCriterionPanel* criterion_;
    RuleActionPanel* actions_;
    std::function<void(const RuleRecord&)> save_;
};

}  // namespace sievo
