#include "actions/enviosms.h"

#include "platform/memtable.h"
#include "queries/listingmodule.h"

namespace quill {

namespace {

QString miles(qsizetype n) {
    const QString cifras = QString::number(n);
    QString t;
    for (qsizetype i = 0; i < cifras.size(); ++i) {
        if (i > 0 && (cifras.size() - i) % 3 == 0) t += QLatin1Char('.');
        t += cifras.at(i);
    }
    return t;
}

} // namespace

QStringList TelefonosSMS(const DescriptorListado& d, ListingModule& m) {
    QStringList l;
    if (!d.telefonosSMS) return l;
    const MemTable* t = d.telefonosSMS(m);
    if (!t) return l;
    const int campo = t->fieldIndex(QStringLiteral("Telefono"));
    for (int i = 0; i < t->recordCount(); ++i) {
        const QString telefono = t->textAt(i, campo);
        if (!telefono.isEmpty()) l.append(telefono);
    }
    return l;
}

void EncolarTelefonos(TSMS& envio, const QStringList& telefonos) {
    envio.Telefonos.clear();
    for (const QString& t : telefonos)
        envio.Telefonos.append({0, t});
}

int OmitidosSMS(const QStringList& telefonos) {
    int n = 0;
    for (const QString& telefono : telefonos) {
        TSMS::Telefono t{0, telefono};
        TSMS::Normalizar(t);
        if (!TSMS::EsValido(t)) ++n;
    }
    return n;
}

QString PreguntaEnvioSMS(int total, int omitidos) {
    QString t = QStringLiteral("Se generarán ") + miles(total) +
                QStringLiteral(" mensajes SMS. ¿Está seguro de querer continuar?");
    if (omitidos > 0)
        t += QStringLiteral(
                 "\n\n%1 de ellos no se enviará%2 por no ser un número de móvil correcto.")
                 .arg(miles(omitidos), omitidos == 1 ? QString() : QStringLiteral("n"));
    return t;
}

} // namespace quill
