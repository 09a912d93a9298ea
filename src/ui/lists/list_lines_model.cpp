#include "ui/lists/list_lines_model.h"

#include <QString>
#include <iterator>

namespace sievo {

namespace {

bool HasLineBreak(const QString& text) {
    return text.contains('\n') || text.contains('\r');
}

// The entries of a block of text: one per line, trimmed, blank lines dropped.
std::vector<std::string> Entries(QString block) {
    block.replace('\r', '\n');
    std::vector<std::string> entries;
    for (const QString& line : block.split('\n', Qt::SkipEmptyParts)) {
        const QString entry = line.trimmed();
        if (!entry.isEmpty())
            entries.push_back(entry.toStdString());
    }
    return entries;
}

}  // namespace

void ListLinesModel::Load(std::string_view text) {
    beginResetModel();
    lines_.clear();
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    endResetModel();
}

std::string ListLinesModel::Text() const {
    std::size_t size = 0;
    for (const std::string& line : lines_)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void ListLinesModel::Clear() {
    beginResetModel();
    lines_.clear();
    lines_.shrink_to_fit();
    endResetModel();
}

std::optional<ListLinesModel::Hit> ListLinesModel::Find(std::string_view text) const {
    if (text.empty())
        return std::nullopt;
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        const auto at = lines_[row].find(text);
        if (at != std::string::npos) {
            const int offset = QString::fromUtf8(lines_[row].data(), at).size();
            return Hit{static_cast<int>(row), offset};
        }
    }
    return std::nullopt;
}

int ListLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ListLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const std::string& line = lines_[index.row()];
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

bool ListLinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    std::vector<std::string> entries =
        HasLineBreak(text) ? Entries(text) : std::vector{text.toStdString()};
    // A block of nothing but blank lines leaves an empty line, as clearing it would.
    if (entries.empty())
        entries.emplace_back();
    lines_[index.row()] = std::move(entries.front());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    entries.erase(entries.begin());
    InsertLines(index.row() + 1, std::move(entries));
    return true;
}

int ListLinesModel::InsertBlock(int row, const QString& block) {
    std::vector<std::string> entries = Entries(block);
    const int count = static_cast<int>(entries.size());
    InsertLines(row, std::move(entries));
    return count;
}

void ListLinesModel::InsertLines(int row, std::vector<std::string> lines) {
    if (lines.empty())
        return;
    beginInsertRows({}, row, row + static_cast<int>(lines.size()) - 1);
    lines_.insert(lines_.begin() + row, std::make_move_iterator(lines.begin()),
                  std::make_move_iterator(lines.end()));
    endInsertRows();
}

Qt::ItemFlags ListLinesModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

bool ListLinesModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1)
        return false;
    InsertLines(row, std::vector<std::string>(count));
    return true;
}

bool ListLinesModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    lines_.erase(lines_.begin() + row, lines_.begin() + row + count);
    endRemoveRows();
    return true;
}

}  // namespace sievo
