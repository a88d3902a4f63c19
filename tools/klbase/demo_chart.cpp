#include "demo_chart.h"

#include <QStringList>

namespace kl::klbase {

namespace {

// One account per line: the code, a blank, the name.
const char* const kChart = R"(1 ACTIVO
11 ACTIVO CORRIENTE
1101 CAJA Y BANCOS
110101 CAJA
110101001 Caja en pesos
110101002 Caja en dólares
110101003 Fondo fijo administración
110101004 Fondo fijo ventas
110101005 Caja tesorería
110102 BANCOS
110102001 Banco de la Nación Argentina cta. cte.
110102002 Banco de Galicia cta. cte.
110102003 Banco Santander cta. cte.
110102004 Banco de la Provincia de Buenos Aires cta. cte.
110102005 Banco Macro caja de ahorro en dólares
110102006 Banco Credicoop cta. cte.
110103 VALORES A DEPOSITAR
110103001 Cheques de terceros en cartera
110103002 Cheques de pago diferido en cartera
110103003 Echeqs en cartera
110103004 Cupones de tarjetas a depositar
1102 INVERSIONES TRANSITORIAS
110201 DEPÓSITOS A PLAZO
110201001 Plazo fijo Banco de la Nación Argentina
110201002 Plazo fijo Banco de Galicia
110202 OTRAS INVERSIONES
110202001 Fondos comunes de inversión
110202002 Títulos públicos
110202003 Cauciones bursátiles
1103 CRÉDITOS POR VENTAS
110301 DEUDORES POR VENTAS
110301001 Deudores por ventas
110301002 Deudores morosos
110301003 Deudores en gestión judicial
110301004 Documentos a cobrar
110301005 Tarjetas de crédito a cobrar
110301006 Cheques rechazados
110302 PREVISIONES SOBRE CRÉDITOS
110302001 Previsión para deudores incobrables
110302002 Previsión para descuentos
1104 OTROS CRÉDITOS
110401 CRÉDITOS FISCALES
110401001 IVA crédito fiscal
110401002 IVA saldo técnico a favor
110401003 IVA retenciones sufridas
110401004 IVA percepciones sufridas
110401005 Impuesto a las ganancias anticipos
110401006 Impuesto a las ganancias retenciones sufridas
110401007 Ingresos brutos anticipos
110401008 Ingresos brutos retenciones sufridas
110401009 Ingresos brutos percepciones sufridas
110401010 Impuesto a los créditos y débitos a cuenta
110402 CRÉDITOS CON EL PERSONAL
110402001 Anticipos de sueldos
110402002 Préstamos al personal
110403 CRÉDITOS DIVERSOS
110403001 Gastos pagados por adelantado
110403002 Seguros a devengar
110403003 Alquileres pagados por adelantado
110403004 Depósitos en garantía
110403005 Anticipos a proveedores
110403006 Deudores varios
1105 BIENES DE CAMBIO
110501 MERCADERÍAS
110501001 Mercaderías de reventa
110501002 Mercaderías en tránsito
110501003 Mercaderías en consignación
110502 PREVISIONES SOBRE BIENES DE CAMBIO
110502001 Previsión por desvalorización de mercaderías
12 ACTIVO NO CORRIENTE
1201 BIENES DE USO
120101 INMUEBLES
120101001 Terrenos
120101002 Edificios
120101003 Amortización acumulada edificios
120102 RODADOS
120102001 Rodados
120102002 Amortización acumulada rodados
120103 MUEBLES Y ÚTILES
120103001 Muebles y útiles
120103002 Amortización acumulada muebles y útiles
120104 INSTALACIONES
120104001 Instalaciones
120104002 Amortización acumulada instalaciones
120105 EQUIPOS DE COMPUTACIÓN
120105001 Equipos de computación
120105002 Amortización acumulada equipos de computación
120106 MÁQUINAS Y EQUIPOS
120106001 Autoelevadores y equipos de depósito
120106002 Amortización acumulada máquinas y equipos
1202 ACTIVOS INTANGIBLES
120201 INTANGIBLES
120201001 Marcas y patentes
120201002 Software y licencias
120201003 Amortización acumulada intangibles
1203 INVERSIONES PERMANENTES
120301 PARTICIPACIONES EN SOCIEDADES
120301001 Acciones en sociedades vinculadas
1204 OTROS CRÉDITOS NO CORRIENTES
120401 CRÉDITOS FISCALES NO CORRIENTES
120401001 Impuesto diferido
120402 DEPÓSITOS NO CORRIENTES
120402001 Depósitos en garantía de alquileres
2 PASIVO
21 PASIVO CORRIENTE
2101 DEUDAS COMERCIALES
210101 PROVEEDORES
210101001 Proveedores
210101002 Proveedores del exterior
210101003 Documentos a pagar
210101004 Cheques de pago diferido emitidos
210102 ACREEDORES
210102001 Acreedores varios
210102002 Provisión de gastos
2102 DEUDAS BANCARIAS Y FINANCIERAS
210201 PRÉSTAMOS
210201001 Préstamo Banco de la Nación Argentina
210201002 Préstamo Banco de Galicia
210201003 Intereses a devengar por préstamos
210202 OTRAS DEUDAS FINANCIERAS
210202001 Tarjetas de crédito corporativas a pagar
210202002 Adelantos en cuenta corriente
2103 REMUNERACIONES Y CARGAS SOCIALES
210301 REMUNERACIONES
210301001 Sueldos a pagar
210301002 SAC a pagar
210301003 Vacaciones a pagar
210301004 Provisión de SAC y vacaciones
210302 CARGAS SOCIALES
210302001 Aportes y contribuciones SIPA a pagar
210302002 Obra social a pagar
210302003 ART a pagar
210302004 Seguro de vida obligatorio a pagar
210302005 Cuota sindical a pagar
2104 CARGAS FISCALES
210401 IVA
210401001 IVA débito fiscal
210401002 IVA a pagar
210401003 IVA percepciones a depositar
210401004 IVA retenciones a depositar
210402 IMPUESTO A LAS GANANCIAS
210402001 Impuesto a las ganancias a pagar
210402002 Ganancias retenciones a depositar
210403 INGRESOS BRUTOS
210403001 Ingresos brutos a pagar
210403002 Ingresos brutos percepciones a depositar
210403003 Ingresos brutos retenciones a depositar
210404 OTROS IMPUESTOS
210404001 Tasas municipales a pagar
210404002 Impuesto inmobiliario a pagar
210404003 Planes de facilidades de pago AFIP
2105 ANTICIPOS DE CLIENTES
210501 ANTICIPOS
210501001 Anticipos de clientes
2106 OTRAS DEUDAS
210601 DEUDAS CON DIRECTORES Y ACCIONISTAS
210601001 Honorarios de directores a pagar
210601002 Dividendos a pagar
210601003 Cuentas particulares de accionistas
22 PASIVO NO CORRIENTE
2201 DEUDAS BANCARIAS NO CORRIENTES
220101 PRÉSTAMOS A LARGO PLAZO
220101001 Préstamo hipotecario Banco de la Nación Argentina
2202 PREVISIONES
220201 PREVISIONES PARA CONTINGENCIAS
220201001 Previsión para juicios laborales
220201002 Previsión para contingencias fiscales
3 PATRIMONIO NETO
31 CAPITAL
3101 APORTES DE LOS PROPIETARIOS
310101 CAPITAL SOCIAL
310101001 Capital suscripto
310101002 Ajuste de capital
310102 APORTES
310102001 Aportes irrevocables
310102002 Primas de emisión
32 RESULTADOS ACUMULADOS
3201 GANANCIAS RESERVADAS
320101 RESERVAS
320101001 Reserva legal
320101002 Reserva facultativa
3202 RESULTADOS NO ASIGNADOS
320201 RESULTADOS
320201001 Resultados no asignados
320201002 Resultado del ejercicio
320201003 Ajustes de resultados de ejercicios anteriores
4 INGRESOS
41 INGRESOS POR VENTAS
4101 VENTAS
410101 VENTAS DE MERCADERÍAS
410101001 Ventas mercado interno
410101002 Ventas de exportación
410101003 Ventas a consumidores finales
410102 SERVICIOS
410102001 Servicios de logística prestados
410102002 Fletes cobrados
4102 DEDUCCIONES DE VENTAS
410201 BONIFICACIONES Y DEVOLUCIONES
410201001 Descuentos y bonificaciones otorgados
410201002 Devoluciones de ventas
42 OTROS INGRESOS
4201 RESULTADOS FINANCIEROS
420101 INGRESOS FINANCIEROS
420101001 Intereses ganados
420101002 Diferencias de cambio positivas
420101003 Resultados por tenencia de inversiones
420101004 Descuentos obtenidos
4202 OTROS INGRESOS
420201 INGRESOS DIVERSOS
420201001 Recupero de gastos
420201002 Resultado por venta de bienes de uso
420201003 Recupero de previsiones
5 EGRESOS
51 COSTO DE VENTAS
5101 COSTO DE MERCADERÍAS VENDIDAS
510101 COSTO DE VENTAS
510101001 Costo de mercaderías vendidas
510101002 Fletes sobre compras
510101003 Diferencias de inventario
52 GASTOS DE COMERCIALIZACIÓN
5201 GASTOS DE COMERCIALIZACIÓN
520101 PERSONAL DE VENTAS
520101001 Sueldos y jornales de ventas
520101002 Cargas sociales de ventas
520101003 Comisiones de vendedores
520102 GASTOS DE VENTAS
520102001 Publicidad y propaganda
520102002 Fletes y acarreos
520102003 Impuesto sobre los ingresos brutos
520102004 Deudores incobrables
520102005 Gastos de rodados
520102006 Combustibles y lubricantes
520102007 Comisiones por cobranzas con tarjeta
53 GASTOS DE ADMINISTRACIÓN
5301 GASTOS DE ADMINISTRACIÓN
530101 PERSONAL DE ADMINISTRACIÓN
530101001 Sueldos y jornales de administración
530101002 Cargas sociales de administración
530101003 Honorarios de directores
530101004 Capacitación del personal
530102 GASTOS GENERALES
530102001 Honorarios profesionales
530102002 Alquileres
530102003 Energía eléctrica
530102004 Gas
530102005 Agua
530102006 Telefonía e internet
530102007 Papelería y útiles de oficina
530102008 Seguros
530102009 Mantenimiento y reparaciones
530102010 Vigilancia y limpieza
530102011 Correo y mensajería
530102012 Suscripciones y cuotas
530102013 Gastos varios de administración
530103 AMORTIZACIONES
530103001 Amortización de bienes de uso
530103002 Amortización de intangibles
530104 IMPUESTOS Y TASAS
530104001 Impuesto a los créditos y débitos bancarios
530104002 Tasas municipales
530104003 Impuesto inmobiliario
530104004 Impuesto de sellos
54 GASTOS FINANCIEROS
5401 RESULTADOS FINANCIEROS NEGATIVOS
540101 GASTOS FINANCIEROS
540101001 Intereses pagados
540101002 Diferencias de cambio negativas
540101003 Gastos y comisiones bancarias
540101004 Intereses resarcitorios AFIP
55 IMPUESTO A LAS GANANCIAS
5501 IMPUESTO A LAS GANANCIAS
550101 IMPUESTO DEL EJERCICIO
550101001 Impuesto a las ganancias del ejercicio)";

bool startsWithAny(const QString& code, const QStringList& prefixes) {
    for (const QString& prefix : prefixes) {
        if (code.startsWith(prefix)) return true;
    }
    return false;
}

std::vector<Account> buildChart() {
    // Pay and the directors' fees are what the restricted views hide.
    const QStringList confidential{"520101001", "530101001", "530101003", "210601001", "210601003"};
    const QStringList dollars{"110101002", "110102005", "210101002"};
    std::vector<Account> chart;
    for (const QString& line : QString::fromUtf8(kChart).split(u'\n')) {
        const qsizetype blank = line.indexOf(u' ');
        Account account;
        account.codigo = line.left(blank);
        account.descripcion = line.mid(blank + 1);
        account.titulo = account.codigo.size() < fullCodeLength();
        account.bienes = account.codigo.startsWith(u"1201");
        // Non-monetary items: goods, fixed assets, permanent investments, equity.
        account.ajuste = startsWithAny(account.codigo, {"1105", "1201", "1202", "1203", "3"});
        account.ccosto = !account.titulo && startsWithAny(account.codigo, {"52", "53"});
        account.confidencial = confidential.contains(account.codigo);
        account.moneda = dollars.contains(account.codigo) ? 2 : 1;
        chart.push_back(account);
    }
    return chart;
}

}  // namespace

const std::vector<Account>& demoChart() {
    static const std::vector<Account> chart = buildChart();
    return chart;
}

}  // namespace kl::klbase
