#include "national_tables.h"

namespace kl::klbase {

namespace {

// Codes as the module expects them: 1 is the company's own usual condition
// (Responsable Inscripto); customers above 2 get "B" vouchers from it.
StepResult writeVatConditions(Database& db) {
    return db.insertRows("TA_CONDIVA", {"CODIGO", "DESCRIPCION", "ABREVIATURA"},
                         {
                             {"1", "IVA Responsable Inscripto", "RI"},
                             {"2", "IVA Responsable no Inscripto", "RNI"},
                             {"3", "IVA Sujeto Exento", "EX"},
                             {"4", "Consumidor Final", "CF"},
                             {"5", "Responsable Monotributo", "MT"},
                             {"6", "IVA no Responsable", "NR"},
                         });
}

// Jurisdiction codes of the Convenio Multilateral (Ingresos Brutos).
StepResult writeProvinces(Database& db) {
    return db.insertRows(
        "TA_ESTADOS", {"CODIGO", "DESCRIPCION", "CODIGO_ISO"},
        {
            {"901", "Ciudad Autónoma de Buenos Aires", "AR-C"},
            {"902", "Buenos Aires", "AR-B"},
            {"903", "Catamarca", "AR-K"},
            {"904", "Córdoba", "AR-X"},
            {"905", "Corrientes", "AR-W"},
            {"906", "Chaco", "AR-H"},
            {"907", "Chubut", "AR-U"},
            {"908", "Entre Ríos", "AR-E"},
            {"909", "Formosa", "AR-P"},
            {"910", "Jujuy", "AR-Y"},
            {"911", "La Pampa", "AR-L"},
            {"912", "La Rioja", "AR-F"},
            {"913", "Mendoza", "AR-M"},
            {"914", "Misiones", "AR-N"},
            {"915", "Neuquén", "AR-Q"},
            {"916", "Río Negro", "AR-R"},
            {"917", "Salta", "AR-A"},
            {"918", "San Juan", "AR-J"},
            {"919", "San Luis", "AR-D"},
            {"920", "Santa Cruz", "AR-Z"},
            {"921", "Santa Fe", "AR-S"},
            {"922", "Santiago del Estero", "AR-G"},
            {"923", "Tierra del Fuego, Antártida e Islas del Atlántico Sur", "AR-V"},
            {"924", "Tucumán", "AR-T"},
        });
}

// Code n is the rate column MONEDAn of TA_COTIZACION; AFIP's currency codes.
StepResult writeCurrencies(Database& db) {
    return db.insertRows("TA_MONEDAS", {"CODIGO", "DESCRIPCION", "SIMBOLO", "CODIGO_AFIP"},
                         {
                             {1, "Peso argentino", "$", "PES"},
                             {2, "Dólar estadounidense", "U$S", "DOL"},
                             {3, "Euro", "€", "060"},
                             {4, "Real", "R$", "012"},
                             {5, "Libra esterlina", "£", "021"},
                         });
}

}  // namespace

StepResult writeNationalTables(Database& db) {
    if (StepResult failed = writeVatConditions(db)) return failed;
    if (StepResult failed = writeProvinces(db)) return failed;
    return writeCurrencies(db);
}

}  // namespace kl::klbase
