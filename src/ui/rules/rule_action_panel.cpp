#include "ui/rules/rule_action_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QRadioButton>

#include "store/message_library.h"
#include "store/rule_store.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

QComboBox* MessageList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(24);
    return list;
}

// The last entry whose text equals the name exactly; none when there is no such entry.
void SelectLastEqual(QComboBox* list, const std::string& name) {
    int found = -1;
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).toStdString() == name)
            found = i;
    list->setCurrentIndex(found);
}

}  // namespace

RuleActionPanel::RuleActionPanel(QWidget* parent)
    : QWidget(parent),
      chkReply_(
          new QCheckBox(tr("Repl&y with message informing that you will not tolerate this"), this)),
      cmbReply_(MessageList(this)),
      chkAbuse_(new QCheckBox(tr("Repor&t the spammer to abuse@spammers-domain.example"), this)),
      cmbReport_(MessageList(this)),
      chkBeep_(new QCheckBox(tr("&Notify me by beeping"), this)),
      optDelete_(new QRadioButton(tr("&Remove the message from the server"), this)),
      chkConfirm_(new QCheckBox(tr("Confirm &before deleting"), this)),
      chkSave_(new QRadioButton(tr("&Leave the message on server"), this)),
      chkSaveaCopy_(new QCheckBox(tr("&Send a copy to the Windows Recycle Bin"), this)) {
    Name(chkReply_, "chkReply", tr("Reply with message"));
    Name(cmbReply_, "cmbReply", tr("Reply message"));
    Name(chkAbuse_, "chkAbuse", tr("Report the spammer"));
    Name(cmbReport_, "cmbReport", tr("Report message"));
    Name(chkBeep_, "chkBeep", tr("Notify me by beeping"));
    Name(optDelete_, "optDelete", tr("Remove the message from the server"));
    Name(chkConfirm_, "chkConfirm", tr("Confirm before deleting"));
    Name(chkSave_, "chkSave", tr("Leave the message on server"));
    Name(chkSaveaCopy_, "chkSaveaCopy", tr("Send a copy to the Windows Recycle Bin"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setColumnMinimumWidth(0, 20);
    layout->setColumnStretch(1, 1);
    int row = 0;
    const auto addLine = [&](QWidget* control, int indent) {
        layout->addWidget(control, row++, indent, 1, 2 - indent);
    };
    addLine(chkReply_, 0);
    addLine(cmbReply_, 1);
    addLine(chkAbuse_, 0);
    addLine(cmbReport_, 1);
    addLine(chkBeep_, 0);
    addLine(optDelete_, 0);
    addLine(chkConfirm_, 1);
    addLine(chkSave_, 0);
    addLine(chkSaveaCopy_, 0);
    layout->setRowStretch(row, 1);
    // A label naming the panel may give it the focus (not Tab: it is no stop of its own).
    setFocusPolicy(Qt::ClickFocus);

    for (QAbstractButton* control :
         {static_cast<QAbstractButton*>(chkReply_), static_cast<QAbstractButton*>(chkAbuse_),
          static_cast<QAbstractButton*>(optDelete_), static_cast<QAbstractButton*>(chkSave_)})
        connect(control, &QAbstractButton::toggled, this, &RuleActionPanel::FollowSwitches);
    optDelete_->setChecked(true);
    chkSaveaCopy_->setChecked(true);
    FollowSwitches();
}

void RuleActionPanel::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    chkReply_->setFocus(event->reason());
}

void RuleActionPanel::FollowSwitches() {
    cmbReply_->setVisible(chkReply_->isChecked());
    cmbReport_->setVisible(chkAbuse_->isChecked());
    chkConfirm_->setEnabled(optDelete_->isChecked());
}

void RuleActionPanel::PopulateMessageList() {
    cmbReply_->clear();
    cmbReport_->clear();
    for (const LibraryEntry& entry : message_library::LoadAll()) {
        cmbReply_->addItem(QString::fromStdString(entry.name));
        cmbReport_->addItem(QString::fromStdString(entry.name));
    }
    cmbReply_->setCurrentIndex(-1);
    cmbReport_->setCurrentIndex(-1);
}

void RuleActionPanel::Load(const RuleRecord& rule) {
    optDelete_->setChecked(rule.DeleteAction);
    chkBeep_->setChecked(rule.Beep);
    chkReply_->setChecked(rule.Reply);
    chkAbuse_->setChecked(rule.Report);
    chkConfirm_->setChecked(rule.Confirm);
    chkSaveaCopy_->setChecked(rule.SendtoRecycle);
    SelectLastEqual(cmbReply_, rule.Replyname);
    SelectLastEqual(cmbReport_, rule.Reportname);
    // A chosen radio button cannot be unticked; choosing its alternative does it.
    if (!rule.DeleteAction)
        chkSave_->setChecked(true);
}

void RuleActionPanel::Store(RuleRecord& rule) const {
    rule.DeleteAction = optDelete_->isChecked();
    rule.Beep = chkBeep_->isChecked();
    rule.Reply = chkReply_->isChecked();
    rule.Report = chkAbuse_->isChecked();
    rule.Confirm = chkConfirm_->isChecked();
    rule.SendtoRecycle = chkSaveaCopy_->isChecked();
    rule.Replyname = cmbReply_->currentText().toStdString();
    rule.Reportname = cmbReport_->currentText().toStdString();
    // A name no longer in the library gives an empty file name.
    rule.ReplyFile = message_library::GetMessageFilenameFromName(rule.Replyname);
    rule.ReportFile = message_library::GetMessageFilenameFromName(rule.Reportname);
}

QStringList RuleActionPanel::MissingMessageChoices() const {
    QStringList missing;
    if (chkReply_->isChecked() && cmbReply_->currentText().isEmpty())
        missing << tr("Please select a reply message or uncheck the option.");
    if (chkAbuse_->isChecked() && cmbReport_->currentText().isEmpty())
        missing << tr("Please select a report message or uncheck the option.");
    return missing;
}

}  // namespace sievo
