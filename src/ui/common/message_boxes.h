#pragma once

#include <functional>

class QString;
class QWidget;

namespace sievo {

// A message about a mistake of the user, over the window it concerns ("dlgMessage").
void ShowUserMessage(QWidget* parent, const QString& text);

// A question with Yes and No, Escape answering No ("dlgQuestion"); true for Yes.
bool AskUserYesNo(QWidget* parent, const QString& text);

// Runs work, typically the writes of a dialog's OK. An error it raises is logged and shown
// over parent, and false is answered, so the dialog can stay open with what the user
// entered; no error reaches Qt's event loop.
bool RunShowingFailure(QWidget* parent, const std::function<void()>& work);

}  // namespace sievo
