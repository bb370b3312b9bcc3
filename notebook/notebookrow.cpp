#include "notebookrow.h"

NotebookRow::Column NotebookRow::oxideColumn(const QString &oxide)
{
    for (int column = SiO2; column <= Na2O; ++column) {
        if (oxide == QLatin1String(columnNames[column]))
            return Column(column);
    }
    return ColumnCount;
}
