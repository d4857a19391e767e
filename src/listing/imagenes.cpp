#include "listing/imagenes.h"

#include <QHash>

// Resources of a static library are registered only when something asks for them.
static void registrarRecursos() {
    Q_INIT_RESOURCE(listado);
}

namespace quill {

QList<QIcon> imagenesBotones() {
    registrarRecursos();
    static const QHash<int, QString> ficheros = {
        {ImgSalir, QStringLiteral("salir")},       {ImgImprimir, QStringLiteral("imprimir")},
        {ImgListado, QStringLiteral("listado")},   {ImgExportar, QStringLiteral("exportar")},
        {ImgEtiqueta, QStringLiteral("etiqueta")}, {ImgConteo, QStringLiteral("conteo")},
        {ImgCorreo, QStringLiteral("correo")},     {ImgFicheroSMS, QStringLiteral("ficherosms")},
        {ImgSMS, QStringLiteral("sms")},
    };
    QList<QIcon> lista;
    for (int i = 0; i <= ImgSMS; ++i) {
        const QString nombre = ficheros.value(i);
        lista.append(nombre.isEmpty()
                         ? QIcon()
                         : QIcon(QStringLiteral(":/listadopacientes/imagenes/%1.png").arg(nombre)));
    }
    return lista;
}

} // namespace quill
