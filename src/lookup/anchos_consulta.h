#pragma once

// CONSULTASLEN.KVW, the column widths the operator gave each table's list
// lookup, shared with the module's other programs. One line per table, two
// quoted fields separated by a comma: the table name and the widths in twips,
// each followed by "|", in column order:
//
//     "VT_CLIENTES","1440|2880|"
//
// Windows-1252 text. A table may appear on several lines (an older program
// appended instead of replacing): the later line wins.

#include <QList>
#include <QString>

#include <optional>

namespace kl::consulta {

inline constexpr char kArchivoAnchos[] = "CONSULTASLEN.KVW";

// The widths of the last line for `tabla` (case ignored), read with the
// module's number rules (ValorMoneda); nullopt when the file cannot be read
// or has no line for the table.
std::optional<QList<double>> leeAnchos(const QString& archivo, const QString& tabla);

// Replaces the table's lines by one with `anchos`, keeping every other
// table's line unchanged and in its place; a missing file is created. The
// new content is written whole to a temporary file that then replaces the
// old one, so a failure part way never leaves half a file. False when it
// could not be written (the old file then stays as it was).
bool grabaAnchos(const QString& archivo, const QString& tabla, const QList<int>& anchos);

// The two fields of a line; nullopt for a line without them.
struct LineaAnchos {
    QString tabla;
    QString anchos;
};
std::optional<LineaAnchos> partirLinea(const QString& linea);

}  // namespace kl::consulta
