#include "conditions/tlstfiltros.h"

#include "platform/memtable.h"

TLstFiltros::TLstFiltros(QObject* owner)
    : QObject(owner), m_datos(new quill::MemTable(QStringLiteral("cdsFiltro"), this)) {
    setObjectName(QStringLiteral("LstFiltros"));
}

TLstFiltros::~TLstFiltros() = default;
