#pragma once

#include "notebookrow.h"

#include <QAbstractTableModel>

#include <vector>

// The rows of a notebook as a table: one column per notebook column, the
// file's line number as the row heading. A screen reader reads it cell by
// cell like any table.
class NotebookTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // What the table sorts by: numbers by value, texts as texts.
    static constexpr int sortRole = Qt::UserRole;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::vector<NotebookRow> &rows() const { return m_rows; }
    void setRows(std::vector<NotebookRow> rows);
    void appendRows(const std::vector<NotebookRow> &rows);

private:
    std::vector<NotebookRow> m_rows;
};
