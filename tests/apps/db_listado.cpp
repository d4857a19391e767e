// `listado sentencia --db`: fields whose fragment depends on the shop database (postal codes and
// provinces become locality ids), and a file that is no database.

#include "comandos.h"
#include "tiendaprueba.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QString lista(const QList<int>& ids, const QString& op = QStringLiteral(" = "),
              const QString& junta = QStringLiteral(" Or ")) {
    QString texto = QStringLiteral("(PACIENTE.ID_LOCALIDAD ");
    for (int i = 0; i < ids.size(); ++i) {
        if (i > 0) texto += junta + QStringLiteral("PACIENTE.ID_LOCALIDAD");
        texto += op + QString::number(ids.at(i));
    }
    return texto + QStringLiteral(")\nTablas: PACIENTE\n");
}

TEST(ListadoConBase, PostalCodesAndProvincesBecomeLocalityLists) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("db_listado"), tiendaprueba::filasLocalidades()),
              QString());
    tienda.cerrar(); // the runner opens the file itself
    const QString falso = tienda.carpeta() + QStringLiteral("/falso.fdb");
    QFile f(falso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("esto no es una base de datos");
    f.close();
    const auto sentencia = [&](const char* id, const char* op, const QStringList& resto,
                               const QString& base) {
        return QStringList{"sentencia", "--id", id, "--condicion", op, "--db", base} + resto;
    };
    struct Caso {
        QStringList args;
        int estado;
        QString out;
        QString err; // in standard error
    };
    const Caso casos[] = {
        {sentencia("4", "Mayor que...", {"--valor1", "28000"}, tienda.ruta()), 0,
         lista({2, 3, 5, 6, 7}), ""},
        {sentencia("6", "Distinto de...", {"--ids", "5;8"}, tienda.ruta()), 0,
         lista({4, 1}, " != ", " And "), ""},
        {sentencia("4", "Igual a...", {"--valor1", "28001"}, falso), 1, "", falso},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(quill::cli::EjecutarListado(c.args, o, e), c.estado) << qPrintable(err);
        o.flush();
        e.flush();
        EXPECT_EQ(out, c.out);
        EXPECT_TRUE(err.contains(c.err)) << qPrintable(err);
    }
}

} // namespace
