#include "ui/common/dialog_helpers.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/common/widget_names.h"

namespace sievo {

QDialogButtonBox* OkCancelButtons(QWidget* dialog, const QString& okText) {
    auto* buttons = new QDialogButtonBox(dialog);
    // Own texts: some desktops give the standard ones "&OK" and "&Cancel", whose Alt keys
    // would clash with the dialog's own. Enter and Escape are these buttons' keys.
    const QString ok = okText.isEmpty() ? QObject::tr("OK") : okText;
    auto* btnOK = buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    auto* btnCancel = buttons->addButton(QObject::tr("Cancel"), QDialogButtonBox::RejectRole);
    Name(btnOK, "btnOK", QString(ok).remove('&'));
    Name(btnCancel, "btnCancel", QObject::tr("Cancel"));
    btnOK->setDefault(true);
    if (auto* asDialog = qobject_cast<QDialog*>(dialog)) {
        QObject::connect(buttons, &QDialogButtonBox::accepted, asDialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, asDialog, &QDialog::reject);
    }
    return buttons;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove('&').remove(':').trimmed());
    return label;
}

QPushButton* BrowseButton(QLineEdit* field, const char* objectName, const QString& title,
                          const QString& filter, const QString& suffix, QWidget* parent) {
    auto* button = new QPushButton(QObject::tr(". ."), parent);
    Name(button, objectName, title);
    QObject::connect(button, &QPushButton::clicked, parent, [=] {
        QFileDialog dialog(parent, title, field->text(), filter);
        dialog.setObjectName("dlgOpenFile");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            field->setText(dialog.selectedFiles().constFirst());
    });
    return button;
}

QLabel* NoteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace sievo
