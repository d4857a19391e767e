#pragma once

// Client-dataset XML data packets (the filter catalogue Filtros.xml, the saved-filter template
// FilModelo.xml and the saved filters) read into and written from a MemTable:
//
//   <?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>
//   <FIELD attrname="ID" fieldtype="r8" required="true"/>...</FIELDS><PARAMS/></METADATA>
//   <ROWDATA><ROW ID="1" IDGRUPO="0" .../></ROWDATA></DATAPACKET>
//
// Field types: r8 (Float; SUBTYPE="Money": Currency), i4 (Integer), i2 (SmallInt),
// string WIDTH="n" (String of n), bin.hex SUBTYPE="Text" (Memo) or "Binary" (Blob, kept as
// text), date ("20091231"), dateTime ("20091231T10:30:00000"), boolean ("TRUE"/"FALSE").
// Read also: i1, ui1, ui2, i8, r4, fixed and string.uni. A null value is an absent attribute.
//
// Errors are returned as Spanish messages (empty text: success), never thrown. A packet that
// cannot be read leaves the table empty: open with no rows (or closed if it has no fields).

#include "memtable.h"

#include <QByteArray>
#include <QString>

namespace quill {

enum class PacketFields {
    FromPacket, // the table's fields are replaced by the packet's METADATA
    FromTable,  // the table keeps its fields; values are taken by field name
};

// Reads a packet from memory. Row events are not called; the table's index and filter apply.
QString readDataPacket(MemTable& table, const QByteArray& xml,
                       PacketFields mode = PacketFields::FromPacket);
// Reads a packet file (UTF-8; a file that is not valid UTF-8 is read as Latin-1).
QString loadDataPacket(MemTable& table, const QString& path,
                       PacketFields mode = PacketFields::FromPacket);

// The packet of every stored row (including rows hidden by the filter) in the table's order.
// Returns an empty array and fills *error when a value cannot be written in XML.
QByteArray writeDataPacket(const MemTable& table, QString* error = nullptr);
// Writes the packet to a file, replacing it in one step: a failure leaves the old file intact.
QString saveDataPacket(const MemTable& table, const QString& path);

} // namespace quill
