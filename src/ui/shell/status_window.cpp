#include "ui/shell/status_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/common/widget_names.h"

namespace sievo {

namespace {

QString JoinedLog() {
    QStringList lines;
    for (const auto& line : TheActivityLog().Lines())
        lines.append(QString::fromStdString(line));
    return lines.join('\n');
}

}  // namespace

TfrmStatus::TfrmStatus(QWidget* parent)
    : QDialog(parent),
      memLog_(new QPlainTextEdit(this)),
      lblErrorCount_(new QLabel("0", this)),
      lblLastError_(new QLabel(this)),
      lblLastMessage_(new QLabel(this)) {
    Name(this, "frmStatus", tr("Status"));
    setWindowTitle(tr("Status"));
    setSizeGripEnabled(true);
    resize(560, 380);

    memLog_->setReadOnly(true);
    memLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The log comes alive with this window, holding what the last run saved.
    TheActivityLog().Open();
    memLog_->setPlainText(JoinedLog());
    Name(memLog_, "memLog", tr("Activity log"));
    Name(lblErrorCount_, "lblErrorCount", tr("Error count"));
    Name(lblLastError_, "lblLastError", tr("Last error"));
    Name(lblLastMessage_, "lblLastMessage", tr("Last message"));
    lblLastError_->setWordWrap(true);
    lblLastMessage_->setWordWrap(true);

    auto* labels = new QFormLayout;
    labels->addRow(tr("Error count:"), lblErrorCount_);
    labels->addRow(tr("Last Error:"), lblLastError_);
    labels->addRow(tr("Last Message:"), lblLastMessage_);

    auto* btnClearAll = new QPushButton(tr("Clear &All"), this);
    auto* btnClose = new QPushButton(tr("&Close"), this);
    Name(btnClearAll, "btnClearAll", tr("Clear all"));
    Name(btnClose, "btnClose", tr("Close"));
    btnClose->setDefault(true);
    connect(btnClearAll, &QPushButton::clicked, this, &TfrmStatus::ClearAllClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClearAll);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memLog_, 1);
    layout->addLayout(labels);
    layout->addLayout(buttons);
    setTabOrder(memLog_, btnClearAll);
    setTabOrder(btnClearAll, btnClose);

    TheActivityLog().AddListener(this);
}

TfrmStatus::~TfrmStatus() {
    TheActivityLog().RemoveListener(this);
}

void TfrmStatus::ShowStatus() {
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

void TfrmStatus::OnActivity(const std::string& text, const std::string& stamp, bool kept) {
    const QString line = QString::fromStdString(stamp + " -- " + text);
    if (kept) {
        QTextCursor top(memLog_->document());
        top.movePosition(QTextCursor::Start);
        top.insertText(memLog_->document()->isEmpty() ? line : line + '\n');
        DropOldestBeyondLimit();
    }
    lblLastMessage_->setText(QString::fromStdString(stamp + " " + text));
}

// The window shows what the log keeps, so a program running for months stays small.
void TfrmStatus::DropOldestBeyondLimit() {
    if (memLog_->blockCount() <= static_cast<int>(ActivityLogModel::kMaxLines))
        return;
    QTextCursor last(memLog_->document());
    last.movePosition(QTextCursor::End);
    last.select(QTextCursor::BlockUnderCursor);  // with the line break before it
    last.removeSelectedText();
}

void TfrmStatus::OnError(std::uint16_t errorCount, const std::string& message) {
    lblErrorCount_->setText(QString::number(errorCount));
    lblLastError_->setText(QString::fromStdString(message));
}

void TfrmStatus::OnCleared() {
    memLog_->clear();
}

void TfrmStatus::ClearAllClick() {
    try {
        TheActivityLog().ClearAll();
    } catch (const std::exception& error) {
        AppException(error);
    }
}

}  // namespace sievo
