#include "ui/lists/list_lines_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <functional>
#include <utility>

namespace sievo {

namespace {

// A key that types a character an entry can begin with, not a command.
bool TypesText(const QKeyEvent& event) {
    constexpr Qt::KeyboardModifiers kCommand =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = event.text();
    return !(event.modifiers() & kCommand) && !text.isEmpty() && text.front().isPrint() &&
           !text.front().isSpace();
}

}  // namespace

ListLinesView::ListLinesView(ListLinesModel& model, QWidget* parent)
    : QListView(parent), model_(model) {
    setModel(&model_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    AddKeys();
}

// The keys work in the list, not in a line being edited, which has its own paste.
void ListLinesView::AddKeys() {
    const struct {
        QString text;
        QKeySequence keys;
        std::function<void()> command;
    } commands[] = {
        {tr("Add line"), Qt::Key_Insert, [this] { AddLine(); }},
        {tr("Paste"), QKeySequence::Paste, [this] { Paste(); }},
        {tr("Remove lines"), QKeySequence::Delete, [this] { RemoveSelectedLines(); }},
    };
    for (const auto& command : commands) {
        auto* action = new QAction(command.text, this);
        action->setShortcut(command.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, command.command);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ListLinesView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState && TypesText(*event)) {
        AddLine(event->text());
        return;
    }
    QListView::keyPressEvent(event);
}

int ListLinesView::RowAfterCurrent() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : model_.rowCount();
}

void ListLinesView::AddLine(const QString& text) {
    const int row = RowAfterCurrent();
    model_.insertRows(row, 1);
    const QModelIndex line = model_.index(row);
    setCurrentIndex(line);
    scrollTo(line);
    edit(line);
    added_ = line;
    if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(line)))
        editor->insert(text);
}

void ListLinesView::Paste() {
    const int row = RowAfterCurrent();
    const int count = model_.InsertBlock(row, QGuiApplication::clipboard()->text());
    if (count == 0)
        return;
    const QModelIndex last = model_.index(row + count - 1);
    selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(model_.index(row), last),
                             QItemSelectionModel::ClearAndSelect);
    scrollTo(last);
}

void ListLinesView::RemoveSelectedLines() {
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
    for (const QModelIndex& index : selected)
        model_.removeRows(index.row(), 1);
}

void ListLinesView::CommitPendingEdit() {
    QWidget* editor = indexWidget(currentIndex());
    if (state() != EditingState || !editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void ListLinesView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const QPersistentModelIndex added = std::exchange(added_, {});
    const bool wasAdded = added.isValid() && indexWidget(added) == editor;
    QListView::closeEditor(editor, hint);
    if (wasAdded && added.data(Qt::EditRole).toString().isEmpty())
        model_.removeRows(added.row(), 1);
}

}  // namespace sievo
