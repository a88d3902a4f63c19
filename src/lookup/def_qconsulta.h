#pragma once

// The lookup definitions: for each table or view of the product family that
// a code field may name in its tag, the column holding the code, the column
// describing it and a second column that goes with it. DefinirConsulta then
// runs the lookup through the engine and hands back the chosen code.
//
// Names are compared without regard to case. Key columns are often derived
// from the name (rule R): the part after the prefix, "ID" in front, and a
// final "S" or "s" dropped, the letters kept as passed: "v_ta_bancos" gives
// "IDbanco".

#include <QString>

#include <optional>

namespace kl {

struct DefinicionConsulta {
    QString Tabla;  // the name to query (two names are rewritten)
    QString CmpDisplay;
    QString Cl1;
    QString Cl2;
};

// The definition of the name; nullopt for a name no row covers (the caller's
// values then stay as they are).
std::optional<DefinicionConsulta> definicionConsulta(const QString& Tabla);

// Whether lookups of this program go through the query masks: the mask file
// exists in `carpetaPrograma` and the program is none of the three that
// never use them.
bool usaMascarasConsultas(const QString& carpetaPrograma, const QString& programa);
// The same for the running program.
bool usaMascarasConsultas();

// Fills CmpDisplay, Cl1 and Cl2 (and rewrites Tabla) from the definitions.
// When the masks are used, or else when Mostrar is set, the lookup runs and
// Cl1 becomes the chosen code ("" when cancelled); otherwise Cl1 keeps the
// key column's name. Where may come back between parentheses.
void DefinirConsulta(QString& Tabla, QString& CmpDisplay, QString& Cl1, QString& Cl2, bool Mostrar,
                     QString& Where);
// The same with the mask decision already taken.
void DefinirConsulta(QString& Tabla, QString& CmpDisplay, QString& Cl1, QString& Cl2, bool Mostrar,
                     QString& Where, bool conMascaras);

}  // namespace kl
