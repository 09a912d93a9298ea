#pragma once

#include <QDialog>

class QLineEdit;

namespace sievo {

class TmsMailAddress;

// The small dialog that edits one mail address: its display name and the address.
class TMailAddressDlg : public QDialog {
    Q_OBJECT

public:
    explicit TMailAddressDlg(const TmsMailAddress& address, QWidget* parent = nullptr);

    // The fields as typed, cut to the address's limits.
    TmsMailAddress Result() const;

private:
    QLineEdit* NameEdit_;
    QLineEdit* AddressEdit_;
};

// The edit operation of an address: shows the dialog and stores its fields on OK.
// True when the address was changed that way.
bool EditMailAddress(TmsMailAddress& address, QWidget* parent = nullptr);

}  // namespace sievo
