#pragma once

#include <QTreeWidgetItem>

namespace sievo {

struct RuleRecord;

// The columns of the rule list, in order.
enum RuleColumn {
    kColCriteria,
    kColValue,
    kColDelete,
    kColBeep,
    kColReply,
    kColReport,
    kColConfirm,
    kColRecycle,
    kColHits,
    kRuleColumnCount
};

// One row of the rule list: a rule as the list shows it, with its rule number as data.
class RuleListItem : public QTreeWidgetItem {
public:
    // The row of rule number `rule`.
    RuleListItem(const RuleRecord& record, int rule);

    int Rule() const;
    // Hits compare as numbers; every other column as text in the locale's order.
    bool operator<(const QTreeWidgetItem& other) const override;
};

QString FSTRMyBooltoString(bool value);

}  // namespace sievo
