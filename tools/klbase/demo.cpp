#include "demo.h"

#include "company.h"
#include "demo_catalogues.h"
#include "demo_chart.h"
#include "demo_summaries.h"
#include "fiscal_year.h"
#include "journal.h"
#include "national_tables.h"
#include "random.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

#include <cmath>
#include <map>

namespace kl::klbase {

namespace {

// Accounts the simulation posts to.
namespace cuenta {
const QString Caja = "110101001";
const QString BancoNacion = "110102001";
const QString BancoGalicia = "110102002";
const QString PlazoFijo = "110201001";
const QString Deudores = "110301001";
const QString IvaCredito = "110401001";
const QString IvaSaldoAFavor = "110401002";
const QString Mercaderias = "110501001";
const QString Terrenos = "120101001";
const QString Edificios = "120101002";
const QString AmortEdificios = "120101003";
const QString Rodados = "120102001";
const QString AmortRodados = "120102002";
const QString Muebles = "120103001";
const QString AmortMuebles = "120103002";
const QString Computacion = "120105001";
const QString AmortComputacion = "120105002";
const QString Autoelevadores = "120106001";
const QString AmortMaquinas = "120106002";
const QString Proveedores = "210101001";
const QString PrestamoNacion = "210201001";
const QString SueldosAPagar = "210301001";
const QString CargasSociales = "210302001";
const QString IvaDebito = "210401001";
const QString IvaAPagar = "210401002";
const QString GananciasAPagar = "210402001";
const QString IibbAPagar = "210403001";
const QString HonorariosDirectoresAPagar = "210601001";
const QString Capital = "310101001";
const QString ReservaLegal = "320101001";
const QString ResultadosNoAsignados = "320201001";
const QString ResultadoDelEjercicio = "320201002";
const QString Ventas = "410101001";
const QString Devoluciones = "410201002";
const QString InteresesGanados = "420101001";
const QString CostoDeVentas = "510101001";
const QString SueldosVentas = "520101001";
const QString CargasVentas = "520101002";
const QString Comisiones = "520101003";
const QString Fletes = "520102002";
const QString IngresosBrutos = "520102003";
const QString Combustibles = "520102006";
const QString SueldosAdministracion = "530101001";
const QString CargasAdministracion = "530101002";
const QString HonorariosDirectores = "530101003";
const QString Honorarios = "530102001";
const QString Alquileres = "530102002";
const QString Energia = "530102003";
const QString Gas = "530102004";
const QString Telefonia = "530102006";
const QString Amortizaciones = "530103001";
const QString ImpuestoDebitosCreditos = "530104001";
const QString InteresesPagados = "540101001";
const QString GastosBancarios = "540101003";
const QString ImpuestoGanancias = "550101001";
}  // namespace cuenta

struct Party {
    const char* codigo;
    const char* nombre;
    int condIva;
};

const Party kClientes[] = {
    {"C0001", "Supermercados La Estrella S.A.", 1},
    {"C0002", "Autoservicio El Trébol S.R.L.", 1},
    {"C0003", "Mayorista Norte S.A.", 1},
    {"C0004", "Almacén Don Pepe", 5},
    {"C0005", "Distribuidora Cuyo S.R.L.", 1},
    {"C0006", "Hotel Plaza Mayor S.A.", 1},
    {"C0007", "Club Atlético Villa Crespo", 3},
    {"C0008", "Kiosco La Esquina", 5},
    {"C0009", "Parrilla Don Julio S.R.L.", 1},
    {"C0010", "Cooperativa de Consumo Unión Ltda.", 3},
    {"C0011", "Autoservicio Nuevo Día S.A.", 1},
    {"C0012", "Consumidor final", 4},
};

const Party kProveedores[] = {
    {"P0001", "Molinos del Sur S.A.", 1},      {"P0002", "Bebidas Andinas S.A.", 1},
    {"P0003", "Química Limpia S.R.L.", 1},     {"P0004", "Aceitera Pampeana S.A.", 1},
    {"P0005", "Papelera del Litoral S.A.", 1},
};

struct Service {
    Party proveedor;
    const QString& cuenta;
    double pesos;  // a month's net amount at the start of 2024
};

const Service kServicios[] = {
    {{"P0101", "Inmobiliaria Rivadavia S.A.", 1}, cuenta::Alquileres, 2200000},
    {{"P0102", "Distribuidora de Energía Norte S.A.", 1}, cuenta::Energia, 350000},
    {{"P0103", "Gas Metropolitano S.A.", 1}, cuenta::Gas, 120000},
    {{"P0104", "Telecomunicaciones del Plata S.A.", 1}, cuenta::Telefonia, 180000},
    {{"P0105", "Estudio Contable Fernández y Asociados", 1}, cuenta::Honorarios, 650000},
    {{"P0106", "Transportes Rápido Sur S.R.L.", 1}, cuenta::Fletes, 900000},
    {{"P0107", "Estación de Servicio Ruta 3 S.A.", 1}, cuenta::Combustibles, 420000},
};

constexpr double kIva = 0.21;
constexpr char kPuntoDeVenta[] = "0003";

std::int64_t centavos(double pesos) {
    return std::llround(pesos * 100.0);
}
std::int64_t share(std::int64_t amount, double fraction) {
    return std::llround(static_cast<double>(amount) * fraction);
}

QString monthText(const QDate& day) {
    return day.toString(QStringLiteral("MM/yyyy"));
}
QString number8(int n) {
    return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}

// Right-aligned to four characters, as voucher types are stored.
QString voucherType(const QString& code) {
    return code.rightJustified(4, u' ');
}

QString costCentreOf(const QString& account) {
    if (account.startsWith(u"52")) return kCentroComercial;
    if (account.startsWith(u"53")) return kCentroAdministracion;
    return QString();
}

class DemoCompany {
  public:
    explicit DemoCompany(Database& db) : db_(db), ledger_(db, costCentreOf) {}

