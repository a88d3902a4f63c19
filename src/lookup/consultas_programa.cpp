#include "lookup/consultas_programa.h"

#include "dblayer/application_hooks.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/ventanas_lista.h"
#include "session/ejecuta_programa.h"

namespace kl {

namespace {

// The chosen row's value, or nullopt when the operator chose none.
std::optional<QString> elegido(const Lib_ClsCons3& engine) {
    if (engine.ValorDevuelto.isEmpty()) return std::nullopt;
    return engine.ValorDevuelto.toString();
}

class ConsultasDeLaCapa final : public db::LookupWindows {
  public:
    bool consulta(const QString& Tb, QString& Cl1, const QString& Cl2, const QString& CmpDisplay,
                  const QString& SQLWHERE) override {
        QString columnas = Cl1 + u',' + CmpDisplay;
        if (!Cl2.trimmed().isEmpty() && Cl2.compare(CmpDisplay, Qt::CaseInsensitive) != 0 &&
            Cl2.compare(Cl1, Qt::CaseInsensitive) != 0)
            columnas += u',' + Cl2;
        Lib_ClsCons3& engine = sharedConsultas();
        engine.CampoDevuelto = Cl1;
        Coleccion ninguna;
        QString busqueda, where = SQLWHERE;
        engine.ConsultaSearch(
            QStringLiteral("select ") + columnas + QStringLiteral(" from ") + Tb + u' ', ninguna,
            QString(), busqueda, where, QString(), false, QString());
        const std::optional<QString> codigo = elegido(engine);
        if (codigo) Cl1 = *codigo;
        return codigo.has_value();
    }

    bool grilla(const QString& Sentencia, QString& CampoDevuelto1, QString* CampoDevuelto2,
                QString* CampoDevuelto3) override {
        auto nombres = nuevaColeccion();
        QList<QString*> otros;
        for (QString* campo : {CampoDevuelto2, CampoDevuelto3}) {
            if (!campo || campo->trimmed().isEmpty()) continue;
            nombres->append(*campo);
            otros.append(campo);
        }
        Lib_ClsCons3& engine = sharedConsultas();
        engine.CampoDevuelto = CampoDevuelto1;
        Coleccion cmps = nombres;
        QString busqueda, where;
        engine.ConsultaSearch(Sentencia, cmps, QString(), busqueda, where, QString(), false,
                              QString());
        const std::optional<QString> valor = elegido(engine);
        if (!valor) return false;
        CampoDevuelto1 = *valor;
        for (qsizetype i = 0; i < otros.size(); ++i) {
            *otros[i] = engine.Valores && i < engine.Valores->size()
                            ? engine.Valores->at(i).toString()
                            : QString();
        }
        return true;
    }
};

}  // namespace

void instalaConsultasDelPrograma() {
    consultas::installVentanasConsulta(std::make_shared<consultas::VentanasLista>());
    db::installLookupWindows(std::make_shared<ConsultasDeLaCapa>());
    Lib_FrmCons3::installLanzador([](const QString& programa, const QString& parametro) {
        qint64 tarea = 0;
        EjecutaPrograma(programa, parametro, tarea);
    });
}

}  // namespace kl
