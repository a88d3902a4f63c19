#pragma once

// The subsidiary journal on paper: the rows of AUX_SUBDIARIOS of one user,
// entry by entry with its date, fiscal year and voucher, debit lines beside
// credit lines (Debe | Haber), each entry's totals, the totals carried from
// page to page and the report's totals; every page headed by the company's
// name, the journal, the range and its number. Long account names wrap.
// Amounts the user may not see (confidential accounts) are marked as
// hidden, and every total says how many it leaves out.

#include "platform/runerror.h"

#include <QString>

namespace kl::klbase {

struct EncabezadoSubdiario {
    QString empresa;
    QString subdiario;
    QString desde;  // dd/mm/yyyy
    QString hasta;
};

// "Libro Subdiario VENTAS - del 01/01/2025 al 31/12/2025"; without a
// journal name, "Libro Subdiario del 01/01/2025 al 31/12/2025".
QString tituloSubdiario(const EncabezadoSubdiario& encabezado);

struct Impreso {
    int paginas = 0;
    int asientos = 0;
};

// Reads the user's rows through the shared access layer (connected) and
// writes the PDF: year by year, each entry's rows in the order written.
StepResult imprimeSubdiario(const QString& usuario, const EncabezadoSubdiario& encabezado,
                            const QString& salida, Impreso& impreso);

}  // namespace kl::klbase
