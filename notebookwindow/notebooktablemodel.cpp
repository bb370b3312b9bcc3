#include "notebooktablemodel.h"

#include <QLocale>

#include <cmath>

int NotebookTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int NotebookTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : NotebookRow::ColumnCount;
}

QVariant NotebookTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QString &text = m_rows[index.row()].fields[index.column()];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return text; // as the report showed it, "12.50" and all
    // Numbers sort as numbers (the lab's, and entries typed with a decimal
    // point or in the row's own locale), texts as texts.
    if (role == sortRole) {
        const NotebookRow &row = m_rows[index.row()];
        if (const std::optional<double> number = row.numbers[index.column()])
            return *number;
        bool isNumber = false;
        double value = 0;
        if (!row[NotebookRow::Locale].isEmpty())
            value = QLocale(row[NotebookRow::Locale]).toDouble(text, &isNumber);
        if (!isNumber)
            value = text.toDouble(&isNumber);
        return isNumber && std::isfinite(value) ? QVariant(value) : QVariant(text);
    }
    return {};
}

QVariant NotebookTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QString::fromLatin1(NotebookRow::columnNames[section]);
    return m_rows[section].lineNumber;
}

void NotebookTableModel::setRows(std::vector<NotebookRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void NotebookTableModel::appendRows(const std::vector<NotebookRow> &rows)
{
    if (rows.empty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rows.size()) - 1);
    m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    endInsertRows();
}
