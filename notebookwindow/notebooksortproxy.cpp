#include "notebooksortproxy.h"

#include "notebooktablemodel.h"

bool NotebookSortProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(NotebookTableModel::sortRole);
    const QVariant b = right.data(NotebookTableModel::sortRole);
    const bool aIsNumber = a.typeId() == QMetaType::Double;
    const bool bIsNumber = b.typeId() == QMetaType::Double;
    if (aIsNumber != bIsNumber)
        return aIsNumber;
    if (aIsNumber && a.toDouble() != b.toDouble())
        return a.toDouble() < b.toDouble();
    if (!aIsNumber) {
        const int order = QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        if (a.toString() != b.toString())
            return a.toString() < b.toString();
    }
    return left.row() < right.row();
}
