#include "queries/listingmodule.h"

#include "host/bloque.h"

namespace quill {

ListingModule::ListingModule(QObject* owner) : QObject(owner) {}

ListingModule::~ListingModule() = default;

void ListingModule::setBloque(const std::intptr_t* bloque) {
    m_bloque = bloque;
    const auto* db = slotObject<HostConnection>(bloque, SlotDatabase);
    const auto* tr = slotObject<HostTransaction>(bloque, SlotTransaction);
    m_conexion = db ? db->connectionName : QString();
    m_transaccion = tr ? tr->connectionName : QString();
}

} // namespace quill
