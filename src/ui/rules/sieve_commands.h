#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QWidget;

namespace sievo {

// What an export or an installation could not carry over, under a line that says what
// happened or what is asked ("dlgSieveReport"). As a question it has Install and Cancel.
class SieveReportDialog : public QDialog {
    Q_OBJECT

public:
    SieveReportDialog(const QString& title, const QString& text,
                      const std::vector<std::string>& notExpressed, bool question,
                      QWidget* parent = nullptr);
};

// Asks for a file, writes the rules there as a Sieve script and shows what the script
// judges differently.
void ExportRulesAsSieve(QWidget* parent);

// Asks for the account, connects to its ManageSieve server and, once the user has seen
// what is active there and agreed, installs the rules and makes them active.
void InstallRulesOnServer(QWidget* parent);

}  // namespace sievo
