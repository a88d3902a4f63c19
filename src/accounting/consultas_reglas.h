#pragma once

// What the journal-entry rules share when they query the journal: opening a
// statement with the cursor they ask for, reading a column the way ADO fails
// for a missing one, and placing a number in a statement without quotes.
//
// A value written into a statement without quotes must be a whole number:
// `"MES_OPERATIVO = " + mes` with mes = "3 OR 1=1" would read every month, so
// enteroParaSentencia refuses such a text before the statement is built, and
// the refusal travels through the routine's failure handling like any other.

#include "platform/ado/ado.h"
#include "platform/runerror.h"
#include "platform/value.h"

#include <QString>

#include <cstdint>

namespace kl::accounting {

// Opens the statement on the session connection through the access layer;
// the statement not opened is the failure.
StepResult abreConsulta(const QString& sentencia, ado::Recordset& rs, int cursor, int bloqueo);

// The column's value of the current row; a recordset without that column
// fails with ADO's error 3265.
StepResult leeCampo(const ado::Recordset& rs, const QString& columna, Value& valor);

// Refuses (type mismatch, 13) a text that is not a whole number, blanks
// around it allowed; `que` names the value in the message.
StepResult enteroParaSentencia(const QString& texto, const QString& que);

// The number with at least `ancho` digits, zeros on the left, the sign before
// them (-5 in four digits is -0005).
QString conCeros(std::int64_t numero, int ancho);

}  // namespace kl::accounting
