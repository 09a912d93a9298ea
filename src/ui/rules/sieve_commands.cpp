#include "ui/rules/sieve_commands.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/errors.h"
#include "config/file_io.h"
#include "engine/sieve_install.h"
#include "store/accounts_store.h"
#include "ui/accounts/select_account_dialog.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

SieveReportDialog::SieveReportDialog(const QString& title, const QString& text,
                                     const std::vector<std::string>& notExpressed, bool question,
                                     QWidget* parent)
    : QDialog(parent) {
    Name(this, "dlgSieveReport", title);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NoteLabel(text, this));
    if (!notExpressed.empty()) {
        layout->addWidget(
            NoteLabel(tr("The server judges these differently from Sievomatic:"), this));
        auto* list = new QPlainTextEdit(this);
        Name(list, "txtNotExpressed", tr("What the server judges differently"));
        list->setReadOnly(true);
        for (const auto& line : notExpressed)
            list->appendPlainText(Text(line));
        layout->addWidget(list);
    }
    if (question) {
        layout->addWidget(OkCancelButtons(this, tr("&Install")));
    } else {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        Name(buttons->button(QDialogButtonBox::Ok), "btnOK", tr("OK"));
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        layout->addWidget(buttons);
    }
    resize(560, notExpressed.empty() ? 140 : 320);
}

void ExportRulesAsSieve(QWidget* parent) {
    QFileDialog dialog(parent, QObject::tr("Export Rules as Sieve Script"), "sievomatic.sieve",
                       QObject::tr("Sieve scripts (*.sieve);;All files (*)"));
    dialog.setObjectName("dlgSaveFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("sieve");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string file = dialog.selectedFiles().constFirst().toStdString();
    const SieveScript script = ExportSieve(LoadSieveExportInput(), {});
    if (!WriteFileAtomically(file, script.text))
        throw Exception("Unable to write to " + file);
    SieveReportDialog(QObject::tr("Export Rules as Sieve Script"),
                      QObject::tr("The rules are written to %1.").arg(Text(file)),
                      script.notExpressed, false, parent)
        .exec();
}

void InstallRulesOnServer(QWidget* parent) {
    const int account = FINTSelectAccount(parent);
    if (account < 1)
        return;
    SieveInstallation installation(accounts::ForCheck(account));
    const auto& active = installation.ActiveScript();
    QString text;
    if (!active)
        text = QObject::tr("No script is active on the server.");
    else if (*active == kSieveScriptName)
        text = QObject::tr("The server runs the rules installed before; they are replaced.");
    else
        text = QObject::tr(
                   "The server runs the script \"%1\": the rules take its place, and "
                   "it stays on the server, no longer active.")
                   .arg(Text(*active));
    const QString title = QObject::tr("Install Rules on the Server");
    if (SieveReportDialog(
            title,
            text + "\n\n" + QObject::tr("Install the rules as \"%1\"?").arg(kSieveScriptName),
            installation.Script().notExpressed, true, parent)
            .exec() != QDialog::Accepted)
        return;
    installation.Install();
    SieveReportDialog(title, QObject::tr("The rules are installed and active."), {}, false, parent)
        .exec();
}

}  // namespace sievo
