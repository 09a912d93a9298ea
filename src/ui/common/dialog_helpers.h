#pragma once

#include <QString>
#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace sievo {

// "OK" (default) and "Cancel" (Escape) named btnOK and btnCancel, wired to the dialog.
QDialogButtonBox* OkCancelButtons(QWidget* dialog, const QString& okText = QString());

// A label that names its buddy field, so the mnemonic moves the focus there.
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);

// A ". ." button that asks for an existing file and puts its path into the field.
QPushButton* BrowseButton(QLineEdit* field, const char* objectName, const QString& title,
                          const QString& filter, const QString& suffix, QWidget* parent);

// A word-wrapped text label.
QLabel* NoteLabel(const QString& text, QWidget* parent);

}  // namespace sievo
