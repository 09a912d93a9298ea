#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QString>
#include <vector>

namespace sievo {

// One waiting message as the preview lists it.
struct PreviewRow {
    QString subject;
    qint64 size = 0;
    QString date;
    QString from;   // the address alone
    int index = 0;  // the message's 0-based position in the listing
    bool checked = false;
};

// The preview's list: newest message at the top, a check box in the first column. A model
// rather than one widget item per row, so a mailbox of thousands fills without a pause.
class PreviewListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kSubject, kSize, kDate, kFrom, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Puts the row at the top of the list. Rows arrive faster than a list view can lay
    // itself out again, so they are shown in batches: the first at once, then at most
    // every kBatchMs, and the rest by ShowPending.
    void AddNewest(PreviewRow row);
    void ShowPending();
    const PreviewRow& Row(int row) const;
    // The listing positions of the ticked rows, top to bottom.
    std::vector<int> CheckedIndexes() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PreviewRow& At(int row);

    static constexpr qint64 kBatchMs = 100;

    // In the order received; the list shows them last first.
    std::vector<PreviewRow> rows_;
    std::vector<PreviewRow> pending_;
    QElapsedTimer sinceBatch_;
};

}  // namespace sievo
