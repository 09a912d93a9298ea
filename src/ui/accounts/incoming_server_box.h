#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sievo {

struct StoredAccount;

// The incoming server of Account Settings: POP3 or IMAP, the server and the log-in, and for
// IMAP the folder judged, where spam goes (both chosen from the server's folders once a
// test has listed them) and whether it is deleted for good instead. The IMAP fields are
// off for POP3.
class IncomingServerBox : public QGroupBox {
    Q_OBJECT

public:
    explicit IncomingServerBox(QWidget* parent);

    void Load(const StoredAccount& account);
    // Puts what the box shows into the account; the IMAP keys stay as loaded for POP3.
    void Store(StoredAccount& account) const;
    // Offers the server's folders in both folder lists, keeping what each shows.
    void SetServerFolders(std::vector<std::string> folders);
    // The fields in the order the Tab key visits them.
    std::vector<QWidget*> TabOrder() const;
    // Shows the note in the row below the password, which it is about.
    void AddPasswordNote(QWidget* note);

private:
    QComboBox* FolderBox(const char* objectName);
    bool Imap() const;
    void ApplyProtocol();

    QComboBox* cboProtocol_;
    QLineEdit* edtPOPAddress_;
    QLineEdit* edtPOPUser_;
    QLineEdit* edtPassword_;
    QComboBox* cboPOPSecurity_;
    QComboBox* cboIMAPFolder_;
    QComboBox* cboSpamFolder_;
    QCheckBox* chkExpungeSpam_;
    // The IMAP fields and their labels.
    std::vector<QWidget*> imapOnly_;
    // "NONE" is stored only when named: only then may an IMAP password go as plain text.
    bool securityNamed_ = false;
};

}  // namespace sievo
