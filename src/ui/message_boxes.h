#pragma once

class QString;
class QWidget;

namespace sievo {

// A message about a mistake of the user, over the window it concerns ("dlgMessage").
void ShowUserMessage(QWidget* parent, const QString& text);

// A question with Yes and No, Escape answering No ("dlgQuestion"); true for Yes.
bool AskUserYesNo(QWidget* parent, const QString& text);

}  // namespace sievo
