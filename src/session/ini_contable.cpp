#include "session/ini_contable.h"

#include "dblayer/db_dll.h"
#include "session/brimcor2.h"
#include "session/claves_configuracion.h"
#include "session/sesion.h"

namespace kl {

namespace {

bool esSi(const QString& valor) {
    return valor.compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
}

}  // namespace

// Each read reports its own failures (the key store's and the layer's
// notices), so nothing is left to fail here.
void IniContable() {
    Sesion& s = sesion();
    s.gSoloMayusculas = esSi(Cfg(QStringLiteral("ESCRIBE_SOLO_MAYUSCULAS")));
    s.gBloqueoActivo = esSi(Cfg(QStringLiteral("SS_BloqueoActivo")));
    s.gPeriodo = Cfg(QStringLiteral("PERIODO"));
    const Value unidad = db::sharedDb().DatosTabla(
        QStringLiteral("ta_usuarios"), s.gUsuarioLogeado, QStringLiteral("UNegocio"),
        QStringLiteral("nombre"), Value(db::DB_Dll::kTipoTexto), QString(), false, false);
    s.gUNegocio = Brimcor2::AlineaDerecha(Brimcor2::ValorNoNulo(unidad), 4);
    s.gConfidencialidad = esSi(Cfg(QStringLiteral("SS_CONFIDENCIALIDAD")));
    // Four blanks are the aligned form of a missing unit.
    if (s.gUNegocio.trimmed().isEmpty()) s.gUNegocio = QStringLiteral("   1");
}

}  // namespace kl
