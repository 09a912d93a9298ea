#pragma once

#include <QDialog>

class QLineEdit;

namespace sievo {

class DialUpLink;

// "Tell a Friend!": the address to send the recommendation to.
class TfrmTellFriend : public QDialog {
    Q_OBJECT

public:
    explicit TfrmTellFriend(QWidget* parent = nullptr);

    QString Address() const;

private:
    QLineEdit* edtAddress_;
};

// The menu command: asks for an address and sends tell.eml there through the first
// account's SMTP server, with its own SMTP client so a reply being sent is not disturbed.
void PROCTellAFriend(DialUpLink* dialUp, QWidget* parent = nullptr);

}  // namespace sievo
