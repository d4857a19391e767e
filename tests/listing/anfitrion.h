#pragma once

// A host for the window tests: a main window with a multi-document area and a filled parameter
// block, as quillmore makes them.

#include "business/acceso.h"
#include "host/bloque.h"

#include <QMainWindow>
#include <QMdiArea>
#include "quill_config.h"

struct Anfitrion {
    explicit Anfitrion(const QString& conexion = QString()) : area(new QMdiArea(&principal)) {
        principal.setCentralWidget(area);
        principal.resize(1100, 760);
        db.connectionName = conexion;
        tr.connectionName = conexion;
        log.connectionName = conexion;
        conf.Puesto = 3;
        conf.CarpetaPaquetes = QStringLiteral(QUILL_SOURCE_DATA_DIR);
        usuario.Numero = 7.9;
        aplicacion.CorreoSoporte = QStringLiteral("soporte@quillmore.local");
        aplicacion.TelefonoSoporte = QStringLiteral("900 100 200");
        quill::setSlot(bloque, quill::SlotOwner, static_cast<QWidget*>(&principal));
        quill::setSlot(bloque, quill::SlotDatabase, &db);
        quill::setSlot(bloque, quill::SlotDefaultDatabase, &db);
        quill::setSlot(bloque, quill::SlotTransaction, &tr);
        quill::setSlot(bloque, quill::SlotSettings, &conf);
        quill::setSlot(bloque, quill::SlotApplication, &aplicacion);
        quill::setSlot(bloque, quill::SlotUser, &usuario);
        quill::setSlot(bloque, quill::SlotCurrencies, &monedas);
        quill::setSlot(bloque, quill::SlotLog, &log);
        bloque[quill::SlotPartition] = 1;
    }

    QMainWindow principal;
    QMdiArea* area;
    quill::HostBlock bloque{};
    quill::HostConnection db;
    quill::HostTransaction tr;
    quill::TConfPuesto conf;
    quill::TAplicacion aplicacion;
    quill::TUsuario usuario;
    quill::TMonedas monedas;
    quill::OperationLog log;
};
