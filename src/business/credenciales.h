#pragma once

// The workstation credential routine: user names, passwords and provider parameters are kept
// in the settings scrambled, so that a glance at the settings file does not reveal them. It is
// a reversible transformation, not encryption: whoever maintains the settings writes with
// CifrarCredencial and every reader gets the plain text back with DescifrarCredencial.

#include <QString>

namespace quill {

// The stored form of a plain text; an empty text stays empty.
QString CifrarCredencial(const QString& texto);
// The plain text of a stored form. An empty text gives an empty text; a text that was not
// written by CifrarCredencial (typed by hand into the settings) is returned as it stands.
QString DescifrarCredencial(const QString& almacenado);

} // namespace quill
