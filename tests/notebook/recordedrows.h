#pragma once

// What both notebook test files need: the rows a worksheet's actions make,
// as the lab's recorder makes them, and problems as the lines a user reads.
#include "labexperiments.h"
#include "notebookrecorder.h"
#include "systemlibrary.h"
#include "worksheetrunner.h"

#include <QLocale>
#include <QStringList>

#include <vector>

inline QStringList texts(const QList<LineProblem> &problems)
{
    QStringList lines;
    for (const LineProblem &problem : problems)
        lines << problem.text();
    return lines;
}

// The rows of `worksheet` played from a fresh lab (its systems named by id), recorded as lab start
// `session` with `kit` and the times `clock` gives.
inline std::vector<NotebookRow> recordedRows(const QString &worksheet, const QLocale &locale, int session,
                                             const QString &kit, const NotebookRecorder::Clock &clock)
{
    std::vector<NotebookRow> rows;
    WorksheetRunner runner(withSystems(labExperiments(), SystemLibrary::builtIn()), locale);
    NotebookRecorder recorder(session, kit, locale.name(), clock, [&rows](const NotebookRow &row) { rows.push_back(row); });
    runner.setRecorder(&recorder);
    QString error;
    if (!runner.runScript(worksheet, QStringLiteral("sheet"), error))
        qWarning("%s", qPrintable(error));
    return rows;
}