    StepResult post(const std::vector<FiscalYear>& years, int monthsOfOpenYear);
    StepResult writeVoucherTypes();
    const Ledger& ledger() const { return ledger_; }

  private:
    struct Counters {
        int facturaA = 0, facturaB = 0, creditoA = 0, creditoB = 0, recibo = 0, ordenPago = 0;
    };

    StepResult add(JournalEntry entry) { return ledger_.add(std::move(entry)); }
    JournalEntry entry(const QDate& day, const QString& detalle, const QString& tipoReg = {},
                       const char* usuario = kOperador) const {
        JournalEntry e;
        e.fecha = day;
        e.detalle = detalle;
        e.tipoReg = tipoReg;
        e.usuario = usuario;
        return e;
    }
    // A weekday of the month, at random.
    QDate workingDay(const QDate& first) {
        QDate day = first.addDays(random_.between(0, first.daysInMonth() - 1));
        const int step = day.day() > 15 ? -1 : 1;
        while (day.dayOfWeek() > 5) day = day.addDays(step);
        return day;
    }
    const Party& randomCustomer() {
        return kClientes[random_.between(0, static_cast<std::int64_t>(std::size(kClientes)) - 1)];
    }
    QString richerBank() const {
        return ledger_.balance(cuenta::BancoNacion) >= ledger_.balance(cuenta::BancoGalicia)
                   ? cuenta::BancoNacion
                   : cuenta::BancoGalicia;
    }
    std::int64_t owed(const QString& account) const { return -ledger_.balance(account); }

    StepResult openFirstYear(const QDate& day);
    StepResult openYear(const QDate& day);
    StepResult postMonth(int periodo, const QDate& first, bool closesYear);
    StepResult payLiabilities(const QDate& first);
    StepResult collect(const QDate& first);
    StepResult payProviders(const QDate& first);
    StepResult sell(const QDate& first, std::int64_t netSales);
    StepResult buy(const QDate& first, std::int64_t netPurchases);
    StepResult payroll(const QDate& last);
    StepResult monthEnd(const QDate& last, std::int64_t netSales, std::int64_t collected);
    StepResult treasury(const QDate& first, const QDate& last);
    StepResult distributeResult(const QDate& day);
    StepResult closeYear(const QDate& last);

