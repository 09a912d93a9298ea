#pragma once

#include <QAbstractListModel>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// The lines of a list file, one row each, editable in place. Held as the file's bytes
// (UTF-8), so a list of a million addresses costs little more than the file itself.
class ListLinesModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces the rows with the lines of a file's text (LF or CR LF).
    void Load(std::string_view text);
    // Inserts the entries of a pasted block before `row`: one per line, trimmed, blank
    // lines dropped. How many were inserted.
    int InsertBlock(int row, const QString& block);
    // Every row, each ended by CR LF.
    std::string Text() const;
    void Clear();

    struct Hit {
        int row;
        int offset;  // in characters, within the row
    };
    // The first occurrence of `text` (case-sensitive) from the top, if any.
    std::optional<Hit> Find(std::string_view text) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // A text of several lines (a block pasted into a line being edited) becomes one entry
    // per line as InsertBlock makes them, the first in this row.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    void InsertLines(int row, std::vector<std::string> lines);

    std::vector<std::string> lines_;
};

}  // namespace sievo
