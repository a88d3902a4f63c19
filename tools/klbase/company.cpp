#include "company.h"

#include "platform/conversions.h"

#include <vector>

namespace kl::klbase {

namespace {

using Row = std::vector<Value>;

StepResult writeUsers(Database& db) {
    return db.insertRows(
        "TA_USUARIOS",
        {"NOMBRE", "NOMBRE_COMPLETO", "CLAVE", "ADMINISTRADOR", "UNEGOCIO", "BAJA", "EMAIL"},
        {
            {kAdministrador, "Administrador del sistema", "", true, "   1", false,
             "administracion@delplata.com.ar"},
            {kOperador, "Operador contable", "", false, "   1", false,
             "contaduria@delplata.com.ar"},
        });
}

// One row per menu task; PROCESO names the program that carries it out, so
// the access check of each program finds its task by its executable name.
StepResult writeMenu(Database& db) {
    return db.insertRows("TA_MENU", {"CLAVE", "NOMBRE", "PROCESO", "PADRE", "ORDEN"},
                         {
                             {"01", "Contabilidad", "", "", 1},
                             {"0101", "Configuración del Sistema", "SHELL:KLCONFIG", "01", 1},
                             {"0102", "Plan de Cuentas", "SHELL:KLCUENTAS", "01", 2},
                             {"0103", "Registraciones Directas", "SHELL:KLREGISTRA", "01", 3},
                             {"0104", "Libro Diario", "SHELL:KLDIARIO", "01", 4},
                             {"0105", "Libro Mayor", "SHELL:KLMAYOR", "01", 5},
                             {"0106", "Balance de Sumas y Saldos", "SHELL:KLBALANCE", "01", 6},
                             {"0107", "Subdiarios", "SHELL:KLSUBDIARIOS", "01", 7},
                             {"0108", "Cotizaciones de Monedas", "SHELL:KLCOTIZA", "01", 8},
                             {"0109", "Bienes de Uso", "SHELL:KLBIENES", "01", 9},
                             {"09", "Sistema", "", "", 9},
                             {"0901", "Menu Principal", "KL000PR", "09", 1},
                             {"0902", "Usuarios y Permisos", "SHELL:KLUSUARIOS", "09", 2},
                         });
}

StepResult writeTasks(Database& db) {
    const QStringList adminTasks{"0101", "0102", "0103", "0104", "0105", "0106",
                                 "0107", "0108", "0109", "0901", "0902"};
    const QStringList operatorTasks{"0103", "0104", "0105", "0106", "0107", "0108", "0901"};
    std::vector<Row> rows;
    for (const QString& task : adminTasks) rows.push_back({kAdministrador, task});
    for (const QString& task : operatorTasks) rows.push_back({kOperador, task});
    return db.insertRows("TA_TAREAS", {"USUARIO", "TAREA"}, rows);
}

struct Key {
    const char* grupo;  // nullptr: no group, as the window's save leaves IMAGEN DE FONDO
    const char* clave;
    QString valor;
    const char* descripcion;
};

// Keys are spelt as the module's programs write them: the configuration
// window upper-cases text-box keys and keeps check-box keys as tagged.
std::vector<Key> configurationKeys(const ActiveYear& year) {
    const QString desde = conv::formatDate(year.desde);
    const QString hasta = conv::formatDate(year.hasta);
    auto digits = [](int level) { return QString::number(kDigitosNivel[level]); };
    return {
        {"DATOS", "NOMBRE", "Distribuidora del Plata S.A.", "Razón social de la empresa"},
        {"DATOS", "CALLE", "Av. Corrientes", "Domicilio: calle"},
        {"DATOS", "NUMERO", "1847", "Domicilio: número"},
        {"DATOS", "PISO", "5", "Domicilio: piso"},
        {"DATOS", "DEPARTAMENTO", "B", "Domicilio: departamento"},
        {"DATOS", "LOCALIDAD", "Ciudad Autónoma de Buenos Aires", "Domicilio: localidad"},
        {"DATOS", "CPOSTAL", "C1045AAA", "Domicilio: código postal"},
        {"DATOS", "TELEFONO", "(011) 4371-2250", "Teléfono de la empresa"},
        {"DATOS", "PROVINCIA", "Ciudad Autónoma de Buenos Aires", "Domicilio: provincia"},
        {"DATOS", "PAIS", "Argentina", "Domicilio: país"},
        {"DATOS", "CUIT", "30-71234567-1", "Clave Única de Identificación Tributaria"},
        {"DATOS", "CONDIVA", "1", "Condición de la empresa frente al IVA (TA_CONDIVA)"},
        {"DATOS", "NROIGJ", "1.845.327", "Número de registro en la Inspección General de Justicia"},
        {"DATOS", "NOMBRE_INDICE1", "IPC NACIONAL (INDEC)", "Nombre del índice de ajuste I"},
        {"DATOS", "NOMBRE_INDICE2", "IPIM (INDEC)", "Nombre del índice de ajuste II"},
        {"DATOS", "NOMBRE_INDICE3", "CER (BCRA)", "Nombre del índice de ajuste III"},
        {"DATOS", "NOMBRE_INDICE4", "UVA (BCRA)", "Nombre del índice de ajuste IV"},
        {"DATOS", "FECHAOPERDESDE", desde, "Primera fecha operativa posible"},
        {"DATOS", "FECHAOPERHASTA", hasta, "Última fecha operativa posible"},
        {"DATOS", "USACCOSTO", "SI", "Usa centros de costo"},
        {"DATOS", "USADATOSADIC", "SI", "Usa datos adicionales de las cuentas"},
        {"DATOS", "USA CONTRASEÑA", "NO", "Pide contraseña al ingresar al sistema"},
        {"DATOS", "USA BIENES DE USO", "SI", "Usa el módulo de bienes de uso"},
        {"DATOS", "MODIFICA_ASIENTO", "SI", "Revisión de asientos"},
        {"DATOS", "UsaMultilesMonedas", "SI", "Usa múltiples monedas (TA_COTIZACION)"},
        {"DATOS", "ESCRIBE_SOLO_MAYUSCULAS", "NO", "Escribe sólo en mayúsculas"},
        {"DATOS", "UTILITARIOCD-W", "", "Utilitario de grabación de CD"},
        {"DATOS", "PIVA", "21.00", "Porcentaje de IVA vigente"},
        {"DATOS", "PIVAREC", "10.50", "Porcentaje de IVA acrecentamiento"},
        {"DATOS", "PIVADIF", "10.50", "Porcentaje de IVA tasa diferencial"},
        {"DATOS", "PRES3337", "3.00", "Porcentaje de percepción Resolución General 3337"},
        {"DATOS", "MRES3337", "5000.00", "Monto tope Resolución General 3337"},
        {"DATOS", "PPIBC", "3.00", "Percepción de Ingresos Brutos Capital"},
        {"DATOS", "PPIBCM", "1.50", "Percepción de Ingresos Brutos Capital, Convenio Multilateral"},
        {"DATOS", "MTPIBC", "300.00", "Monto tope de percepción de Ingresos Brutos Capital"},
        {"DATOS", "PPIBP", "2.50", "Percepción de Ingresos Brutos Provincia"},
        {"DATOS", "PPIBPCM", "1.25",
         "Percepción de Ingresos Brutos Provincia, Convenio Multilateral"},
        {"DATOS", "MTPIBP", "300.00", "Monto tope de percepción de Ingresos Brutos Provincia"},
        {"DATOS", "CPBAIB", "902", "Provincia de percepción de Ingresos Brutos (TA_ESTADOS)"},
        {"DATOS", "NIVEL_1", "CAPITULO", "Nombre del nivel 1 del plan de cuentas"},
        {"DATOS", "NIVEL_2", "SUBCAPITULO", "Nombre del nivel 2 del plan de cuentas"},
        {"DATOS", "NIVEL_3", "RUBRO", "Nombre del nivel 3 del plan de cuentas"},
        {"DATOS", "NIVEL_4", "SUBRUBRO", "Nombre del nivel 4 del plan de cuentas"},
        {"DATOS", "NIVEL_5", "CUENTA", "Nombre del nivel 5 del plan de cuentas"},
        {"DATOS", "NIVEL_6", "SUBCUENTA", "Nombre del nivel 6 del plan de cuentas"},
        {"DATOS", "DIGITOS_CAPITULO", digits(0), "Dígitos del nivel 1"},
        {"DATOS", "DIGITOS_SUBCAPITULO", digits(1), "Dígitos del nivel 2"},
        {"DATOS", "DIGITOS_RUBRO", digits(2), "Dígitos del nivel 3"},
        {"DATOS", "DIGITOS_SUBRUBRO", digits(3), "Dígitos del nivel 4"},
        {"DATOS", "DIGITOS_CUENTA", digits(4), "Dígitos del nivel 5"},
        {"DATOS", "DIGITOS_SUBCUENTA", digits(5), "Dígitos del nivel 6"},
        {"DATOS", "USADIGITOVERIFICADOR", "NO", "Usa dígito verificador en las cuentas"},
        {"DATOS", "CuentasAlfanumericas", "NO", "Permite cuentas alfanuméricas"},
        {"DATOS", "Rubro_Imputable", "NO", "Permite imputar en el tercer nivel"},
        {"DATOS", "FECHAULTIMADEPURACION", conv::formatDate(year.desde.addDays(-1)),
         "Fecha de la última depuración"},
        {"DATOS", "PERIODO", QString::number(year.periodo), "Número del ejercicio vigente"},
        {"DATOS", "DESCRIPCION", year.descripcion, "Nombre del ejercicio vigente"},
        {"DATOS", "[FECHA DESDE]", desde, "Fecha de inicio del ejercicio vigente"},
        {"DATOS", "[FECHA HASTA]", hasta, "Fecha de finalización del ejercicio vigente"},
        {"DATOS", "EJERCICIO_CERRADO", "NO", "El ejercicio vigente está cerrado"},
        {"DATOS", "ULTIMOASIENTO", QString::number(year.ultimoAsiento),
         "Último número de asiento al diario general"},
        {nullptr, "IMAGEN DE FONDO", "", "Imagen de fondo del menú principal"},
        {"SEGURIDAD", "SS_BloqueoActivo", "NO", "Bloqueo activo de registros"},
        {"SEGURIDAD", "SS_CONFIDENCIALIDAD", "SI", "Confidencialidad de cuentas y asientos"},
        {"CONSULTAS", "TopConsArt", "1000", "Filas como máximo en las consultas"},
        {"CONSULTAS", "MostrarStockenConsultas", "SI", "Colores de stock en las consultas"},
        {"CONSULTAS", "UsaConsultaLike", "SI", "Búsqueda de palabras en cualquier posición"},
        {"CONSULTAS", "NOM_PCLASE1", "Lista Mayorista", "Nombre de la lista de precios 1"},
        {"CONSULTAS", "NOM_PCLASE2", "Lista Minorista", "Nombre de la lista de precios 2"},
        {"CONSULTAS", "NOM_PCLASE3", "Lista Distribuidores", "Nombre de la lista de precios 3"},
        {"CONSULTAS", "NOM_PCLASE4", "Lista Supermercados", "Nombre de la lista de precios 4"},
        {"CONSULTAS", "NOM_PCLASE5", "Lista Gastronomía", "Nombre de la lista de precios 5"},
        {"CONSULTAS", "NOM_PCLASE6", "Lista Interior", "Nombre de la lista de precios 6"},
        {"CONSULTAS", "NOM_PCLASE7", "Lista Especial", "Nombre de la lista de precios 7"},
        {"CONSULTAS", "NOM_PCLASE8", "Lista de Costo", "Nombre de la lista de precios 8"},
        // Colours of the stock levels, as the windows' colour numbers (BGR).
        {"CONSULTAS", "Stk_Nivel1", "32768", "Color: stock sin punto de pedido"},
        {"CONSULTAS", "Stk_Nivel2", "16711680", "Color: stock sobre el punto de pedido"},
        {"CONSULTAS", "Stk_Nivel3", "255", "Color: stock bajo el punto de pedido"},
        {"CONSULTAS", "Stk_Nivel4", "0", "Color: stock en el punto de pedido o sin stock"},
    };
}

StepResult writeConfiguration(Database& db, const ActiveYear& year) {
    std::vector<Row> rows;
    for (const Key& key : configurationKeys(year)) {
        rows.push_back({key.grupo ? Value(key.grupo) : Value::null(), key.clave, key.valor,
                        key.descripcion, false, Value(year.configurado)});
    }
    return db.insertRows(
        "TA_CONFIGURACION",
        {"GRUPO", "CLAVE", "VALOR", "DESCRIPCION", "PoliticaNegocio", "fechahora_grabacion"}, rows);
}

}  // namespace

StepResult writeCompanySetup(Database& db, const ActiveYear& year) {
    if (StepResult failed = writeUsers(db)) return failed;
    if (StepResult failed = writeMenu(db)) return failed;
    if (StepResult failed = writeTasks(db)) return failed;
    return writeConfiguration(db, year);
}

}  // namespace kl::klbase
