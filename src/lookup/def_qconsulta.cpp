#include "lookup/def_qconsulta.h"

#include "lookup/lib_clscons3.h"
#include "lookup/mascaras_consultas.h"
#include "platform/settings_files.h"
#include "session/brimcor2.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <initializer_list>

namespace kl {

namespace {

// How a row finds the key column.
enum class Clave {
    Fija,       // the row's text
    ReglaR,     // rule R after the row's prefix
    SinQuitar,  // "ID" and the name after the prefix, nothing dropped
};

struct Fila {
    std::initializer_list<const char*> nombres;
    const char* CmpDisplay;
    Clave clave;
    const char* Cl1;  // Fija: the column; otherwise unused
    int prefijo;      // ReglaR and SinQuitar: the prefix's length
    const char* Cl2;
};

// The named rows, top to bottom; the first whose names match decides.
const Fila kFilas[] = {
    {{"vt_proveedores", "vt_clientes"}, "Razon_Social", Clave::Fija, "Codigo", 0, ""},
    {{"TA_COMPROBANTES", "V_TA_Cpte"}, "Descripcion", Clave::Fija, "Codigo", 0, ""},
    {{"V_TA_PERCEPCION"}, "DESCRIPCION", Clave::Fija, "IDPERCEPCION", 0, ""},
    {{"V_TA_RETENCIONES"}, "DESCRIPCION", Clave::Fija, "IDRETENCION", 0, ""},
    {{"V_TA_UNIDADNEGOCIO"}, "DESCRIPCION", Clave::Fija, "CODIGO", 0, ""},
    {{"V_ta_PoliticaPrecios"}, "Descripcion", Clave::Fija, "codigo", 0, ""},
    {{"V_TA_CATEGORIAARTICULO"}, "DESCRIPCION", Clave::Fija, "idcategoria", 0, ""},
    {{"V_TA_Cajas", "V_TA_Bancos", "V_TA_MotivoVta", "V_TA_MotivoCpra", "V_TA_Deposito",
      "V_TA_Tecnicos", "V_TA_Tareas", "V_TA_Unidad", "V_TA_TipoArticulo", "V_TA_Rubros",
      "V_TA_MotivoStock", "V_TA_CPRA_VTA", "V_TA_CATEGORIA", "V_TA_DESTINO", "V_TA_ORIGEN"},
     "DESCRIPCION",
     Clave::ReglaR,
     nullptr,
     5,
     ""},
    {{"P_TA_NIVELESTUDIO", "P_TA_CONOCIMIENTOS", "P_TA_Categorizacion", "P_TA_CentroMedico",
      "P_TA_FormasDePago", "P_MA_Empresas", "P_TA_ZONARESIDENCIA", "P_TA_ObraSocial",
      "P_TA_MotivoEgreso", "P_TA_Grupos", "P_TA_EstadoBusqueda", "P_TA_Areas", "P_TA_IDIOMAS",
      "P_TA_TITULOs", "P_TA_ESTADOPOSTULANTE", "P_TA_Parentesco", "P_TA_EstadoCivil"},
     "Descripcion",
     Clave::ReglaR,
     nullptr,
     5,
     ""},
    {{"P_SINDICATOS"}, "Descripcion", Clave::Fija, "IdSindicato", 0, ""},
    {{"P_TA_Funciones"}, "DESCRIPCION", Clave::SinQuitar, nullptr, 5, ""},
    {{"TA_Categoria", "TA_Deposito", "TA_MotivoStock", "TA_TipoArticulo", "TA_Rubros"},
     "DESCRIPCION",
     Clave::ReglaR,
     nullptr,
     3,
     ""},
    {{"P_MA_Clientes"}, "RAZON_SOCIAL", Clave::Fija, "IDCLIENTE", 0, ""},
    {{"TA_Cpte"}, "DESCRIPCION", Clave::Fija, "CODIGO", 0, "DESCRIPCION"},
    {{"V_TA_VENDEDORES"}, "NOMBRE", Clave::Fija, "idvendedor", 0, "NOMBRE"},
    {{"V_MA_ARTICULOS"}, "DESCRIPCION", Clave::ReglaR, nullptr, 5, "DESCRIPCION"},
    {{"V_MV_COTIZAR"}, "COT_OBSERVACIONES", Clave::Fija, "IDARTICULO", 0, "COT_OBSERVACIONES"},
    {{"MA_ARTICULOS"}, "DESCRIPCION", Clave::ReglaR, nullptr, 3, "DESCRIPCION"},
    {{"MA_MODELOS"}, "NOMBRE", Clave::Fija, "NOMBRE", 0, "NOMBRE"},
    {{"MA_CHOFERES"}, "APELLIDO", Clave::Fija, "CODIGO", 0, "NOMBRES"},
    {{"MA_DESTINATARIOS"}, "NOMBRE", Clave::Fija, "CODIGO", 0, "NOMBRE"},
    {{"MA_VEHICULOS"},
     "PATENTE,TIPO_VEHICULO,MARCA,MODELO,TIPO",
     Clave::Fija,
     "PATENTE",
     0,
     "MODELO"},
    {{"MV_EJERCICIOS"}, "DESCRIPCION", Clave::Fija, "PERIODO", 0, "DESCRIPCION"},
    {{"TA_USUARIOS"}, "NOMBRE", Clave::Fija, "NOMBRE", 0, ""},
};

// Names of the rows above whose columns differ from their row's.
struct Excepcion {
    const char* nombre;
    const char* CmpDisplay;  // nullptr: the row's
    const char* Cl1;         // nullptr: the row's rule
    bool sinQuitar = false;  // the rule keeps the final "s"
};
const Excepcion kExcepciones[] = {
    {"V_TA_Tecnicos", "NOMBRE", nullptr},        {"V_TA_CPRA_VTA", nullptr, "IDCOND_CPRA_VTA"},
    {"V_TA_TipoArticulo", nullptr, "IDTIPO"},    {"V_TA_Cajas", nullptr, "IDCajas"},
    {"P_MA_Empresas", "NombreEmpresa", nullptr}, {"P_TA_Areas", nullptr, nullptr, true},
    {"TA_TipoArticulo", nullptr, "IDTIPO"},
};

bool igual(const QString& nombre, const char* otro) {
    return nombre.compare(QLatin1StringView(otro), Qt::CaseInsensitive) == 0;
}

QString reglaR(const QString& nombre, int prefijo, bool quitaS) {
    QString clave = QStringLiteral("ID") + nombre.mid(prefijo);
    if (quitaS && clave.endsWith(u's', Qt::CaseInsensitive)) clave.chop(1);
    return clave;
}

DefinicionConsulta deFila(const QString& nombre, const Fila& fila) {
    DefinicionConsulta d{nombre, QString::fromLatin1(fila.CmpDisplay), QString(),
                         QString::fromLatin1(fila.Cl2)};
    bool quitaS = fila.clave == Clave::ReglaR;
    const char* cl1 = fila.Cl1;
    for (const Excepcion& e : kExcepciones) {
        if (!igual(nombre, e.nombre)) continue;
        if (e.CmpDisplay) d.CmpDisplay = QString::fromLatin1(e.CmpDisplay);
        if (e.Cl1) cl1 = e.Cl1;
        if (e.sinQuitar) quitaS = false;
    }
    d.Cl1 = cl1 ? QString::fromLatin1(cl1) : reglaR(nombre, fila.prefijo, quitaS);
    return d;
}

// The rows that go by the name's beginning, after every named row.
std::optional<DefinicionConsulta> porPrefijo(const QString& nombre) {
    const QString seis = nombre.left(6).toUpper();
    auto define = [&nombre](const char* display, const char* cl1, const char* cl2) {
        return DefinicionConsulta{nombre, QString::fromLatin1(display), QString::fromLatin1(cl1),
                                  QString::fromLatin1(cl2)};
    };
    if (nombre.left(3).compare(u"TA_", Qt::CaseInsensitive) == 0)
        return define("DESCRIPCION", "CODIGO", "DESCRIPCION");
    if (nombre.startsWith(u"MA_", Qt::CaseInsensitive)) {
        for (const char* terceros : {"MA_PRO", "MA_VEN", "MA_TRA", "MA_CON", "MA_AGE"}) {
            if (seis == QLatin1StringView(terceros))
                return define("Razon_Social", "Codigo", "Razon_Social");
        }
        if (seis == u"MA_CLI") return define("Razon_Social", "Codigo", "Codigo_sucursal");
        return define("Descripcion", "Codigo", "Descripcion");
    }
    if (nombre.startsWith(u"[MA", Qt::CaseInsensitive) && seis == u"[MA_CA")
        return define("nombre", "Codigo", "nombre");
    if (nombre.startsWith(u"MV_", Qt::CaseInsensitive) && seis == u"MV_PRO")
        return define("ASUNTO", "ID", "ASUNTO");
    return std::nullopt;
}

QString valorElegido(const Lib_ClsCons3& engine) {
    return engine.ValorDevuelto.isEmpty() || engine.ValorDevuelto.isNull()
               ? QString()
               : engine.ValorDevuelto.toString();
}

}  // namespace

std::optional<DefinicionConsulta> definicionConsulta(const QString& Tabla) {
    for (const Fila& fila : kFilas) {
        for (const char* nombre : fila.nombres) {
            if (!igual(Tabla, nombre)) continue;
            DefinicionConsulta d = deFila(Tabla, fila);
            if (igual(Tabla, "TA_COMPROBANTES") || igual(Tabla, "V_TA_Cpte"))
                d.Tabla = QStringLiteral("VT_TA_Cpte");
            return d;
        }
    }
    return porPrefijo(Tabla);
}

bool usaMascarasConsultas(const QString& carpetaPrograma, const QString& programa) {
    if (!consultas::existeArchivoMascaras(Brimcor2::AgregaBarra(carpetaPrograma) +
                                          QStringLiteral("consultas.kvw")))
        return false;
    for (const char* ajeno : {"hrmapp", "qbx", "kvtrans"}) {
        if (igual(programa, ajeno)) return false;
    }
    return true;
}

bool usaMascarasConsultas() {
    return usaMascarasConsultas(
        programFolder(), QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

void DefinirConsulta(QString& Tabla, QString& CmpDisplay, QString& Cl1, QString& Cl2, bool Mostrar,
                     QString& Where) {
    DefinirConsulta(Tabla, CmpDisplay, Cl1, Cl2, Mostrar, Where, usaMascarasConsultas());
}

void DefinirConsulta(QString& Tabla, QString& CmpDisplay, QString& Cl1, QString& Cl2, bool Mostrar,
                     QString& Where, bool conMascaras) {
    if (const std::optional<DefinicionConsulta> d = definicionConsulta(Tabla)) {
        Tabla = d->Tabla;
        CmpDisplay = d->CmpDisplay;
        Cl1 = d->Cl1;
        Cl2 = d->Cl2;
    }
    Coleccion ninguna;
    QString busqueda;
    if (conMascaras) {
        if (igual(Tabla, "VT_CLIENTES") || igual(Tabla, "VT_PROVEEDORES"))
            Cl1 = QStringLiteral("CODIGO");
        const QString sentencia = QStringLiteral("select ") + CmpDisplay + u',' + Cl1 +
                                  QStringLiteral(" from ") + Tabla + u' ' + Where;
        Lib_ClsCons3& engine = sharedConsultas();
        engine.CampoDevuelto = Cl1;
        engine.ConsultaSearch(Tabla, ninguna, QString(), busqueda, Where, sentencia, false,
                              QString());
        Cl1 = valorElegido(engine);
    } else if (Mostrar) {
        if (CmpDisplay.trimmed().isEmpty()) CmpDisplay = QStringLiteral(" * ");
        Lib_ClsCons3& engine = sharedConsultas();
        engine.CampoDevuelto = Cl1;
        QString sinCondicion;
        engine.ConsultaSearch(QStringLiteral("select ") + CmpDisplay + u',' + Cl1 +
                                  QStringLiteral(" from ") + Tabla + u' ' + Where,
                              ninguna, QString(), busqueda, sinCondicion, QString(), false,
                              QString());
        Cl1 = valorElegido(engine);
    }
}

}  // namespace kl
