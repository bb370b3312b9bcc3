#pragma once

#include <QSortFilterProxyModel>

// The notebook's table as the student sorts it: by a column's numbers as
// numbers ("9.5" before "10.2"), its texts after the numbers, alphabetically;
// rows that sort alike keep the file's order, so a sort comes out the same
// way every time.
class NotebookSortProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};
