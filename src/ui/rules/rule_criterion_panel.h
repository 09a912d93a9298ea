#pragma once

#include <QWidget>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace sievo {

struct RuleRecord;

// The criterion choices of the rule dialogs, in three groups, with the value box of the
// chosen one.
class RuleCriterionPanel : public QWidget {
    Q_OBJECT

public:
    // The wizard moves the focus into the value box shown; the properties dialog does not.
    RuleCriterionPanel(bool focusValueBox, QWidget* parent);

    void SetAddress(const QString& address);
    // Chooses the address criterion, as a click on it does.
    void ChooseAddress();
    // Chooses the rule's criterion and shows its value.
    void Load(const RuleRecord& rule);
    // The criterion and value as they are written.
    void Store(RuleRecord& rule) const;

protected:
    // The chosen criterion takes the focus given to the panel.
    void focusInEvent(QFocusEvent* event) override;

private:
    struct Choice {
        QRadioButton* option;
        const char* keyword;
        QLabel* label;  // none for the criteria without a value
        QWidget* box;   // ditto
    };
    QRadioButton* SignalOption(const QString& caption, const char* objectName,
                               const QString& sentence, QLayout* group);
    void ShowValueBox(const Choice& chosen);
    void HideValueBoxes();

    bool focusValueBox_;
    QRadioButton* optAddress_;
    QRadioButton* optUserDef_;
    QRadioButton* optHeader_;
    QRadioButton* optList_;
    QRadioButton* optFromNum_;
    QRadioButton* optAuthFail_;
    QRadioButton* optSpamFlag_;
    QRadioButton* optDnsbl_;
    QLineEdit* edtFrom_;
    QComboBox* edtValue_;
    QComboBox* edtHeaders_;
    std::vector<Choice> choices_;
};

}  // namespace sievo
