#pragma once

#include <functional>

#include <QWizard>

#include "store/rule_store.h"

namespace sievo {

class RuleActionPanel;
class RuleCriterionPanel;

// The rule wizard: what to look for on the first page, what to do on the second. It checks
// nothing; the rule list writes what it holds after Finish.
class TfrmRuleWiz : public QWizard {
    Q_OBJECT

public:
    explicit TfrmRuleWiz(QWidget* parent = nullptr);

    // The address box's text (Quick Add from a message).
    void SetAddress(const QString& address);
    // What the dialog sets: every key but Active and NumHits.
    RuleRecord Settings() const;
    // Writes the rule on Finish or OK; a refused write keeps the dialog open.
    void SetSave(std::function<void(const RuleRecord&)> save) { save_ = std::move(save); }

    void done(int result) override;

protected:
    // The address box is shown and has the focus when the wizard first comes up.
    void showEvent(QShowEvent* event) override;

private:
    bool firstShow_ = true;
    RuleCriterionPanel* criterion_;
    RuleActionPanel* actions_;
    std::function<void(const RuleRecord&)> save_;
};

}  // namespace sievo
