#pragma once

// Data module of the Replacements listing: contact-lens fittings due for replacement, with the
// lens of each eye and its supplier, for ordering replacements supplier by supplier. The
// statement lists one row per lens (sentenciareposiciones.h); the run folds the eyes of a fitting
// into one memReposiciones row per fitting and supplier: when the two eyes come from different
// suppliers each supplier's row holds its own eye, so that each supplier's order is complete.
//
// One run: Tablas and the condition table set -> GenerarSQL (memReposiciones filled) -> the
// consumer reads the table, or TablaSMS.

#include "queries/listingmodule.h"
#include "queries/sentenciareposiciones.h"

#include <memory>

namespace quill {
class MemTable;
class TLstUtil;
} // namespace quill

class TdmReposiciones : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmReposiciones(QObject* owner = nullptr);
    ~TdmReposiciones() override;

    // The statement a run would execute, without running it.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;

    // Runs the statement and folds its rows into memReposiciones: 0, -302 or -303. memSMS is
    // emptied. The partition is not used: the listing covers every partition.
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    qint16 GenerarSQLReposiciones(qint16 orden, qint16 sentido, bool todas) {
        return GenerarSQL(orden, sentido, todas);
    }
    // The count runs the listing itself (order 0, direction 0) and counts what it folds.
    qint16 GenerarSQLConteo(bool todas) override;
    // Rows of memReposiciones.
    double ContarPacientes() override;

    // One memSMS row per listed fitting whose mobile passes the mobile check.
    // comprobar false: every non-empty mobile as stored, for the mass SMS, which checks them itself.
    void TablaSMS(bool comprobar = true);

    quill::MemTable* memReposiciones;
    quill::MemTable* memSMS;

    // The listing utilities of the bound connection (localities, mobile check), made on first
    // use. Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

private:
    // `columnaProveedor`: the supplier column the statement is ordered by.
    void plegar(const char* columnaProveedor);

    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
};
