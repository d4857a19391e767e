#pragma once

// What the kinds' descriptor files share: one function per kind (registro_<kind>.cpp), the
// common option lists and the routing and titles every kind starts from.

#include "actions/registro.h"

namespace quill::registro {

// "Resumido" and "Detalle": the report types of the kinds with a detailed report.
extern const QStringList kResumidoDetalle;
// Code, surname, address: the orders every kind with a print order offers.
extern const QList<qint16> kOrdenesBase;

// A kind's routing and titles; its file adds the data module and what its outputs read.
DescriptorListado DescriptorBase(qint16 codigo, const char* nombre, const char* titulo,
                                 const char* tituloCondiciones, std::array<const char*, 6> metodos);

DescriptorListado General();
DescriptorListado Consumo();
DescriptorListado Encargos();
DescriptorListado Fechas();
DescriptorListado Prescripciones();
DescriptorListado Reposiciones();
DescriptorListado Garantias();

// Adds the mass SMS of a kind that has it (registro_sms.cpp).
void AnadirEnvioSMS(DescriptorListado& d);

// The report forms of every kind whose reports are built (registro_informes.cpp).
void AnadirInformes(QList<DescriptorListado>& listados);

} // namespace quill::registro
