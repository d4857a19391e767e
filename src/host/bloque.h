#pragma once

// The host parameter block: what the host hands to Cargar_Dll and the objects its slots point to.
// The block is an array of pointer-sized slots indexed by slot number; the module keeps the
// pointer for the window's whole life and never copies or frees what it points to.

#include <QString>

#include <array>
#include <cstdint>

class QWidget;

namespace quill {

// Slot numbers the module reads. No other slot is read.
enum HostSlot : int {
    SlotOwner = 1,           // QWidget*: owner of the window and of every module object
    SlotDatabase = 2,        // HostConnection*: the shop database every query runs on
    SlotDefaultDatabase = 3, // HostConnection*: default database of helper objects
    SlotTransaction = 5,     // HostTransaction*: the host's transaction on slot 2
    SlotSettings = 6,        // TConfPuesto*
    SlotApplication = 7,     // TAplicacion*
    SlotUser = 8,            // TUsuario*
    SlotCurrencies = 10,     // TMonedas*
    SlotLog = 11,            // OperationLog* (business/acceso.h)
    SlotPartition = 601,     // the data-partition value itself, not a pointer
};

constexpr int kHostBlockSlots = 602;

// A block as the host allocates it. The module only sees its data() pointer.
using HostBlock = std::array<std::intptr_t, kHostBlockSlots>;

// An open Qt SQL connection, known by its connection name.
struct HostConnection {
    QString connectionName;
};

// The host's transaction: it runs on the connection of the same name.
struct HostTransaction {
    QString connectionName;
};

// The workstation's default printer of each document type ("\Software\Quillmore\3.0\Impresoras",
// one string value per type, named as the members).
struct TImpresorasPuesto {
    QString Albaran;
    QString Etiqueta;
    QString Factura;
    QString Ficha;
    QString Garantia;
    QString Listado;
    QString Presupuesto;
    QString Receta;
    QString Recibo;
    QString Resguardo;
};

// Workstation configuration object (slot 6).
struct TConfPuesto {
    QString CarpetaPrograma; // program folder: picker libraries
    QString CarpetaFiltros;  // saved filters
    QString CarpetaPaquetes; // data packets: Filtros.xml, FilModelo.xml
    QString CarpetaFormatos;  // label formats (*.fqm)
    QString CarpetaLibrerias; // the label printing library
    qint32 ValorFiltro = 0;  // becomes the listing configuration's filter value
    qint32 Puesto = 1;       // workstation number, handed to the operation log

    // Workstation e-mail settings ("\Software\Quillmore\3.0\CorreoE").
    qint32 AutRequerida = 0;
    QString AutUsuario;
    QString AutClave;
    QString OriNombre;
    QString OriCorreo;
    qint32 OriCopia = 0;
    QString DesServidor;
    qint32 DesPuerto = 25;
    qint32 DesSSL = 0;
    // Beyond those, each off by default: blind-copy recipients per message (0: all in one),
    // only the patients that accept mail, and a file of authorities trusted besides the
    // system's (a shop's own mail server).
    qint32 DestinatariosMensaje = 0;
    qint32 SoloConsentimiento = 0;
    QString CertificadosCA;

    // Workstation printers, read with the rest of the workstation settings.
    TImpresorasPuesto Impresoras;
};

// The signed-in user (slot 8).
struct TUsuario {
    double Numero = 0;          // identifies the user in the operation log
    quint16 Filtrar = 0;        // 0: the listing configuration gets no filter value
    quint16 OperadorNumero = 0; // default-operator words, by field type
    quint16 OperadorTexto = 0;
    quint16 OperadorFecha = 0;
    qint16 TipoInforme = 1;  // preferred report type
    qint16 OrdenInforme = 3; // preferred order
    QString FormatoEtiqueta; // preferred label format file
};

// The host application (slot 7).
struct TAplicacion {
    QString Nombre;
    QString Version;
    qint16 CopiasEtiqueta = 1; // default number of label copies
    QString CorreoSoporte;     // where error reports are mailed
    QString TelefonoSoporte;
};

// Currency names of the host (slot 10).
struct TMonedas {
    QString Moneda1;
    QString Moneda2;
};

// Typed view of one slot. The block is not validated: a null or short block is the host's fault.
template <typename T> T* slotObject(const std::intptr_t* block, int slot) {
    return reinterpret_cast<T*>(block[slot]);
}

inline QWidget* slotOwner(const std::intptr_t* block) {
    return slotObject<QWidget>(block, SlotOwner);
}

inline int slotPartition(const std::intptr_t* block) {
    return static_cast<int>(block[SlotPartition]);
}

template <typename T> void setSlot(HostBlock& block, int slot, T* object) {
    block[static_cast<std::size_t>(slot)] = reinterpret_cast<std::intptr_t>(object);
}

} // namespace quill