    Database& db_;
    Random random_{20240101};
    Ledger ledger_;
    Counters counters_;
    double growth_ = 1.0;
    std::map<QString, std::int64_t> closingBalances_;
    std::int64_t lastResult_ = 0;
    std::int64_t plazoFijo_ = 0;
    std::map<QString, int> supplierNumbers_;
};

StepResult DemoCompany::post(const std::vector<FiscalYear>& years, int monthsOfOpenYear) {
    for (const FiscalYear& year : years) {
        const int months = year.cerrado ? 12 : monthsOfOpenYear;
        for (int m = 0; m < months; ++m) {
            const QDate first = year.desde.addMonths(m);
            if (m == 0) {
                StepResult failed =
                    year.periodo == years.front().periodo ? openFirstYear(first) : openYear(first);
                if (failed) return failed;
            }
            if (StepResult failed = postMonth(year.periodo, first, year.cerrado && m == 11))
                return failed;
            if (StepResult failed = ledger_.writeMonth(year.periodo, m + 1)) return failed;
            // Prices and costs follow the inflation of each year.
            growth_ *= first.year() == 2024 ? 1.035 : (first.year() == 2025 ? 1.02 : 1.022);
        }
    }
    return std::nullopt;
}

// The balances the company brought into the system.
StepResult DemoCompany::openFirstYear(const QDate& day) {
    JournalEntry e = entry(day, "Asiento de apertura: saldos iniciales", {}, kAdministrador);
    const std::pair<const QString&, double> debits[] = {
        {cuenta::Caja, 450000},
        {cuenta::BancoNacion, 28000000},
        {cuenta::BancoGalicia, 14500000},
        {cuenta::Deudores, 52000000},
        {cuenta::Mercaderias, 78000000},
        {cuenta::Terrenos, 50000000},
        {cuenta::Edificios, 150000000},
        {cuenta::Rodados, 40000000},
        {cuenta::Muebles, 8000000},
        {cuenta::Computacion, 6000000},
        {cuenta::Autoelevadores, 12000000},
    };
    const std::pair<const QString&, double> credits[] = {
        {cuenta::AmortEdificios, 13500000}, {cuenta::AmortRodados, 9000000},
        {cuenta::AmortMuebles, 3600000},    {cuenta::AmortComputacion, 1000000},
        {cuenta::AmortMaquinas, 2400000},   {cuenta::Proveedores, 41000000},
        {cuenta::SueldosAPagar, 5400000},   {cuenta::CargasSociales, 3100000},
        {cuenta::IvaAPagar, 2300000},       {cuenta::IibbAPagar, 1500000},
        {cuenta::PrestamoNacion, 30000000}, {cuenta::Capital, 150000000},
        {cuenta::ReservaLegal, 12000000},
    };
    std::int64_t difference = 0;
    for (const auto& [account, pesos] : debits) {
        e.debit(account, centavos(pesos));
        difference += centavos(pesos);
    }
    for (const auto& [account, pesos] : credits) {
        e.credit(account, centavos(pesos));
        difference -= centavos(pesos);
    }
    e.credit(cuenta::ResultadosNoAsignados, difference);
    return add(std::move(e));
}

// The opening entry restores what the previous year's closing entry cancelled.
StepResult DemoCompany::openYear(const QDate& day) {
    JournalEntry e = entry(day, "Asiento de apertura del ejercicio", {}, kAdministrador);
    for (const auto& [account, balance] : closingBalances_) e.debit(account, balance);
    return add(std::move(e));
}

StepResult DemoCompany::postMonth(int periodo, const QDate& first, bool closesYear) {
    const QDate last = first.addDays(first.daysInMonth() - 1);
    const std::int64_t netSales = share(centavos(45000000), growth_ * random_.factor(0.9, 1.1));
    const std::int64_t collected = share(ledger_.balance(cuenta::Deudores), 0.9);

    if (StepResult failed = payLiabilities(first)) return failed;
    if (StepResult failed = collect(first)) return failed;
    if (StepResult failed = payProviders(first)) return failed;
    if (first.month() == 4 && lastResult_ != 0) {
        if (StepResult failed = distributeResult(first.addDays(24))) return failed;
    }
    if (StepResult failed = sell(first, netSales)) return failed;
    if (StepResult failed = buy(first, share(netSales, 0.59))) return failed;
    if (StepResult failed = payroll(last)) return failed;
    if (StepResult failed = monthEnd(last, netSales, collected)) return failed;
    if (StepResult failed = treasury(first, last)) return failed;
    if (closesYear) return closeYear(last);
    return std::nullopt;
}

// Last month's pay, social charges and taxes, on their usual due days; the
// income tax of the year before in May.
StepResult DemoCompany::payLiabilities(const QDate& first) {
    const QString month = monthText(first.addMonths(-1));
    struct Due {
        const QString& account;
        int day;
        QString detalle;
    };
    std::vector<Due> dues{
        {cuenta::SueldosAPagar, 4, "Pago de sueldos " + month},
        {cuenta::HonorariosDirectoresAPagar, 6, "Pago de honorarios de directores " + month},
        {cuenta::CargasSociales, 10, "Pago F.931 cargas sociales " + month},
        {cuenta::IibbAPagar, 15, "Pago de ingresos brutos " + month},
        {cuenta::IvaAPagar, 18, "Pago de IVA " + month},
    };
    if (first.month() == 5)
        dues.push_back({cuenta::GananciasAPagar, 13,
                        "Pago del impuesto a las ganancias " + QString::number(first.year() - 1)});
    for (const Due& due : dues) {
        const std::int64_t amount = owed(due.account);
        if (amount <= 0) continue;
        JournalEntry e = entry(first.addDays(due.day - 1), due.detalle);
        e.debit(due.account, amount);
        e.credit(richerBank(), amount);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    return std::nullopt;
}

StepResult DemoCompany::collect(const QDate& first) {
    const std::int64_t total = share(ledger_.balance(cuenta::Deudores), 0.9);
    std::int64_t left = total;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t amount = i == 3 ? left : share(total, 0.25);
        left -= amount;
        const Party& customer = randomCustomer();
        JournalEntry e = entry(workingDay(first), QString(), kSubdiarioTesoreria);
        e.tc = voucherType("REC");
        e.sucursal = "0001";
        e.numero = number8(++counters_.recibo);
        e.letra = "X";
        e.cabCuenta = customer.codigo;
        e.cabImporte = amount;
        e.detalle = QStringLiteral("Recibo X 0001-%1 %2").arg(e.numero, customer.nombre);
        e.debit(i % 2 ? cuenta::BancoGalicia : cuenta::BancoNacion, amount);
        e.credit(cuenta::Deudores, amount);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    return std::nullopt;
}

StepResult DemoCompany::payProviders(const QDate& first) {
    const std::int64_t total = share(owed(cuenta::Proveedores), 0.85);
    std::int64_t left = total;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t amount = i == 3 ? left : share(total, 0.25);
        left -= amount;
        const Party& supplier = kProveedores[random_.between(
            0, static_cast<std::int64_t>(std::size(kProveedores)) - 1)];
        JournalEntry e = entry(workingDay(first), QString(), kSubdiarioTesoreria);
        e.tc = voucherType("OP");
        e.sucursal = "0001";
        e.numero = number8(++counters_.ordenPago);
        e.letra = "X";
        e.cabCuenta = supplier.codigo;
        e.cabImporte = amount;
        e.detalle = QStringLiteral("Orden de pago 0001-%1 %2").arg(e.numero, supplier.nombre);
        e.debit(cuenta::Proveedores, amount);
        e.credit(richerBank(), amount);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    return std::nullopt;
}

StepResult DemoCompany::sell(const QDate& first, std::int64_t netSales) {
    constexpr int kInvoices = 8;
    for (int i = 0; i < kInvoices; ++i) {
        const Party& customer = randomCustomer();
        const bool letterA = customer.condIva <= 2;
        const std::int64_t net = share(netSales / kInvoices, random_.factor(0.7, 1.3));
        const std::int64_t iva = share(net, kIva);
        JournalEntry e = entry(workingDay(first), QString(), kSubdiarioVentas);
        e.tc = voucherType("FC");
        e.sucursal = kPuntoDeVenta;
        e.letra = letterA ? "A" : "B";
        e.numero = number8(letterA ? ++counters_.facturaA : ++counters_.facturaB);
        e.cabCuenta = customer.codigo;
        e.cabImporte = net + iva;
        e.detalle = QStringLiteral("Factura %1 %2-%3 %4")
                        .arg(e.letra, kPuntoDeVenta, e.numero, customer.nombre);
        e.debit(cuenta::Deudores, net + iva);
        e.credit(cuenta::Ventas, net);
        e.credit(cuenta::IvaDebito, iva);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    // Returned goods, once a month.
    const Party& customer = randomCustomer();
    const bool letterA = customer.condIva <= 2;
    const std::int64_t net = share(netSales, 0.01);
    const std::int64_t iva = share(net, kIva);
    JournalEntry e = entry(workingDay(first), QString(), kSubdiarioVentas);
    e.tc = voucherType("NC");
    e.sucursal = kPuntoDeVenta;
    e.letra = letterA ? "A" : "B";
    e.numero = number8(letterA ? ++counters_.creditoA : ++counters_.creditoB);
    e.cabCuenta = customer.codigo;
    e.cabImporte = net + iva;
    e.detalle = QStringLiteral("Nota de crédito %1 %2-%3 %4")
                    .arg(e.letra, kPuntoDeVenta, e.numero, customer.nombre);
    e.debit(cuenta::Devoluciones, net);
    e.debit(cuenta::IvaDebito, iva);
    e.credit(cuenta::Deudores, net + iva);
    return add(std::move(e));
}

StepResult DemoCompany::buy(const QDate& first, std::int64_t netPurchases) {
    auto supplierInvoice = [&](const Party& supplier, const QString& account,
                               std::int64_t net) -> StepResult {
        const std::int64_t iva = share(net, kIva);
        int& lastNumber = supplierNumbers_[supplier.codigo];
        if (lastNumber == 0) lastNumber = static_cast<int>(random_.between(1000, 90000));
        lastNumber += static_cast<int>(random_.between(1, 40));
        JournalEntry e = entry(workingDay(first), QString(), kSubdiarioCompras);
        e.tc = voucherType("FCC");
        e.sucursal = QStringLiteral("%1").arg(QString(supplier.codigo).right(2).toInt() + 1, 4, 10,
                                              QLatin1Char('0'));
        e.numero = number8(lastNumber);
        e.letra = "A";
        e.cabCuenta = supplier.codigo;
        e.cabImporte = net + iva;
        e.detalle = QStringLiteral("Factura A %1-%2 %3").arg(e.sucursal, e.numero, supplier.nombre);
        e.debit(account, net);
        e.debit(cuenta::IvaCredito, iva);
        e.credit(cuenta::Proveedores, net + iva);
        return add(std::move(e));
    };
    for (const Party& supplier : kProveedores) {
        const std::int64_t net =
            share(netPurchases / static_cast<std::int64_t>(std::size(kProveedores)),
                  random_.factor(0.8, 1.2));
        if (StepResult failed = supplierInvoice(supplier, cuenta::Mercaderias, net)) return failed;
    }
    for (const Service& service : kServicios) {
        const std::int64_t net = share(centavos(service.pesos), growth_ * random_.factor(0.9, 1.1));
        if (StepResult failed = supplierInvoice(service.proveedor, service.cuenta, net))
            return failed;
    }
    return std::nullopt;
}

// Pay with the employer's contributions, the sales commissions and the
// directors' fees; the mid-year and year-end bonus (SAC) in June and December.
StepResult DemoCompany::payroll(const QDate& last) {
    const double bonus = last.month() == 6 || last.month() == 12 ? 1.5 : 1.0;
    const std::int64_t gross = share(centavos(6500000), growth_ * bonus);
    const std::int64_t administracion = share(gross, 0.45);
    const std::int64_t ventas = gross - administracion;
    const std::int64_t commissions = share(centavos(45000000), growth_ * 0.015);
    const std::int64_t contributions = share(gross, 0.24);
    const std::int64_t withheld = share(gross + commissions, 0.17);
    JournalEntry e = entry(last, "Liquidación de sueldos " + monthText(last), {}, kAdministrador);
    e.debit(cuenta::SueldosAdministracion, administracion);
    e.debit(cuenta::SueldosVentas, ventas);
    e.debit(cuenta::Comisiones, commissions);
    e.debit(cuenta::CargasAdministracion, share(administracion, 0.24));
    e.debit(cuenta::CargasVentas, contributions - share(administracion, 0.24));
    e.credit(cuenta::SueldosAPagar, gross + commissions - withheld);
    e.credit(cuenta::CargasSociales, withheld + contributions);
    if (StepResult failed = add(std::move(e))) return failed;

    JournalEntry fees =
        entry(last, "Honorarios de directores " + monthText(last), {}, kAdministrador);
    const std::int64_t amount = share(centavos(800000), growth_);
    fees.debit(cuenta::HonorariosDirectores, amount);
    fees.credit(cuenta::HonorariosDirectoresAPagar, amount);
    return add(std::move(fees));
}

StepResult DemoCompany::monthEnd(const QDate& last, std::int64_t netSales, std::int64_t collected) {
    const QString month = monthText(last);
    JournalEntry cost = entry(last, "Costo de mercaderías vendidas " + month);
    cost.debit(cuenta::CostoDeVentas, share(netSales, 0.57));
    cost.credit(cuenta::Mercaderias, share(netSales, 0.57));
    if (StepResult failed = add(std::move(cost))) return failed;

    JournalEntry iibb = entry(last, "Ingresos brutos devengados " + month);
    iibb.debit(cuenta::IngresosBrutos, share(netSales, 0.035));
    iibb.credit(cuenta::IibbAPagar, share(netSales, 0.035));
    if (StepResult failed = add(std::move(iibb))) return failed;

    JournalEntry bank =
        entry(last, "Gastos bancarios e impuesto a los débitos y créditos " + month);
    const std::int64_t fees = share(collected, 0.0005);
    const std::int64_t tax = share(collected, 0.012);
    bank.debit(cuenta::GastosBancarios, fees);
    bank.debit(cuenta::ImpuestoDebitosCreditos, tax);
    bank.credit(richerBank(), fees + tax);
    if (StepResult failed = add(std::move(bank))) return failed;

    // The month's VAT position: debits against credits and any balance in favour.
    const std::int64_t debitos = owed(cuenta::IvaDebito);
    const std::int64_t creditos = ledger_.balance(cuenta::IvaCredito);
    const std::int64_t aFavor = ledger_.balance(cuenta::IvaSaldoAFavor);
    JournalEntry vat = entry(last, "Posición mensual de IVA " + month, {}, kAdministrador);
    vat.debit(cuenta::IvaDebito, debitos);
    vat.credit(cuenta::IvaCredito, creditos);
    vat.credit(cuenta::IvaSaldoAFavor, aFavor);
    const std::int64_t toPay = debitos - creditos - aFavor;
    if (toPay >= 0)
        vat.credit(cuenta::IvaAPagar, toPay);
    else
        vat.debit(cuenta::IvaSaldoAFavor, -toPay);
    return add(std::move(vat));
}

// The bank loan's instalment, and spare cash placed at 30 days.
StepResult DemoCompany::treasury(const QDate& first, const QDate& last) {
    const double monthlyRate = first.year() == 2024 ? 0.035 : (first.year() == 2025 ? 0.025 : 0.02);
    if (plazoFijo_ > 0) {
        JournalEntry e =
            entry(first.addDays(4), "Acreditación de plazo fijo Banco Nación", {}, kAdministrador);
        const std::int64_t interest = share(plazoFijo_, monthlyRate);
        e.debit(cuenta::BancoNacion, plazoFijo_ + interest);
        e.credit(cuenta::PlazoFijo, plazoFijo_);
        e.credit(cuenta::InteresesGanados, interest);
        plazoFijo_ = 0;
        if (StepResult failed = add(std::move(e))) return failed;
    }
    const std::int64_t loan = owed(cuenta::PrestamoNacion);
    if (loan > 0) {
        JournalEntry e =
            entry(first.addDays(19), "Cuota del préstamo Banco Nación " + monthText(first));
        const std::int64_t instalment = std::min(loan, centavos(1000000));
        const std::int64_t interest = share(loan, monthlyRate * 1.2);
        e.debit(cuenta::PrestamoNacion, instalment);
        e.debit(cuenta::InteresesPagados, interest);
        e.credit(cuenta::BancoNacion, instalment + interest);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    if (ledger_.balance(cuenta::BancoNacion) > centavos(90000000)) {
        JournalEntry e =
            entry(last, "Constitución de plazo fijo a 30 días Banco Nación", {}, kAdministrador);
        plazoFijo_ = centavos(40000000);
        e.debit(cuenta::PlazoFijo, plazoFijo_);
        e.credit(cuenta::BancoNacion, plazoFijo_);
        if (StepResult failed = add(std::move(e))) return failed;
    }
    return std::nullopt;
}

// The shareholders' meeting assigns last year's result: 5 % to the legal
// reserve, the rest stays unassigned.
StepResult DemoCompany::distributeResult(const QDate& day) {
    JournalEntry e =
        entry(day, "Asignación de resultados según asamblea de accionistas", {}, kAdministrador);
    if (lastResult_ > 0) {
        e.debit(cuenta::ResultadoDelEjercicio, lastResult_);
        e.credit(cuenta::ReservaLegal, share(lastResult_, 0.05));
        e.credit(cuenta::ResultadosNoAsignados, lastResult_ - share(lastResult_, 0.05));
    } else {
        e.debit(cuenta::ResultadosNoAsignados, -lastResult_);
        e.credit(cuenta::ResultadoDelEjercicio, -lastResult_);
    }
    lastResult_ = 0;
    return add(std::move(e));
}

StepResult DemoCompany::closeYear(const QDate& last) {
    JournalEntry depreciation = entry(last, "Amortizaciones del ejercicio", {}, kAdministrador);
    const std::pair<const QString&, const QString&> assets[] = {
        {cuenta::Edificios, cuenta::AmortEdificios},
        {cuenta::Rodados, cuenta::AmortRodados},
        {cuenta::Muebles, cuenta::AmortMuebles},
        {cuenta::Computacion, cuenta::AmortComputacion},
        {cuenta::Autoelevadores, cuenta::AmortMaquinas},
    };
    const double rates[] = {0.02, 0.20, 0.10, 0.33, 0.10};
    std::int64_t total = 0;
    for (size_t i = 0; i < std::size(assets); ++i) {
        const std::int64_t amount = share(ledger_.balance(assets[i].first), rates[i]);
        depreciation.credit(assets[i].second, amount);
        total += amount;
    }
    depreciation.debit(cuenta::Amortizaciones, total);
    if (StepResult failed = add(std::move(depreciation))) return failed;

    auto resultAccounts = [this] {
        std::int64_t sum = 0;
        for (const auto& [account, balance] : ledger_.balances()) {
            if (account.startsWith(u'4') || account.startsWith(u'5')) sum += balance;
        }
        return -sum;  // credits: income above expenses
    };
    const std::int64_t beforeTax = resultAccounts();
    if (beforeTax > 0) {
        JournalEntry tax =
            entry(last, "Provisión del impuesto a las ganancias", {}, kAdministrador);
        tax.debit(cuenta::ImpuestoGanancias, share(beforeTax, 0.35));
        tax.credit(cuenta::GananciasAPagar, share(beforeTax, 0.35));
        if (StepResult failed = add(std::move(tax))) return failed;
    }

    JournalEntry refundicion =
        entry(last, "Refundición de cuentas de resultado", {}, kAdministrador);
    std::int64_t result = 0;
    for (const auto& [account, balance] : ledger_.balances()) {
        if (!account.startsWith(u'4') && !account.startsWith(u'5')) continue;
        refundicion.credit(account, balance);
        result -= balance;
    }
    refundicion.credit(cuenta::ResultadoDelEjercicio, result);
    lastResult_ = result;
    if (StepResult failed = add(std::move(refundicion))) return failed;

    JournalEntry cierre = entry(last, "Asiento de cierre del ejercicio", {}, kAdministrador);
    closingBalances_.clear();
    for (const auto& [account, balance] : ledger_.balances()) {
        if (balance == 0) continue;
        closingBalances_[account] = balance;
        cierre.credit(account, balance);
    }
    return add(std::move(cierre));
}

StepResult DemoCompany::writeVoucherTypes() {
    struct Type {
        const char* codigo;
        const char* descripcion;
        bool modificaNumeracion;
        const char* letras;
        std::map<QString, int> ultimo;
    };
    const std::vector<Type> types{
        {"FC", "Factura", false, "AB", {{"A", counters_.facturaA}, {"B", counters_.facturaB}}},
        {"NC",
         "Nota de crédito",
         false,
         "AB",
         {{"A", counters_.creditoA}, {"B", counters_.creditoB}}},
        {"ND", "Nota de débito", false, "AB", {{"A", 0}, {"B", 0}}},
        {"FCC", "Factura de compra", true, "ABC", {}},
        {"NCC", "Nota de crédito de compra", true, "ABC", {}},
        {"NDC", "Nota de débito de compra", true, "ABC", {}},
        {"REC", "Recibo", false, "X", {{"X", counters_.recibo}}},
        {"OP", "Orden de pago", false, "X", {{"X", counters_.ordenPago}}},
    };
    // Own vouchers count within 1..99999999; received ones carry no counters,
    // which is what marks them as incoming.
    const QStringList kNumberedLetters{"A", "B", "X"};
    QStringList typeColumns{"CODIGO", "DESCRIPCION", "MODIFICANUMERACION", "LETRAS"};
    QStringList padColumns{"CODIGO", "UNEGOCIO", "TALONARIO", "DESCRIPCION"};
    for (const QString& letter : kNumberedLetters) {
        typeColumns << letter + "_ULTIMO_NRO" << letter + "_NRO_DESDE" << letter + "_NRO_HASTA";
        padColumns << letter + "_SUC_DEFAULT" << letter + "_ULTIMO_NRO";
    }
    std::vector<std::vector<Value>> typeRows, padRows;
    for (const Type& type : types) {
        std::vector<Value> row{voucherType(type.codigo), type.descripcion, type.modificaNumeracion,
                               type.letras};
        std::vector<Value> pad{voucherType(type.codigo), "   1", 1,
                               QStringLiteral("Talonario de %1").arg(type.descripcion)};
        for (const QString& letter : kNumberedLetters) {
            const auto found = type.ultimo.find(letter);
            const bool numbered = found != type.ultimo.end();
            const int last = numbered ? found->second : 0;
            row.emplace_back(last);
            row.emplace_back(numbered ? 1 : 0);
            row.emplace_back(numbered ? 99999999 : 0);
            // Receipts and payment orders have their own point of sale.
            pad.emplace_back(numbered ? (letter == u"X" ? 1 : QString(kPuntoDeVenta).toInt()) : 0);
            pad.emplace_back(last);
        }
        typeRows.push_back(row);
        if (!type.ultimo.empty()) padRows.push_back(pad);
    }
    if (StepResult failed = db_.insertRows("TA_COMPROBANTES", typeColumns, typeRows)) return failed;
    return db_.insertRows("TA_TALONARIOS", padColumns, padRows);
}

// Daily rates of the other currencies, interpolated between month-end
// references of the dollar; weekends and holidays keep the last business day's rate.
StepResult writeRates(Database& db, const QDate& desde, const QDate& hasta, int& rows) {
    const std::pair<QDate, double> dollar[] = {
        {QDate(2024, 1, 1), 830},   {QDate(2024, 4, 1), 880},    {QDate(2024, 7, 1), 935},
        {QDate(2024, 10, 1), 990},  {QDate(2024, 12, 31), 1050}, {QDate(2025, 4, 10), 1100},
        {QDate(2025, 6, 30), 1230}, {QDate(2025, 9, 30), 1400},  {QDate(2025, 12, 31), 1480},
        {QDate(2026, 6, 30), 1560}, {QDate(2026, 12, 31), 1650},
    };
    auto dollarOn = [&](const QDate& day) {
        for (size_t i = 1; i < std::size(dollar); ++i) {
            if (day <= dollar[i].first) {
                const double span = dollar[i - 1].first.daysTo(dollar[i].first);
                const double part = dollar[i - 1].first.daysTo(day) / span;
                return dollar[i - 1].second + part * (dollar[i].second - dollar[i - 1].second);
            }
        }
        return dollar[std::size(dollar) - 1].second;
    };
    Statement insert;
    if (StepResult failed = db.prepare(
            QStringLiteral("INSERT INTO TA_COTIZACION (FECHA_HORA, MONEDA1, MONEDA2, MONEDA3, "
                           "MONEDA4, MONEDA5) VALUES (?, 1, ?, ?, ?, ?)"),
            insert))
        return failed;
    double usd = dollarOn(desde);
    for (QDate day = desde; day <= hasta; day = day.addDays(1)) {
        if (day.dayOfWeek() <= 5) usd = dollarOn(day);
        const double rounded = std::round(usd * 100) / 100;
        if (StepResult failed = insert.run({ado::sqlite::storedDate(QDateTime(day, QTime(0, 0))),
                                            Value::currency(rounded),
                                            Value::currency(std::round(rounded * 110) / 100),
                                            Value::currency(std::round(rounded * 18) / 100),
                                            Value::currency(std::round(rounded * 128) / 100)}))
            return failed;
        ++rows;
    }
    return std::nullopt;
}

StepResult count(Database& db, const char* table, int& out) {
    std::int64_t n = 0;
    if (StepResult failed = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table), n))
        return failed;
    out = static_cast<int>(n);
    return std::nullopt;
}

}  // namespace

StepResult fillDemo(Database& db, DemoSummary& summary) {
    const std::vector<FiscalYear> years{
        {1, "Ejercicio 2024", QDate(2024, 1, 1), QDate(2024, 12, 31), true},
        {2, "Ejercicio 2025", QDate(2025, 1, 1), QDate(2025, 12, 31), true},
        {3, "Ejercicio 2026", QDate(2026, 1, 1), QDate(2026, 12, 31), false},
    };
    constexpr int kMonthsPostedInOpenYear = 3;

    Transaction transaction(db);
    if (StepResult failed = transaction.begin()) return failed;
    if (StepResult failed = writeNationalTables(db)) return failed;
    if (StepResult failed = writeDemoCatalogues(db)) return failed;
    if (StepResult failed =
            writeAccounts(db, demoChart(), QDateTime(years.front().desde, QTime(9, 0))))
        return failed;
    for (const FiscalYear& year : years) {
        if (StepResult failed = writeFiscalYear(db, year)) return failed;
        if (StepResult failed = writeRates(db, year.desde, year.hasta, summary.cotizaciones))
            return failed;
    }
    DemoCompany company(db);
    if (StepResult failed = company.post(years, kMonthsPostedInOpenYear)) return failed;
    if (StepResult failed = company.writeVoucherTypes()) return failed;
    if (StepResult failed = writeSummaryEntries(db, years, kMonthsPostedInOpenYear)) return failed;

    const FiscalYear& active = years.back();
    ActiveYear setup{active.periodo,
                     active.descripcion,
                     active.desde,
                     active.hasta,
                     company.ledger().lastGeneralNumber(),
                     QDateTime(years.front().desde.addDays(1), QTime(9, 0))};
    if (StepResult failed = writeCompanySetup(db, setup)) return failed;

    summary.ejercicios = static_cast<int>(years.size());
    summary.asientos = company.ledger().entriesWritten();
    summary.renglones = company.ledger().linesWritten();
    if (StepResult failed = count(db, "MA_CUENTAS", summary.cuentas)) return failed;
    if (StepResult failed = count(db, "MA_CALENDARIO", summary.diasCalendario)) return failed;
    return transaction.commit();
}

}  // namespace kl::klbase
