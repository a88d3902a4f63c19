#pragma once

// The demo company's reference data besides the chart and the journal: cost
// centres, tariff positions, article families, stores and cash desks,
// articles, bank data of accounts, fixed assets, the subsidiary journals'
// voucher types and a few finished runs in the access log.

#include "sqlite_db.h"

#include "platform/runerror.h"

namespace kl::klbase {

// Cost centres the journal's expense lines carry.
inline constexpr char kCentroAdministracion[] = "0102";
inline constexpr char kCentroComercial[] = "0201";

inline constexpr char kSubdiarioVentas[] = "VENTAS";
inline constexpr char kSubdiarioCompras[] = "COMPRAS";
inline constexpr char kSubdiarioTesoreria[] = "TESORERIA";

StepResult writeDemoCatalogues(Database& db);

}  // namespace kl::klbase
