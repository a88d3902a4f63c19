#pragma once

// The company every generated database belongs to: its users, the menu
// tasks of the module's programs, and every configuration key the module
// reads, with values that pass the configuration window's checks as they
// stand.

#include "sqlite_db.h"

#include "platform/runerror.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace kl::klbase {

// The fiscal year the configuration names as active (key PERIODO); its row
// in MV_EJERCICIOS is the caller's.
struct ActiveYear {
    int periodo = 1;
    QString descripcion;
    QDate desde;
    QDate hasta;
    // Last entry number of the general journal (key ULTIMOASIENTO).
    int ultimoAsiento = 0;
    // When the keys were first written.
    QDateTime configurado;
};

// The account levels' digit counts, level 1 to 6, as the keys DIGITOS_... hold them.
inline constexpr int kDigitosNivel[6] = {1, 1, 2, 2, 3, 0};

inline constexpr char kAdministrador[] = "ADMIN";
inline constexpr char kOperador[] = "OPERADOR";

StepResult writeCompanySetup(Database& db, const ActiveYear& year);

}  // namespace kl::klbase
