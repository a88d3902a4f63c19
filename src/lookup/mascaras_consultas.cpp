#include "lookup/mascaras_consultas.h"

#include "platform/textfile.h"
#include "session/brimcor2.h"

#include <QFile>
#include <QFileInfo>

namespace kl::consultas {

namespace {

struct Campo {
    int desde;
    int largo;
};
constexpr Campo kTitulo{0, 100};
constexpr Campo kTabla{100, 100};
constexpr Campo kColumnas{200, 500};
constexpr Campo kCondicion{700, 500};

QString leeCampo(const QByteArray& registro, Campo campo) {
    const QString texto = cp1252::decode(registro.mid(campo.desde, campo.largo));
    return Brimcor2::QuitaCaracteres(texto, QStringLiteral("%1%2").arg(QChar(0), QChar(255)))
        .trimmed();
}

void escribeCampo(QByteArray& registro, Campo campo, const QString& texto) {
    const QByteArray bytes = cp1252::encode(texto).left(campo.largo);
    registro.replace(campo.desde, bytes.size(), bytes);
}

}  // namespace

bool existeArchivoMascaras(const QString& path) {
    return !path.trimmed().isEmpty() && QFileInfo(path).isFile();
}

std::optional<MascaraConsulta> buscaMascara(QIODevice& archivo, const QString& tabla) {
    const QString buscada = tabla.trimmed();
    while (true) {
        const QByteArray registro = archivo.read(kLargoRegistro);
        if (registro.size() < kLargoRegistro) return std::nullopt;
        if (leeCampo(registro, kTabla).compare(buscada, Qt::CaseInsensitive) != 0) continue;
        return MascaraConsulta{leeCampo(registro, kTitulo), leeCampo(registro, kTabla),
                               leeCampo(registro, kColumnas), leeCampo(registro, kCondicion)};
    }
}

std::optional<MascaraConsulta> buscaMascara(const QString& path, const QString& tabla) {
    if (!existeArchivoMascaras(path)) return std::nullopt;
    QFile archivo(path);
    if (!archivo.open(QIODevice::ReadOnly)) return std::nullopt;
    return buscaMascara(archivo, tabla);
}

QByteArray registroMascara(const MascaraConsulta& mascara) {
    QByteArray registro(kLargoRegistro, ' ');
    registro[kLargoRegistro - 2] = '\0';
    registro[kLargoRegistro - 1] = '\0';
    escribeCampo(registro, kTitulo, mascara.titulo);
    escribeCampo(registro, kTabla, mascara.tabla);
    escribeCampo(registro, kColumnas, mascara.columnas);
    escribeCampo(registro, kCondicion, mascara.condicion);
    return registro;
}

}  // namespace kl::consultas
