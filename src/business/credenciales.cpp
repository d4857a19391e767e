#include "business/credenciales.h"

#include <QByteArray>

namespace quill {

namespace {

// Marks a stored form, so that a value typed by hand reads as itself.
const QLatin1String kMarca("QC1:");

// A fixed key stream: the aim is only that the stored text does not read as the plain one.
QByteArray Mezclar(QByteArray datos)
{
    static const QByteArray clave("Quillmore/3.0/puesto");
    quint8 acarreo = 0x5A;
    for (int i = 0; i < datos.size(); ++i) {
        const quint8 k = quint8(clave.at(i % clave.size())) ^ acarreo;
        datos[i] = char(quint8(datos.at(i)) ^ k);
        acarreo = quint8(acarreo * 33 + 7);
    }
    return datos;
}

} // namespace

QString CifrarCredencial(const QString& texto)
{
    if (texto.isEmpty())
        return QString();
    return kMarca + QString::fromLatin1(Mezclar(texto.toUtf8()).toBase64());
}

QString DescifrarCredencial(const QString& almacenado)
{
    if (!almacenado.startsWith(kMarca))
        return almacenado;
    const auto decodificado = QByteArray::fromBase64Encoding(
        almacenado.mid(kMarca.size()).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decodificado)
        return almacenado;
    return QString::fromUtf8(Mezclar(*decodificado));
}

} // namespace quill
