#pragma once

// The saved query masks of "consultas.kvw": for a table, the columns a lookup
// shows and the condition it applies. The module's query designer writes the
// file; this program only reads it. It is a file of fixed 1202-byte records in
// Windows-1252, with no header and no index:
//
//     offset  length  field
//          0     100  the mask's title (not read here)
//        100     100  table or view name: the mask's key and the table queried
//        200     500  column names, each followed by "|"  ("CODIGO|DESCRIPCION|")
//        700     500  condition without the word WHERE, may be blank
//       1200       2  reserved (not read here)
//
// Fields are padded with blanks or NULs; reading drops every NUL and every
// character 255 and trims. The file is scanned from its first record for
// every lookup (another program may change it at any time) and the first
// record whose table matches wins. A record cut short at the end of the file
// is not a record: a broken or foreign file simply holds no mask.

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace kl::consultas {

inline constexpr int kLargoRegistro = 1202;

struct MascaraConsulta {
    QString titulo;
    QString tabla;
    QString columnas;  // as stored, "|"-separated
    QString condicion;
};

// True when the mask file exists (a file, not a folder).
bool existeArchivoMascaras(const QString& path);

// The first mask of the device whose table equals `tabla` trimmed, case
// ignored; nullopt when none does, or when the device cannot be read.
std::optional<MascaraConsulta> buscaMascara(QIODevice& archivo, const QString& tabla);
// The same over the file, opened read-only and closed on every way out.
std::optional<MascaraConsulta> buscaMascara(const QString& path, const QString& tabla);

// One record as the query designer writes it: each field in Windows-1252,
// cut to its length and padded with blanks; the reserved bytes are NULs.
QByteArray registroMascara(const MascaraConsulta& mascara);

}  // namespace kl::consultas
