#pragma once

#include "random.h"
#include "schemainfo.h"
#include "tablewriter.h"

#include <QDate>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace quill::datagen {

struct GeneratorOptions {
    qint64 pacientes = 0;
    quint64 semilla = 1;
    // "Today" of the demo shop: visits lie before it, revisions and replacements around it.
    // The same seed and day give the same rows.
    QDate hoy;
    // Set from elsewhere (an interrupt) to stop between two patients.
    const std::atomic<bool>* cancel = nullptr;
};

// Fills an empty shop database with a made-up shop: masters, articles, the placeholder
// patient 0 and N patients with their records of every family, sales, orders and payments.
// Deterministic: each patient draws from its own child of the seed, so the first patients of
// a small database are the same as those of a large one.
class DemoGenerator {
public:
    using Progress = std::function<void(const QString&)>;

    DemoGenerator(const QSqlDatabase& db, const SchemaInfo& schema,
                  const GeneratorOptions& options);
    ~DemoGenerator();
    DemoGenerator(const DemoGenerator&) = delete;
    DemoGenerator& operator=(const DemoGenerator&) = delete;

    // Writes every row inside the connection's open transaction. Throws DatagenError.
    void run(const Progress& progress = {});

    // Rows written per table.
    QMap<QString, qint64> rowCounts() const;
    // Columns the generator fills that the schema lacks (as "TABLA.COLUMNA").
    QStringList missingColumns() const;

    enum class Clase { Montura, Sol, Cristal, Lentilla, Liquido, Audifono, Pila, Accesorio, Lupa };
    static constexpr int kClases = 9;

private:
    struct Articulo {
        QString referencia;
        QString descripcion;
        QString modelo;
        QString color;
        Clase clase;
        int marca = -1;
        int tipo = -1; // glass type, lens type or device type
        int proveedor = -1;
        int grupo = -1; // sales group of its lines
        double pvp = 0;
    };
    struct Linea {
        const Articulo* articulo = nullptr;
        QString referencia; // may name no article (discontinued, typed by hand)
        QString descripcion;
        double importe = 0;
    };
    struct Ficha;     // one patient being generated
    struct Forzado;   // what a demo case fixes of one record
    struct Caso;      // a patient made to show one shape the listings must handle
    struct VentaFija; // what a demo case or a promotion fixes of one sale

    TableWriter& writer(const QString& table);
    void createWriters();
    void writeMasters();
    void writeArticulos();
    void writePaciente0();
    void writePaciente(qint64 id);
    void writeGraduaciones(Ficha& f, const Forzado* fz = nullptr);
    void writeLentillas(Ficha& f, const Forzado* fz = nullptr);
    void writeAudifonos(Ficha& f, const Forzado* fz = nullptr);
    void writeOptometria(Ficha& f, const Forzado* fz = nullptr);
    void writeBajaVision(Ficha& f, const Forzado* fz = nullptr);
    void writeReposiciones(Ficha& f, const Forzado* fz = nullptr);
    void writeVentas(Ficha& f);
    void writeVenta(Ficha& f, Random& r, const QDate& fecha, int tipoOperacion,
                    const std::vector<Linea>& lineas, const VentaFija* fija = nullptr);
    void writeCaso(Ficha& f, const Caso& caso);
    // The demo case patient `id` shows, if any.
    static const Caso* casoDe(qint64 id);
    // A lens of the same type as `a` from another supplier (a itself when there is none).
    const Articulo& otroProveedor(Random& r, const Articulo& a) const;
    void writeNota(const QString& table, const QString& keyColumn, qint64 key, const QString& text);
    const Articulo& articulo(Random& r, Clase clase) const;
    qint64 nextId(const QString& table) { return ++lastId_[table]; }

    QSqlDatabase db_;
    const SchemaInfo& schema_;
    GeneratorOptions options_;
    Random base_;
    std::map<QString, std::unique_ptr<TableWriter>> writers_;
    QMap<QString, qint64> lastId_;
    std::vector<Articulo> articulos_;
    std::array<std::vector<int>, kClases> porClase_;
    std::vector<int> localidadWeights_;
    int doctores_ = 0;
    int agentes_ = 0;
    std::array<qint64, 4> codigoPorLicencia_{};
    qint64 talon_ = 0;
};

} // namespace quill::datagen
