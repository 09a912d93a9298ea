#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace sievo {

struct RuleRecord;

// The action controls of the rule dialogs: reply and report with their message lists,
// the beep, delete or leave (with the confirmation) and the copy for the bin.
class RuleActionPanel : public QWidget {
    Q_OBJECT

public:
    explicit RuleActionPanel(QWidget* parent);

    // Refills both message lists with every library name, in entry order, none chosen.
    void PopulateMessageList();
    void Load(const RuleRecord& rule);
    // Sets the action keys, with the message files of the chosen names.
    void Store(RuleRecord& rule) const;

    // What to tell the user for each ticked option without a chosen message.
    QStringList MissingMessageChoices() const;

protected:
    // The first control takes the focus given to the panel.
    void focusInEvent(QFocusEvent* event) override;

private:
    void FollowSwitches();

    QCheckBox* chkReply_;
    QComboBox* cmbReply_;
    QCheckBox* chkAbuse_;
    QComboBox* cmbReport_;
    QCheckBox* chkBeep_;
    QRadioButton* optDelete_;
    QCheckBox* chkConfirm_;
    QRadioButton* chkSave_;
    QCheckBox* chkSaveaCopy_;
};

}  // namespace sievo
