#include "lookup/lib_clscons3.h"

#include "dblayer/db_dll.h"
#include "lookup/armado_sentencia.h"
#include "lookup/mascaras_consultas.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "session/claves_configuracion.h"

#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace kl {

namespace {

// The engine is only reached over a connected session; without one (a
// program still starting) its settings read as unset.
QString clave(const char* nombre) {
    const db::DB_Dll& db = db::sharedDb();
    return db.gOpenFlag && db.gCnn ? Cfg(QString::fromLatin1(nombre)) : QString();
}

// A stock-level setting with no value counts as the number 0.
Value nivelStock(const char* nombre) {
    const QString valor = clave(nombre);
    return valor.trimmed().isEmpty() ? Value(0) : Value(valor);
}

// The columns of a table, from one row read through the access layer. The
// layer reports nothing here: a table that cannot be read has no columns.
std::optional<QStringList> columnasDeTabla(const QString& tabla) {
    db::DB_Dll& db = db::sharedDb();
    if (!db.gOpenFlag || !db.gCnn) return std::nullopt;
    QString sql = QStringLiteral("select top 1 * from ") + tabla;
    long afectados = 0;
    std::unique_ptr<ado::Recordset> filas;
    db.EjecutaConsultaSQL(sql, afectados, &filas);
    if (!filas || filas->State() != ado::adStateOpen) return std::nullopt;
    QStringList columnas;
    for (int i = 0; i < filas->fieldCount(); ++i) columnas << filas->field(i)->Name;
    filas->Close();
    return columnas;
}

void vacia(Coleccion& coleccion) {
    if (coleccion) coleccion->clear();
    coleccion.reset();
}

int largoMayor(const QString& titulo, const QStringList& filas) {
    qsizetype largo = titulo.size();
    for (const QString& fila : filas) largo = std::max(largo, fila.size());
    return static_cast<int>(largo);
}

}  // namespace

Lib_ClsCons3::Lib_ClsCons3()
    : StkNivel1(nivelStock("Stk_Nivel1")),
      StkNivel2(nivelStock("Stk_Nivel2")),
      StkNivel3(nivelStock("Stk_Nivel3")),
      StkNivel4(nivelStock("Stk_Nivel4")),
      MuestraStock(clave("MostrarStockenConsultas")),
      usaConsultaLike_(
          clave("UsaConsultaLike").compare(QLatin1StringView("SI"), Qt::CaseInsensitive) == 0) {}

