#include "ui/preview/preview_list_model.h"

#include <iterator>

namespace sievo {

void PreviewListModel::Clear() {
    beginResetModel();
    rows_.clear();
    pending_.clear();
    sinceBatch_.invalidate();
    endResetModel();
}

void PreviewListModel::AddNewest(PreviewRow row) {
    pending_.push_back(std::move(row));
    if (!sinceBatch_.isValid() || sinceBatch_.hasExpired(kBatchMs))
        ShowPending();
}

void PreviewListModel::ShowPending() {
    if (pending_.empty())
        return;
    beginInsertRows({}, 0, static_cast<int>(pending_.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(pending_.begin()),
                 std::make_move_iterator(pending_.end()));
    pending_.clear();
    endInsertRows();
    sinceBatch_.start();
}

const PreviewRow& PreviewListModel::Row(int row) const {
    return rows_.at(rows_.size() - 1 - static_cast<std::size_t>(row));
}

PreviewRow& PreviewListModel::At(int row) {
    return rows_.at(rows_.size() - 1 - static_cast<std::size_t>(row));
}

std::vector<int> PreviewListModel::CheckedIndexes() const {
    std::vector<int> indexes;
    for (auto row = rows_.rbegin(); row != rows_.rend(); ++row)
        if (row->checked)
            indexes.push_back(row->index);
    return indexes;
}

int PreviewListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PreviewListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const PreviewRow& row = Row(index.row());
    if (role == Qt::CheckStateRole && index.column() == kSubject)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::UserRole)
        return row.index;
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
        case kSubject:
            return row.subject;
        case kSize:
            return QString::number(row.size);
        case kDate:
            return row.date;
        case kFrom:
            return row.from;
        default:
            return {};
    }
}

bool PreviewListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != kSubject)
        return false;
    At(index.row()).checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags PreviewListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return index.column() == kSubject ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant PreviewListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
        case kSubject:
            return tr("Subject");
        case kSize:
            return tr("Size");
        case kDate:
            return tr("Date / Time");
        case kFrom:
            return tr("From");
        default:
            return {};
    }
}

}  // namespace sievo
