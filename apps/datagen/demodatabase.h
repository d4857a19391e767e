#pragma once

#include "generator.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace quill::datagen {

// What quillmore-datos was asked to do.
struct Options {
    enum class Mode { Generate, Summary, Help };
    Mode mode = Mode::Help;
    qint64 pacientes = -1;
    quint64 semilla = 1;
    QDate fecha; // the shop's "today"; invalid = the real today
    QString salida;
    bool forzar = false;
    QString resumen; // database whose tables are counted
};

// Reads the command line (without the program name). On error, *error holds the message.
Options parseArguments(const QStringList& args, QString* error);
QString usageText();

// Outcome of a generation, for the closing report.
struct Report {
    double seconds = 0;
    qint64 bytes = 0;
    QMap<QString, qint64> rows;
    QStringList missingColumns;
};

using Progress = std::function<void(const QString&)>;

// Creates the database file options.salida from the schema folder and fills it. The file
// appears only when everything went well: the work is done on a temporary file beside it that
// is removed on any failure, and an existing file is replaced only with options.forzar.
// Returns "" or the reason in Spanish.
// cancel, when given, is polled between steps and patients: once true the work stops and
// nothing is left behind.
QString createDemoDatabase(const Options& options, const QString& schemaDir, Report* report,
                           const Progress& progress = {},
                           const std::atomic<bool>* cancel = nullptr);

// Name and row count of every table of a database, by name.
QString countRows(const QString& database, QList<QPair<QString, qint64>>* rows);

} // namespace quill::datagen
