#pragma once

// Loading the family's libraries by their Windows names: "fltCampoArticulo.dll" in a folder is
// "<folder>/libfltCampoArticulo.so", loaded by absolute path. Errors are values (Spanish text),
// so callers can map them to their own result codes.

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>

#include <memory>

namespace quill {

class Library {
public:
    Library() = default;
    // Leaves the library loaded: entry points handed out stay valid for the process's life.
    ~Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Absolute path of the library a Windows name stands for, in folder (relative folders are
    // taken from the current directory). "x.dll" -> "libx.so"; "libx.so" stays as it is.
    static QString pathFor(const QString& folder, const QString& name);

    // Returns true when loaded; otherwise errorString() says why.
    bool load(const QString& folder, const QString& name);
    bool isLoaded() const { return lib_ && lib_->isLoaded(); }
    QString path() const { return path_; }

    // The entry point, or null with errorString() set.
    QFunctionPointer resolve(const char* symbol);
    template <typename Fn> Fn resolveAs(const char* symbol) {
        return reinterpret_cast<Fn>(resolve(symbol));
    }

    // Unloads explicitly; entry points resolved before must not be called afterwards.
    bool unload();
    QString errorString() const { return error_; }

private:
    std::unique_ptr<QLibrary> lib_;
    QString path_;
    QString error_;
};

} // namespace quill
