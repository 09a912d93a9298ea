#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPlainTextEdit;

namespace sievo {

class TmsMessage;

// "View Message": one message with three head lines (sender, first recipient, subject)
// above its text, and Reply, which writes to the sender in the desktop's mail program.
class TfrmMessageView : public QDialog {
    Q_OBJECT

public:
    // The preview heads its lines with "FROM: ", "TO: " and "SUBJECT: "; the deletion
    // confirmation shows the bare values.
    enum class Heads { Labelled, Bare };

    explicit TfrmMessageView(QWidget* parent = nullptr);

    // Fills the window from the message and shows it. A window opened from a modal one
    // is modal itself, or it could not be used.
    void ShowMessage(const TmsMessage& message, Heads heads, bool modal = false);

private:
    void btnReplyClick();

    QLabel* lblFrom_;
    QLabel* lblTo_;
    QLabel* lblSubject_;
    QPlainTextEdit* memBody_;
    QString senderAddress_;
};

// The address Reply opens: the sender's address as the only recipient. Characters that
// would start a query ("?subject=", "?attach=") or a fragment are part of the address,
// so a forged From cannot add recipients, text or files to the reply.
QUrl ReplyAddress(const QString& senderAddress);

}  // namespace sievo
