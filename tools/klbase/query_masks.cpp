#include "query_masks.h"

#include "lookup/armado_sentencia.h"
#include "lookup/mascaras_consultas.h"

#include <QFile>
#include <QFileInfo>

namespace kl::klbase {

namespace {

// What an administrator would save with the module's query designer for the
// reference tables of the demo.
const consultas::MascaraConsulta kMascaras[] = {
    {"Provincias", "TA_ESTADOS", "CODIGO|DESCRIPCION|CODIGO_ISO|", ""},
    {"Monedas", "TA_MONEDAS", "CODIGO|DESCRIPCION|SIMBOLO|", ""},
    {"Condiciones de I.V.A.", "TA_CONDIVA", "CODIGO|DESCRIPCION|ABREVIATURA|", ""},
    {"Ejercicios abiertos", "MV_EJERCICIOS", "PERIODO|DESCRIPCION|", "CERRADO = 0"},
    {"Cuentas imputables", "MA_CUENTAS", "CODIGO|DESCRIPCION|", "TITULO = 0 AND DADA_DE_BAJA = 0"},
};

RunError failure(const QString& text) {
    return {1, text, QStringLiteral("klbase")};
}

}  // namespace

StepResult writeSampleMasks(const QString& path, int& count) {
    if (QFileInfo::exists(path))
        return failure(QStringLiteral("el archivo ya existe: %1").arg(path));
    QByteArray bytes;
    for (const consultas::MascaraConsulta& mascara : kMascaras)
        bytes += consultas::registroMascara(mascara);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        return failure(QStringLiteral("no se pudo escribir %1: %2").arg(path, reason));
    }
    count = static_cast<int>(std::size(kMascaras));
    return std::nullopt;
}

QString lookupStatement(const QString& path, const QString& table) {
    consultas::PedidoConsulta pedido{.sql = table,
                                     .CampoBusqueda = {},
                                     .Where = {},
                                     .SentenciaOpcional = {},
                                     .usarMascaras = true,
                                     .topConsArt = {}};
    const consultas::FuentesConsulta fuentes{
        .mascara = [&path](const QString& t) { return consultas::buscaMascara(path, t); },
        .columnas = {},
    };
    const consultas::SentenciaArmada armada = consultas::armaSentencia(pedido, fuentes);
    return armada.faltaConfigurar ? QStringLiteral("Debe configurar la consulta para esta tabla")
                                  : armada.sql;
}

}  // namespace kl::klbase
