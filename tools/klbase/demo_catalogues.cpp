#include "demo_catalogues.h"

#include "platform/sqlite_engine/stored_forms.h"

#include <QDateTime>

namespace kl::klbase {

namespace {

QString stored(int year, int month, int day, int hour = 0, int minute = 0) {
    return ado::sqlite::storedDate(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

StepResult writeCostCentres(Database& db) {
    return db.insertRows("TA_CCOSTO", {"CODIGO", "DESCRIPCION"},
                         {
                             {"01", "Administración y finanzas"},
                             {"0101", "Gerencia general"},
                             {"0102", "Contaduría y finanzas"},
                             {"0103", "Sistemas"},
                             {"02", "Comercialización"},
                             {"0201", "Ventas mayoristas"},
                             {"0202", "Ventas minoristas"},
                             {"0203", "Marketing"},
                             {"03", "Logística"},
                             {"0301", "Depósito central"},
                             {"0302", "Distribución"},
                         });
}

// Tariff positions (Mercosur common nomenclature) of the goods traded.
StepResult writePositions(Database& db) {
    return db.insertRows("MA_POSICIONES", {"IDPOSICION", "DESCRIPCION"},
                         {
                             {"15", "Grasas y aceites animales o vegetales"},
                             {"1512", "Aceites de girasol, cártamo o algodón"},
                             {"151219", "Los demás aceites de girasol o cártamo"},
                             {"19", "Preparaciones a base de cereales, harina o almidón"},
                             {"1902", "Pastas alimenticias"},
                             {"190219", "Las demás pastas alimenticias sin cocer"},
                             {"22", "Bebidas, líquidos alcohólicos y vinagre"},
                             {"2202", "Agua y bebidas no alcohólicas"},
                             {"220210", "Agua con adición de azúcar o aromatizada"},
                             {"2204", "Vino de uvas frescas"},
                             {"220421", "Vino en recipientes de hasta 2 litros"},
                             {"34", "Jabones y preparaciones para lavar"},
                             {"3402", "Agentes de superficie orgánicos y detergentes"},
                             {"340250", "Preparaciones para lavar acondicionadas para la venta"},
                         });
}

StepResult writeFamilies(Database& db) {
    return db.insertRows("TA_FAMILIAS", {"IDFAMILIA", "DESCRIPCION", "CONFIDENCIAL"},
                         {
                             {"01", "Almacén", false},
                             {"0101", "Aceites y aderezos", false},
                             {"0102", "Conservas", false},
                             {"0103", "Harinas y pastas", false},
                             {"02", "Bebidas", false},
                             {"0201", "Gaseosas", false},
                             {"0202", "Aguas", false},
                             {"0203", "Vinos", false},
                             {"03", "Limpieza", false},
                             {"0301", "Detergentes y lavandinas", false},
                             {"0302", "Papeles", false},
                             {"99", "Importados de distribución exclusiva", true},
                         });
}

StepResult writeStores(Database& db) {
    if (StepResult failed =
            db.insertRows("TA_DEPOSITO", {"IDDEPOSITO", "DESCRIPCION", "UNIDAD", "CONFIDENCIAL"},
                          {
                              {"1", "Depósito central Avellaneda", "   1", false},
                              {"2", "Depósito Rosario", "   1", false},
                              {"9", "Mercadería de terceros en consignación", "   1", true},
                          }))
        return failed;
    return db.insertRows("TA_CAJAS", {"IDCAJAS", "DESCRIPCION", "CUENTA", "CONFIDENCIAL"},
                         {
                             {"1", "Caja administración", "110101001", false},
                             {"2", "Caja ventas mostrador", "110101004", false},
                             {"3", "Caja tesorería", "110101005", true},
                         });
}

StepResult writeArticles(Database& db) {
    struct Article {
        const char* id;
        const char* descripcion;
        const char* familia;
        const char* unidad;
        double puntoPedido, stock, costo;
    };
    const Article articles[] = {
        {"ACE001", "Aceite de girasol 1,5 l", "0101", "UN", 600, 2400, 2150.00},
        {"ACE002", "Aceite de girasol 900 ml", "0101", "UN", 400, 350, 1390.00},
        {"ACE010", "Mayonesa doypack 500 g", "0101", "UN", 300, 1100, 1480.00},
        {"CON001", "Tomate perita en lata 400 g", "0102", "UN", 500, 3100, 780.00},
        {"CON002", "Arvejas en lata 350 g", "0102", "UN", 300, 300, 690.00},
        {"CON003", "Atún al natural 170 g", "0102", "UN", 250, 90, 1850.00},
        {"HAR001", "Harina de trigo 000 1 kg", "0103", "UN", 800, 5200, 640.00},
        {"PAS001", "Fideos spaghetti 500 g", "0103", "UN", 700, 2900, 890.00},
        {"PAS002", "Fideos tirabuzón 500 g", "0103", "UN", 700, 650, 890.00},
        {"GAS001", "Gaseosa cola 2,25 l", "0201", "UN", 900, 4300, 1720.00},
        {"GAS002", "Gaseosa lima limón 2,25 l", "0201", "UN", 600, 1900, 1650.00},
        {"AGU001", "Agua mineral sin gas 2 l", "0202", "UN", 800, 800, 820.00},
        {"AGU002", "Agua saborizada pomelo 1,5 l", "0202", "UN", 400, 1250, 990.00},
        {"VIN001", "Vino tinto Malbec 750 ml", "0203", "UN", 0, 720, 3900.00},
        {"VIN002", "Vino blanco Torrontés 750 ml", "0203", "UN", 0, 0, 3600.00},
        {"LIM001", "Detergente concentrado 750 ml", "0301", "UN", 500, 2100, 1280.00},
        {"LIM002", "Lavandina 2 l", "0301", "UN", 500, 480, 860.00},
        {"PAP001", "Papel higiénico 4 rollos x 30 m", "0302", "PAQ", 400, 1600, 1540.00},
        {"PAP002", "Rollo de cocina 3 unidades", "0302", "PAQ", 300, 1020, 1690.00},
        {"IMP001", "Aceite de oliva extra virgen importado 500 ml", "99", "UN", 50, 140, 9800.00},
    };
    // Price lists as margins over cost, in the order of NOM_PCLASE1..8.
    const double margins[8] = {1.25, 1.55, 1.18, 1.22, 1.35, 1.30, 1.10, 1.00};
    std::vector<std::vector<Value>> rows;
    for (const Article& a : articles) {
        std::vector<Value> row;
        for (const char* text : {a.id, a.descripcion, a.familia, a.unidad}) row.emplace_back(text);
        row.emplace_back(a.puntoPedido);
        row.emplace_back(a.stock);
        for (double margin : margins) row.push_back(Value::currency(a.costo * margin));
        row.push_back(QLatin1String(a.familia).startsWith(QLatin1String("01")) ? 10.5 : 21.0);
        row.push_back(a.stock == 0);
        rows.push_back(row);
    }
    return db.insertRows("MA_ARTICULOS",
                         {"IDARTICULO", "DESCRIPCION", "IDFAMILIA", "UNIDAD", "PUNTOPEDIDO",
                          "STOCK", "PRECIO1", "PRECIO2", "PRECIO3", "PRECIO4", "PRECIO5", "PRECIO6",
                          "PRECIO7", "PRECIO8", "ALICUOTA_IVA", "SUSPENDIDO"},
                         rows);
}

StepResult writeAccountData(Database& db) {
    return db.insertRows(
        "MA_CUENTASADIC", {"CODIGO", "CUIT", "CBU", "OBSERVACIONES"},
        {
            {"110102001", "30-50001091-2", "0110599520000031234567", "Sucursal 0599 Congreso"},
            {"110102002", "30-50000173-5", "0070999030004012345678", "Sucursal 999 Casa Central"},
            {"110102003", "30-50000845-4", "0720000788000035123456", "Sucursal 000 Microcentro"},
            {"110102005", "30-50001008-4", "2850590940090418135201", "Caja de ahorro en dólares"},
            {"210201001", "30-50001091-2", Value::null(), "Préstamo a 36 meses, tasa variable"},
        });
}

// Values as they entered the opening balance of the first year.
StepResult writeFixedAssets(Database& db) {
    if (StepResult failed = db.insertRows(
            "MA_BIENES",
            {"CODIGO", "DESCRIPCION", "CUENTA", "FECHA_ALTA", "VALOR_ORIGEN", "VIDA_UTIL"},
            {
                {1, "Terreno depósito Avellaneda", "120101001", stored(2019, 3, 1),
                 Value::currency(50000000), 0},
                {2, "Edificio depósito y oficinas Avellaneda", "120101002", stored(2019, 3, 1),
                 Value::currency(150000000), 50},
                {3, "Toyota Hilux 2.8 DC 4x2 AB123CD", "120102001", stored(2022, 8, 16),
                 Value::currency(25000000), 5},
                {4, "Mercedes-Benz Sprinter 415 AC456EF", "120102001", stored(2023, 2, 10),
                 Value::currency(15000000), 5},
                {5, "Estanterías metálicas del depósito", "120103001", stored(2019, 5, 20),
                 Value::currency(8000000), 10},
                {6, "Servidor y equipos de red", "120105001", stored(2023, 6, 1),
                 Value::currency(4000000), 3},
                {7, "Notebooks de administración (10 unidades)", "120105001", stored(2023, 6, 1),
                 Value::currency(2000000), 3},
                {8, "Autoelevador eléctrico 2,5 t", "120106001", stored(2021, 11, 3),
                 Value::currency(12000000), 10},
            }))
        return failed;
    return db.insertRows(
        "MA_BIENES_NOVEDADES", {"CODIGO", "ID", "FECHA", "DETALLE", "IMPORTE"},
        {
            {3, 1, stored(2024, 4, 12), "Service de los 60.000 km", Value::currency(385000)},
            {3, 2, stored(2025, 3, 28), "Cambio de neumáticos", Value::currency(1240000)},
            {4, 1, stored(2024, 9, 5), "Service de los 40.000 km", Value::currency(410000)},
            {8, 1, stored(2025, 7, 14), "Reemplazo de baterías", Value::currency(2650000)},
        });
}

StepResult writeSubsidiaryJournals(Database& db) {
    return db.insertRows("MA_SUBDIARIOSCOMPROBANTES", {"SUBDIARIO", "TC"},
                         {
                             {kSubdiarioVentas, "FC"},
                             {kSubdiarioVentas, "NC"},
                             {kSubdiarioVentas, "ND"},
                             {kSubdiarioCompras, "FCC"},
                             {kSubdiarioCompras, "NCC"},
                             {kSubdiarioCompras, "NDC"},
                             {kSubdiarioTesoreria, "REC"},
                             {kSubdiarioTesoreria, "OP"},
                         });
}

// A few earlier runs of the module's programs, finished.
StepResult writeAccessLog(Database& db) {
    return db.insertRows(
        "CONTROL_ACCESO",
        {"MAQUINA", "USUARIO", "FORMULARIO", "TAREA", "INGRESO", "NOMBREUSUARIO", "EGRESO"},
        {
            {"PC-ADMIN01", "MGOMEZ", "", "CONFIGURACIÓN DEL SISTEMA", stored(2026, 1, 2, 8, 47),
             "ADMIN", stored(2026, 1, 2, 9, 5)},
            {"PC-CONTA02", "LPEREZ", "", "REGISTRACIONES DIRECTAS", stored(2026, 2, 3, 9, 12),
             "OPERADOR", stored(2026, 2, 3, 12, 40)},
            {"PC-CONTA02", "LPEREZ", "", "LIBRO DIARIO", stored(2026, 3, 2, 10, 3), "OPERADOR",
             stored(2026, 3, 2, 10, 31)},
            {"PC-ADMIN01", "MGOMEZ", "", "BALANCE DE SUMAS Y SALDOS", stored(2026, 3, 31, 17, 20),
             "ADMIN", stored(2026, 3, 31, 17, 58)},
        });
}

}  // namespace

StepResult writeDemoCatalogues(Database& db) {
    for (auto write :
         {writeCostCentres, writePositions, writeFamilies, writeStores, writeArticles,
          writeAccountData, writeFixedAssets, writeSubsidiaryJournals, writeAccessLog}) {
        if (StepResult failed = write(db)) return failed;
    }
    return std::nullopt;
}

}  // namespace kl::klbase
