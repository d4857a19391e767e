#include "guard.h"

#include <QMutex>

#include <cstdio>

namespace quill {

Error::Error(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

namespace {

QMutex reporterMutex;

ErrorReporter& installedReporter() {
    static ErrorReporter reporter;
    return reporter;
}

void writeToStderr(const QString& funcion, const QString& mensaje) {
    const QByteArray line = (funcion + QStringLiteral(": ") + mensaje + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ErrorReporter setErrorReporter(ErrorReporter reporter) {
    QMutexLocker lock(&reporterMutex);
    return std::exchange(installedReporter(), std::move(reporter));
}

QString unknownErrorText() {
    return QStringLiteral("Error desconocido");
}

void reportError(const QString& funcion, const QString& mensaje) noexcept {
    ErrorReporter reporter;
    {
        QMutexLocker lock(&reporterMutex);
        reporter = installedReporter();
    }
    if (!reporter) {
        writeToStderr(funcion, mensaje);
        return;
    }
    try {
        reporter(funcion, mensaje);
    } catch (...) {
        // A reporter that fails must not lose the original report.
        writeToStderr(funcion, mensaje);
    }
}

} // namespace quill
