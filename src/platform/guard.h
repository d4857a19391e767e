#pragma once

// Failure handling shared by the whole module: the exception domain code throws, and the
// guard every window method and event handler runs inside, which turns a failure into a
// report (the listing window shows it in its error window) instead of an escaped exception.

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

namespace quill {

// A failure with a message meant for the user, in the system's words (Spanish).
// what() gives the same text as UTF-8.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message);
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

// Receives (function text, failure message), e.g. ("tbnLimpiar -> OnClick", "...").
using ErrorReporter = std::function<void(const QString& funcion, const QString& mensaje)>;

// Installs the reporter used by Guardar and returns the previous one. An empty function
// restores the default reporter, which writes "funcion: mensaje" to stderr.
ErrorReporter setErrorReporter(ErrorReporter reporter);

// Sends one report to the installed reporter. Never throws: a reporter that fails falls
// back to stderr.
void reportError(const QString& funcion, const QString& mensaje) noexcept;

// Text reported for a failure that carries no message of its own.
QString unknownErrorText();

// Runs fn; any exception it throws is caught and reported as (funcion, message).
// Returns true when fn finished normally, false after a failure.
template <typename Fn> bool Guardar(const QString& funcion, Fn&& fn) noexcept {
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (const Error& e) {
        reportError(funcion, e.message());
    } catch (const std::exception& e) {
        reportError(funcion, QString::fromUtf8(e.what()));
    } catch (...) {
        reportError(funcion, unknownErrorText());
    }
    return false;
}

} // namespace quill
