#include "notebooktablemodel.h"

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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const QString &text = m_rows[index.row()].fields[index.column()];
    // Numbers sort as numbers, texts as texts.
    if (role == Qt::DisplayRole && index.column() >= NotebookRow::SiO2 && index.column() <= NotebookRow::X2
        && !text.isEmpty())
        return text.toDouble();
    return text;
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
