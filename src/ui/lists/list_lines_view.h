#pragma once

#include <QListView>
#include <QPersistentModelIndex>

#include "ui/lists/list_lines_model.h"

namespace sievo {

// The lines of a list file, edited in place: typing starts a new line below the current
// one, a pasted block adds one line per entry, Insert adds an empty line and Delete removes
// the selected ones. A view over a model, so a list of a million lines opens at once.
class ListLinesView : public QListView {
    Q_OBJECT

public:
    ListLinesView(ListLinesModel& model, QWidget* parent);

    // Puts a line still being edited into the model, as leaving it would.
    void CommitPendingEdit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void AddKeys();
    // Opens a new line after the current one for editing, holding `text`.
    void AddLine(const QString& text = {});
    // The clipboard's entries after the current line, selected.
    void Paste();
    void RemoveSelectedLines();
    int RowAfterCurrent() const;

    ListLinesModel& model_;
    // A line added for editing: left empty, it is no entry and goes again.
    QPersistentModelIndex added_;
};

}  // namespace sievo
