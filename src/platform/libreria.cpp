#include "libreria.h"

#include <QDir>
#include <QFileInfo>

namespace quill {

QString Library::pathFor(const QString& folder, const QString& name) {
    QString file = QFileInfo(QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    if (file.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) {
        file.chop(4);
        if (!file.startsWith(QLatin1String("lib"))) file.prepend(QLatin1String("lib"));
        file += QLatin1String(".so");
    }
    const QString base = folder.isEmpty() ? QDir::currentPath() : folder;
    return QDir::cleanPath(QDir(base).absoluteFilePath(file));
}

bool Library::load(const QString& folder, const QString& name) {
    error_.clear();
    if (name.trimmed().isEmpty()) {
        error_ = QStringLiteral("No se ha indicado la librería que se debe cargar");
        return false;
    }
    path_ = pathFor(folder, name);
    if (!QFileInfo::exists(path_)) {
        error_ = QStringLiteral("No se encuentra la librería '%1'").arg(path_);
        return false;
    }
    auto lib = std::make_unique<QLibrary>();
    // The exact file: no search paths, no added suffixes.
    lib->setFileName(path_);
    if (!lib->load()) {
        error_ = QStringLiteral("No se puede cargar la librería '%1': %2")
                     .arg(path_, lib->errorString());
        return false;
    }
    lib_ = std::move(lib);
    return true;
}

QFunctionPointer Library::resolve(const char* symbol) {
    error_.clear();
    if (!isLoaded()) {
        error_ = QStringLiteral("La librería no está cargada");
        return nullptr;
    }
    if (!symbol || !*symbol) {
        error_ = QStringLiteral("No se ha indicado el punto de entrada");
        return nullptr;
    }
    const QFunctionPointer fn = lib_->resolve(symbol);
    if (!fn)
        error_ = QStringLiteral("La librería '%1' no tiene el punto de entrada '%2'")
                     .arg(path_, QString::fromLatin1(symbol));
    return fn;
}

bool Library::unload() {
    if (!lib_) return true;
    const bool ok = lib_->unload();
    if (!ok) error_ = lib_->errorString();
    lib_.reset();
    return ok;
}

} // namespace quill
