#pragma once

// Data module of the prescription sheets ("Prescripciones al CNOO"): one statement per record
// family (sentenciaprescripciones.h), run on the host's connection, each row copied into the
// table the prescription reports read: memPrescripciones for spectacle prescriptions and
// contact-lens fittings, memPresAudifono for hearing-aid fittings with their audiograms.
//
// The prescription type chosen in the conditions (463) decides what a run prints: "Óptica"
// runs the spectacle and the contact-lens statements, anything else the hearing-aid one. The
// optics sheets print when either optics statement found rows; only when neither did is there
// nothing to print.

#include "queries/listingmodule.h"
#include "queries/sentenciaprescripciones.h"

#include <array>
#include <memory>

namespace quill {
class MemTable;
class TLstUtil;

// Field definitions of the two sheet tables (the table must be closed).
void definirMemPrescripciones(MemTable& t);
void definirMemPresAudifono(MemTable& t);

// The doctor as the sheets print it: name and surname, then " Nº Col. " and the registration
// number when there is one; the name alone otherwise.
QString TextoDoctor(const QString& nombre, const QString& apellidos, const QString& colegiado);
} // namespace quill

class TdmPrescripciones : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmPrescripciones(QObject* owner = nullptr);
    ~TdmPrescripciones() override;

    // The sheet headings of the two optics families.
    static QString TipoGraduacion() { return QStringLiteral("LENTES CONVENCIONALES"); }
    static QString TipoLentilla() { return QStringLiteral("LENTES DE CONTACTO"); }
    // The prescription type that prints the optics sheets; any other prints hearing aids.
    static QString TipoOptica() { return QStringLiteral("Óptica"); }

    // The prescription type of condition 463 ("Óptica" until one is chosen).
    QString TipoPrescripcion = TipoOptica();
    // The print option for observations: the hearing-aid sheets carry each fitting's first note.
    bool ImprimirObservaciones = false;

    void AsignarParametros(const quill::ParametrosListado& parametros) override;
    bool EsOptica() const { return TipoPrescripcion == TipoOptica(); }

    // The first statement a run executes (spectacles for optics, hearing aids otherwise).
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The three family statements: spectacles, contact lenses, hearing aids. The order and the
    // all/any choice do not change them: the sheets go by record date and every condition must
    // hold.
    QStringList ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) override;

    // One family's statement run on its own: 0, -302 or -303 (kept in Resultado and, for the
    // family, in ResultadoFamilia). The result stays open for the copy below.
    qint16 GenerarSQLPrescripcionesGraduacion(qint16 orden, qint16 sentido, bool todas);
    qint16 GenerarSQLPrescripcionesLentilla(qint16 orden, qint16 sentido, bool todas);
    qint16 GenerarSQLPrescripcionesAudifono(qint16 orden, qint16 sentido, bool todas);

    // Appends one memPrescripciones row per record of the open spectacle or contact-lens
    // result, under the heading `tipo` (TipoGraduacion or TipoLentilla). A record listed twice
    // (a condition on the patient's notes) gives one sheet.
    void CrearTablaPrescripciones(const QString& tipo);
    // Empties memPresAudifono and fills it from the open hearing-aid result: one row per
    // fitting with its devices per ear, its audiogram and, when `observaciones`, its first note.
    void CrearTablaPresAudifono(bool observaciones);

    // The run for the prescription type: optics runs spectacles then contact lenses and fills
    // memPrescripciones from each that found rows (0 when either did, -302 when neither);
    // hearing aids run their statement and fill memPresAudifono. Both tables are emptied first.
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    qint16 GenerarSQLOptica(bool todas);
    qint16 GenerarSQLAudiometria(bool todas);

    // What each family's statement answered in the last run (-302 for a family not run).
    qint16 ResultadoFamilia(quill::FamiliaPrescripcion familia) const {
        return m_resultados[size_t(familia)];
    }
    bool TieneFilas(quill::FamiliaPrescripcion familia) const {
        return ResultadoFamilia(familia) == quill::kListadoCorrecto;
    }
    // Whether the optics sheets print: the spectacle or the contact-lens statement found rows.
    bool HayOptica() const {
        return TieneFilas(quill::FamiliaPrescripcion::Graduacion) ||
               TieneFilas(quill::FamiliaPrescripcion::Lentilla);
    }

    // The kind offers no count; should one be asked for, it counts the sheets a run gives.
    qint16 GenerarSQLConteo(bool todas) override;
    double ContarPacientes() override;

    quill::MemTable* memPrescripciones;
    quill::MemTable* memPresAudifono;

    // Up to this many fittings, their notes and devices are read by a list of their ids;
    // above it, through the listing's own conditions.
    int IdsPorLectura = 500;

    // The listing utilities of the bound connection (dates, localities, lens types), created
    // on first use. Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

private:
    quill::DatosSentenciaPrescripciones datos() const;
    qint16 generarFamilia(quill::FamiliaPrescripcion familia);
    void vaciarTablas();

    std::array<qint16, 3> m_resultados{};
    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
};
