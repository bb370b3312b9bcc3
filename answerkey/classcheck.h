#pragma once

#include "kit.h"
#include "notebookrow.h"
#include "systemlibrary.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A class's notebooks checked at once against its roster (the roster.csv
// that --class writes: a name, an id and a kit for every student). Each
// notebook is matched to its student by the kit its rows hold and checked
// with that kit expected, so a classmate's notebook or one run without a
// kit never passes for the student's own.
//
// The outcome is one table, for a spreadsheet or a gradebook: a row per
// student on the roster, then a row per notebook that matches no one.
//   id,name,kit,file,sessions,rows,verdict
// verdict: "agrees", "disagrees (N lines)", "unreadable", "missing" (no
// notebook holds the student's kit), "no kit" or "unknown kit" (a
// notebook of no student).
class ClassCheck
{
public:
    ClassCheck(const QLocale &fallbackLocale, const SystemLibrary &systems);

    [[nodiscard]] bool readRoster(const QByteArray &bytes, LineProblem *problem);
    void addNotebook(const QString &path, const QByteArray &bytes);
    void addUnreadable(const QString &path, const QString &why);

    QByteArray table() const;
    bool everyStudentAgrees() const;
    // What a reader should know: a roster read as Windows-1252, why a
    // notebook is unreadable.
    const QStringList &notes() const { return m_notes; }

private:
    struct Entry
    {
        QString id;
        QString name;
        QString kit;
        QStringList files;
        int sessions = 0;
        int rows = 0;
        int disagreeingLines = 0;
        bool unreadable = false;
        QString unmatched; // "no kit", "unknown kit", "unreadable" for a notebook of no student
        QString verdict() const;
    };

    Entry *studentWithKit(const QStringList &kits);

    QLocale m_fallbackLocale;
    SystemLibrary m_systems;
    std::vector<Entry> m_students;
    std::vector<Entry> m_unmatched;
    QStringList m_notes;
};
