#include "config/copia_seguridad.h"

#include "dblayer/db_dll.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/online_backup.h"
#include "platform/dialogs.h"
#include "platform/ini.h"
#include "platform/settings_files.h"
#include "progress/dll_display.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>
#include <vector>

namespace kl::config {

namespace {

const QString kTitulo = QStringLiteral("Copia de seguridad");

QString extensionDe(const QFileInfo& base) {
    return base.suffix().isEmpty() ? QStringLiteral("kldb") : base.suffix();
}

}  // namespace

int copiasAConservar(const QString& archivoIni) {
    if (archivoIni.isEmpty()) return kCopiasPorOmision;
    bool ok = false;
    const int n =
        LeeIni(archivoIni, QStringLiteral("Respaldos"), QStringLiteral("CopiasDeSeguridad"))
            .trimmed()
            .toInt(&ok);
    return ok && n >= 0 ? n : kCopiasPorOmision;
}

int copiasAConservar() {
    return copiasAConservar(findSettingsFile(QStringLiteral("KL000p.INI"), settingsFolders()));
}

QString nombreCopia(const QString& base, const QDateTime& momento, const QString& operacion) {
    const QFileInfo info(base);
    return QStringLiteral("%1-%2-%3.%4")
        .arg(info.completeBaseName(), momento.toString(QStringLiteral("yyyy-MM-dd-HHmm")),
             operacion, extensionDe(info));
}

QStringList copiasSobrantes(const QString& carpeta, const QString& base, int conservar) {
    const QFileInfo info(base);
    const QRegularExpression forma(
        QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2}-\\d{4})(?:-(\\d+))?-[^.]+\\.%2$")
            .arg(QRegularExpression::escape(info.completeBaseName()),
                 QRegularExpression::escape(extensionDe(info))));
    // Oldest first: by the moment in the name, then by the number a second
    // copy within the same minute carries (the first has none).
    struct Encontrada {
        QString momento;
        int numero;
        QString archivo;
    };
    std::vector<Encontrada> copias;
    const QDir dir(carpeta);
    for (const QString& nombre : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = forma.match(nombre);
        if (!m.hasMatch()) continue;
        copias.push_back({m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(),
                          dir.filePath(nombre)});
    }
    std::sort(copias.begin(), copias.end(), [](const Encontrada& a, const Encontrada& b) {
        return std::tie(a.momento, a.numero) < std::tie(b.momento, b.numero);
    });
    QStringList sobrantes;
    const auto quedan = static_cast<size_t>(std::max(0, conservar));
    for (size_t i = 0; i + quedan < copias.size(); ++i) sobrantes << copias[i].archivo;
    return sobrantes;
}

std::optional<QString> archivoConectado() {
    const db::DB_Dll& db = db::sharedDb();
    if (!db.gCnn || db.gCnn->engine() != ado::Engine::Sqlite) return std::nullopt;
    const std::optional<ado::ConnectionSettings> settings =
        ado::parseConnectionString(db.gCnn->ConnectionString());
    if (!settings) return std::nullopt;
    // SQLite's ODBC driver names the file as "Database".
    const QString archivo = settings->embeddedFile.isEmpty()
                                ? settings->value(QStringLiteral("Database"))
                                : settings->embeddedFile;
    if (archivo.trimmed().isEmpty()) return std::nullopt;
    return QFileInfo(archivo.trimmed()).absoluteFilePath();
}

QString destinoCopia(const QString& base, const QString& carpeta, const QString& operacion,
                     const QDateTime& momento) {
    const QString nombre = nombreCopia(base, momento, operacion);
    // Another copy within the same minute is numbered after the last one
    // (the first has no number), so the names keep the copies' order.
    const qsizetype corte = QFileInfo(base).completeBaseName().size() + 16;
    const QRegularExpression otra(QStringLiteral("^%1(?:-(\\d+))?%2$")
                                      .arg(QRegularExpression::escape(nombre.left(corte)),
                                           QRegularExpression::escape(nombre.mid(corte))));
    int ultima = 0;
    for (const QString& existente : QDir(carpeta).entryList(QDir::Files)) {
        const QRegularExpressionMatch m = otra.match(existente);
        if (m.hasMatch())
            ultima = std::max(ultima, m.captured(1).isEmpty() ? 1 : m.captured(1).toInt());
    }
    QString elegido = nombre;
    if (ultima > 0) elegido.insert(corte, QStringLiteral("-%1").arg(ultima + 1));
    return QDir(carpeta).filePath(elegido);
}

bool CopiaAntesDe(const QString& operacion, Dll_Display* cartel) {
    const int conservar = copiasAConservar();
    const std::optional<QString> base = archivoConectado();
    if (conservar == 0 || !base) return true;
    const QString carpeta = keptFilesFolders().userData;
    const QString destino = destinoCopia(*base, carpeta, operacion, QDateTime::currentDateTime());
    const QString linea = QStringLiteral("Copia de seguridad en %1").arg(destino);
    std::optional<CartelAbierto> propio;
    if (cartel) {
        // A cancel pressed meanwhile is the change's to answer.
        bool cancelado = false;
        cartel->CartelMostrar(cancelado, Value(linea), Value(QString()));
    } else {
        propio.emplace(kTitulo).muestra(linea);
    }
    StepResult fallo;
    if (!QDir().mkpath(carpeta))
        fallo =
            RunError{1, QStringLiteral("No se pudo crear la carpeta %1.").arg(carpeta), kTitulo};
    else
        fallo = ado::onlineBackup(*base, destino);
    propio.reset();
    if (!fallo) {
        for (const QString& vieja : copiasSobrantes(carpeta, *base, conservar))
            QFile::remove(vieja);
        return true;
    }
    return MsgBox(QStringLiteral("No se pudo hacer la copia de seguridad de la base de datos:\r%1"
                                 "\r\r¿Desea continuar sin la copia de seguridad?")
                      .arg(fallo->description),
                  mb::YesNo | mb::Exclamation | mb::DefaultButton2, kTitulo) == answer::Yes;
}

}  // namespace kl::config
