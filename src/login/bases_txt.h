#pragma once

// The known-connections file BASES.TXT, shared with the module's other
// programs: one connection a line, five comma-separated fields, written
// trimmed and without quotes, Windows-1252, each line ended by CRLF.

#include "platform/runerror.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kl::login {

inline constexpr char kArchivoBases[] = "BASES.TXT";

// One line's fields as stored: the password still encoded (CodificaTexto)
// and the server with "#" in front for Oracle, optionally ":" and a port.
struct LineaBases {
    QString nombre;  // CONTAB / SRV01\SQL
    QString base;
    QString usuario;
    QString clave;
    QString servidor;
};

// The comma is the only separator, so no field can hold one. A short line
// gives empty fields; fields after the fifth are dropped, so one bad line
// never shifts the connections after it. Every field comes trimmed.
LineaBases leeLineaBases(const QString& linea);
// The line as written, CRLF included.
QString escribeLineaBases(const LineaBases& linea);

// The lines of a file's text. CRLF, LF and a lone CR all end a line; a last
// line without its break still counts; an empty text has no lines.
QStringList lineasDe(const QString& texto);

// The most of BASES.TXT that is read: a thousand connections, where a
// real file holds a few dozen.
inline constexpr qint64 kLargoMaximoBases = 64 * 1024;

// Every line of the file, blank ones included (they give empty fields), up
// to its first kLargoMaximoBases bytes (the rest left, with a logged note).
// Fails (75) when the file cannot be read.
StepResult leeBases(const QString& ruta, std::vector<LineaBases>& lineas);
// Appends one line, creating the file and its folder when missing.
StepResult agregaLineaBases(const QString& ruta, const LineaBases& linea);

// The folder the program's own files are looked for in (ODBC.exe, the
// target of the desktop entry), with its separator at the end: the
// executable's folder unless another one is installed.
QString carpetaPrograma();
// An empty folder restores the executable's. Returns the previous one
// (empty when none was installed).
QString installCarpetaPrograma(const QString& carpeta);

// BASES.TXT as read: the user's own copy when the program's folder cannot
// be written and he has one, else the program folder's, where the module's
// installer and its other programs keep it (kl::keptFileToRead).
QString rutaBases();
// BASES.TXT as written: in the program's folder when it can be written,
// otherwise in the user's data folder, which starts from the program
// folder's copy (kl::keptFileToWrite).
QString rutaBasesParaEscribir();

}  // namespace kl::login
