#pragma once

// The subsidiary journal on paper: the rows of AUX_SUBDIARIOS of one user,
// entry by entry with its date and voucher, debit lines beside credit lines
// (Debe | Haber), each entry's totals, the totals carried from page to page
// and the report's totals; every page headed by the company's name, the
// journal, the range and its number.

#include "platform/runerror.h"

#include <QString>

namespace kl::klbase {

struct EncabezadoSubdiario {
    QString empresa;
    QString subdiario;
    QString desde;  // dd/mm/yyyy
    QString hasta;
};

// Reads the user's rows through the shared access layer (connected) and
// writes the PDF; `paginas` receives the number of pages.
StepResult imprimeSubdiario(const QString& usuario, const EncabezadoSubdiario& encabezado,
                            const QString& salida, int& paginas);

}  // namespace kl::klbase
