#pragma once

// The host's operation log: one ACCESO row per logged operation (who, which window, when).

#include <QString>

namespace quill {

// The log handle the host hands over: the connection the log writes on.
struct OperationLog {
    QString connectionName;
};

// Writes one ACCESO row (user number, window code, the current moment, value) and commits it.
// Returns 0, or -1 with the reason in *error (Spanish) when the row could not be written;
// a null handle writes nothing and fails.
int writeAccess(const OperationLog* log, int usuario, int ventana, int valor,
                QString* error = nullptr);

} // namespace quill