void Lib_ClsCons3::ConsultaSearch(const QString& sql, Coleccion& CmpsDevueltos,
                                  const QString& Clave, QString& CampoBusqueda, QString& Where,
                                  const QString& SentenciaOpcional, bool TreeView,
                                  const QString& ValoresDefault) {
    consultas::PedidoConsulta pedido{.sql = sql,
                                     .CampoBusqueda = CampoBusqueda,
                                     .Where = Where,
                                     .SentenciaOpcional = SentenciaOpcional,
                                     .usarMascaras = gUsarMascarasConsultas,
                                     .topConsArt = clave("TopConsArt")};
    const QString rutaMascaras = gRutaMascaraConsultas;
    const consultas::FuentesConsulta fuentes{
        .mascara =
            [&rutaMascaras](const QString& tabla) {
                return consultas::buscaMascara(rutaMascaras, tabla);
            },
        .columnas = columnasDeTabla,
    };
    const consultas::SentenciaArmada armada = consultas::armaSentencia(pedido, fuentes);
    CampoBusqueda = pedido.CampoBusqueda;
    Where = pedido.Where;

    if (armada.faltaConfigurar) {
        MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"), mb::Information,
               QStringLiteral("Aviso al operador"));
    } else if (TreeView) {
        const consultas::PedidoArbol arbol{
            .sql = armada.sql, .CampoDevuelto = CampoDevuelto, .CheckBoxes = Checks};
        Valores.reset();
        consultas::Eleccion eleccion = consultas::ventanasConsulta().muestraArbol(arbol);
        ValorDevuelto = eleccion.ValorDevuelto;
        Valores = std::move(eleccion.Valores);
        Checks = false;
    } else {
        if (gConnString.isEmpty()) gConnString = db::sharedDb().gConnString;
        const consultas::PedidoLista lista{
            .StkNivel1 = StkNivel1,
            .StkNivel2 = StkNivel2,
            .StkNivel3 = StkNivel3,
            .StkNivel4 = StkNivel4,
            .MuestraStock = MuestraStock,
            .CfgUsaConsultaLIKE = usaConsultaLike_,
            .OrdenarPorLwv =
                !armada.sql.contains(QLatin1StringView("ORDER BY"), Qt::CaseInsensitive),
            .FiltroInicial = Clave,
            .CampoBusqueda = CampoBusqueda,
            .sql = armada.sql,
            .gConnString = gConnString,
            .CampoDevuelto = CampoDevuelto,
            .CheckBoxes = Checks,
            .UsaCantidades = UsaCantidades,
            .ValoresDefault = ValoresDefault,
            .CmpsDevueltos = CmpsDevueltos,
        };
        Valores.reset();
        Cantidades.reset();
        consultas::Eleccion eleccion = consultas::ventanasConsulta().muestraLista(lista);
        Checks = false;
        Valores = std::move(eleccion.Valores);
        Cantidades = std::move(eleccion.Cantidades);
        ValorDevuelto = eleccion.ValorDevuelto;
    }
    CampoDevuelto.clear();
    vacia(CmpsDevueltos);
}

QString Lib_ClsCons3::eligeOpcion(consultas::PedidoOpciones pedido) {
    pedido.largoMayor = largoMayor(pedido.Titulo, pedido.filas);
    consultas::Eleccion eleccion = consultas::ventanasConsulta().muestraOpciones(pedido);
    if (pedido.conCasillas) {
        Valores = std::move(eleccion.Valores);
        return QString();
    }
    return eleccion.ValorDevuelto.toString();
}

QString Lib_ClsCons3::CheckOpciones(const QString& Titulo, const Coleccion&,
                                    const QStringList& Opc) {
    consultas::PedidoOpciones pedido;
    pedido.Titulo = Titulo;
    pedido.conCasillas = true;
    if (Opc.size() > 1) {
        for (const QString& opcion : Opc) {
            pedido.filas << opcion.mid(1);
            pedido.marcadas << opcion.startsWith(u'1');
        }
    }
    return eligeOpcion(pedido);
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc) {
    consultas::PedidoOpciones pedido;
    pedido.Titulo = Titulo;
    if (Opc.size() > 1) pedido.filas = Opc;
    return eligeOpcion(pedido);
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                           const QString&) {
    const std::optional<QString> texto =
        QueArchivo.isEmpty() ? std::nullopt : cp1252::readFile(QueArchivo);
    if (!texto) {
        MsgBox(QStringLiteral("No existe el archivo ") + QueArchivo +
                   QStringLiteral(" que desea consultar consulta "),
               mb::OkOnly);
        return QString();
    }
    consultas::PedidoOpciones pedido;
    pedido.Titulo = Titulo;
    pedido.filas = texto->split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    // The line break that ends the last line opens no line of its own.
    if (!pedido.filas.isEmpty() && pedido.filas.last().isEmpty()) pedido.filas.removeLast();
    return eligeOpcion(pedido);
}

namespace {
std::unique_ptr<Lib_ClsCons3>& instancia() {
    static std::unique_ptr<Lib_ClsCons3> engine;
    return engine;
}
}  // namespace

Lib_ClsCons3& sharedConsultas() {
    auto& engine = instancia();
    if (!engine) engine = std::make_unique<Lib_ClsCons3>();
    return *engine;
}

void releaseSharedConsultas() {
    instancia().reset();
}

}  // namespace kl
