#include "config/controles_enlazados.h"

namespace kl::config {

namespace {

const QString kGrupoDatos = QStringLiteral("DATOS");
const QString kClaveImagen = QStringLiteral("IMAGEN DE FONDO");
const QString kTextBoxes = QStringLiteral("txtfields");
const QString kSi = QStringLiteral("SI");
const QString kNo = QStringLiteral("NO");

// Where a run of controls stands: tab, inner tab and frame.
struct Seccion {
    Pestana pestana;
    PestanaInterna pestanaInterna;
    QString marco;
};

ControlEnlazado caja(const Seccion& s, int indice, const QString& key, const QString& etiqueta,
                     int maxLength = 0) {
    ControlEnlazado c;
    c.tipo = TipoControl::TextBox;
    c.nombre = kTextBoxes;
    c.indice = indice;
    c.dataField = key;
    c.etiqueta = etiqueta;
    c.maxLength = maxLength;
    c.pestana = s.pestana;
    c.pestanaInterna = s.pestanaInterna;
    c.marco = s.marco;
    c.grupo = kGrupoDatos;
    return c;
}

ControlEnlazado fecha(const Seccion& s, int indice, const QString& key, const QString& etiqueta) {
    ControlEnlazado c = caja(s, indice, key, etiqueta, 10);
    c.tag = QStringLiteral("FECHA");
    return c;
}

// A yes/no box written back under the key in its Tag.
ControlEnlazado casilla(const Seccion& s, const QString& nombre, const QString& key,
                        const QString& etiqueta) {
    ControlEnlazado c;
    c.tipo = TipoControl::CheckBox;
    c.nombre = nombre;
    c.tag = key;
    c.etiqueta = etiqueta;
    c.textoDiseno = kNo;
    c.leyendaSi = kSi;
    c.leyendaNo = kNo;
    c.pestana = s.pestana;
    c.pestanaInterna = s.pestanaInterna;
    c.marco = s.marco;
    c.grupo = kGrupoDatos;
    return c;
}

// A yes/no box that only shows its key: the key sits in DataField, and the
// save, which writes boxes by Tag, leaves it alone.
ControlEnlazado casillaSoloLectura(const Seccion& s, const QString& nombre, const QString& key,
                                   const QString& etiqueta) {
    ControlEnlazado c = casilla(s, nombre, QString(), etiqueta);
    c.dataField = key;
    c.grupo.clear();
    return c;
}

ControlEnlazado parametro(const Seccion& s, int indice, const QString& key, const QString& etiqueta,
                          const QString& textoDiseno = QString(),
                          const QString& sufijo = QString()) {
    ControlEnlazado c = caja(s, indice, key, etiqueta);
    c.alineacion = Alineacion::Derecha;
    c.textoDiseno = textoDiseno;
    c.sufijo = sufijo;
    return c;
}

ControlEnlazado nivel(const Seccion& s, int nivel, RolNivel rol, int indice, const QString& key,
                      const QString& textoDiseno) {
    ControlEnlazado c = caja(s, indice, key, QString(), rol == RolNivel::Nombre ? 20 : 0);
    c.textoDiseno = textoDiseno;
    c.negrita = rol == RolNivel::Nombre;
    c.nivel = nivel;
    c.rolNivel = rol;
    return c;
}

std::vector<ControlEnlazado> buildTable() {
    std::vector<ControlEnlazado> t;
    const QString porcentaje = QStringLiteral("%");

    const Seccion empresa{Pestana::Empresa, PestanaInterna::Ninguna,
                          QStringLiteral("Datos de la Empresa")};
    t.push_back(caja(empresa, 0, QStringLiteral("NOMBRE"), QStringLiteral("Razón Social:"), 100));
    t.push_back(caja(empresa, 1, QStringLiteral("CALLE"), QStringLiteral("Calle:"), 50));
    t.push_back(caja(empresa, 2, QStringLiteral("NUMERO"), QStringLiteral("Número:")));
    t.push_back(caja(empresa, 3, QStringLiteral("PISO"), QStringLiteral("Piso:")));
    t.push_back(
        caja(empresa, 4, QStringLiteral("DEPARTAMENTO"), QStringLiteral("Departamento:"), 2));
    t.push_back(caja(empresa, 5, QStringLiteral("localidad"), QStringLiteral("Localidad:"), 100));
    t.push_back(caja(empresa, 6, QStringLiteral("CPOSTAL"), QStringLiteral("CP:")));
    t.push_back(caja(empresa, 7, QStringLiteral("TELEFONO"), QStringLiteral("Teléfono:"), 100));
    t.push_back(caja(empresa, 8, QStringLiteral("PROVINCIA"), QStringLiteral("Provincia:"), 100));
    t.push_back(caja(empresa, 9, QStringLiteral("pais"), QStringLiteral("País:"), 100));
    t.push_back(caja(empresa, 10, QStringLiteral("CUIT"), QStringLiteral("CUIT:"), 100));
    ControlEnlazado& condIva = t.emplace_back(
        caja(empresa, 45, QStringLiteral("CondIVA"), QStringLiteral("Condicion de I.V.A.:")));
    condIva.tag = QStringLiteral("TA_CONDIVA");
    condIva.etiquetaDescripcion = QStringLiteral("lblDesc");
    t.push_back(caja(empresa, 56, QStringLiteral("NroIGJ"),
                     QStringLiteral("Nº de Registro en la I.G.J."), 35));

    const Seccion generales{Pestana::General, PestanaInterna::DatosGenerales,
                            QStringLiteral("Datos Generales")};
    t.push_back(casilla(generales, QStringLiteral("ChkCosto"), QStringLiteral("USACCOSTO"),
                        QStringLiteral("Usa Centros de Costo")));
    t.push_back(casillaSoloLectura(generales, QStringLiteral("ChkAdic"),
                                   QStringLiteral("USADATOSADIC"),
                                   QStringLiteral("Usa Datos Adicionales")));
    ControlEnlazado& pass =
        t.emplace_back(casilla(generales, QStringLiteral("ChkPass"),
                               QStringLiteral("USA CONTRASEÑA"), QStringLiteral("Usa Contraseña")));
    pass.habilitado = false;
    ControlEnlazado& bdu = t.emplace_back(casilla(generales, QStringLiteral("ChkBdu"),
                                                  QStringLiteral("USA BIENES DE USO"),
                                                  QStringLiteral("Usa Bienes de uso")));
    bdu.habilitado = false;
    t.push_back(casilla(generales, QStringLiteral("ChkModificaAsientos"),
                        QStringLiteral("MODIFICA_ASIENTO"),
                        QStringLiteral("Revisión de Asientos")));
    t.push_back(casillaSoloLectura(generales, QStringLiteral("ChkMultiplesMonedas"),
                                   QStringLiteral("UsaMultilesMonedas"),
                                   QStringLiteral("Usa Multiples Monedas")));
    ControlEnlazado& modo = t.emplace_back(casilla(generales, QStringLiteral("ChkModoescritura"),
                                                   QStringLiteral("ESCRIBE_SOLO_MAYUSCULAS"),
                                                   QStringLiteral("Modo de Escritura")));
    modo.leyendaSi = QStringLiteral("Sólo Mayúsculas");
    modo.leyendaNo = QStringLiteral("Mayúsculas/Minúsculas");
    modo.textoDiseno = modo.leyendaNo;
    modo.fijaSoloMayusculas = true;
    ControlEnlazado& utilitario = t.emplace_back(
        caja(generales, 46, QStringLiteral("UtilitarioCD-W"), QStringLiteral("Utilitario CD-W:")));
    utilitario.boton = QStringLiteral("CmdBuscarExes");
    utilitario.captionBoton = QStringLiteral("...");

    const Seccion indices{Pestana::General, PestanaInterna::IndicesYFechas,
                          QStringLiteral("Indices de Ajustes")};
    const QString romanos[] = {QStringLiteral("I"), QStringLiteral("II"), QStringLiteral("III"),
                               QStringLiteral("IV")};
    for (int i = 0; i < 4; ++i) {
        ControlEnlazado& indice =
            t.emplace_back(caja(indices, 11 + i, QStringLiteral("nombre_indice%1").arg(i + 1),
                                QStringLiteral("Nombre Indice ") + romanos[i], 100));
        indice.textoDiseno = QStringLiteral("INDICE %1").arg(i + 1);
    }
    const Seccion operativa{Pestana::General, PestanaInterna::IndicesYFechas,
                            QStringLiteral("Fecha Operativa Posible")};
    t.push_back(fecha(operativa, 19, QStringLiteral("FECHAOPERDESDE"), QStringLiteral("Desde")));
    t.push_back(fecha(operativa, 20, QStringLiteral("FECHAOPERHasta"), QStringLiteral("Hasta")));

    const Seccion iva{Pestana::IvaIngresosBrutos, PestanaInterna::Ninguna,
                      QStringLiteral("Parámetros")};
    t.push_back(parametro(iva, 21, QStringLiteral("PIVA"),
                          QStringLiteral("Porcentaje de I.V.A. vigente:"), QStringLiteral("21.00"),
                          porcentaje));
    t.push_back(parametro(iva, 22, QStringLiteral("PIVAREC"),
                          QStringLiteral("Porcentaje de I.V.A. Acrecentamiento"),
                          QStringLiteral("10.50"), porcentaje));
    t.push_back(parametro(iva, 31, QStringLiteral("PIVADIF"),
                          QStringLiteral("Porcentaje de I.V.A. TASA Diferencial"), QString(),
                          porcentaje));
    t.push_back(parametro(iva, 23, QStringLiteral("PRES3337"),
                          QStringLiteral("Porcentaje Resolución 3337"), QString(), porcentaje));
    t.push_back(parametro(iva, 24, QStringLiteral("MRES3337"),
                          QStringLiteral("Monto tope Resolución 3337")));
    t.push_back(parametro(iva, 25, QStringLiteral("PPIBC"),
                          QStringLiteral("Porcentaje Perc. Ingresos Brutos Capital"),
                          QStringLiteral("0.00"), porcentaje));
    t.push_back(parametro(iva, 26, QStringLiteral("PPIBCM"),
                          QStringLiteral("Porcentaje Perc. Ingresos Brutos Cap CM"),
                          QStringLiteral("0.00"), porcentaje));
    t.push_back(parametro(iva, 27, QStringLiteral("MTPIBC"),
                          QStringLiteral("Monto Tope Perc Ingresos Brutos Capital")));
    t.push_back(parametro(iva, 28, QStringLiteral("PPIBP"),
                          QStringLiteral("Porcentaje Perc. Ingresos Brutos Prov."),
                          QStringLiteral("0.00"), porcentaje));
    t.push_back(parametro(iva, 29, QStringLiteral("PPIBPCM"),
                          QStringLiteral("Porcentaje Perc. Ingresos Brutos Prov CM."),
                          QStringLiteral("0.00"), porcentaje));
    t.push_back(parametro(iva, 30, QStringLiteral("MTPIBP"),
                          QStringLiteral("Monto Tope Perc. Ingresos Brutos Prov.")));
    ControlEnlazado& provincia =
        t.emplace_back(parametro(iva, 32, QStringLiteral("CPBAIB"), QString()));
    provincia.tag = QStringLiteral("TA_ESTADOS");
    provincia.maxLength = 4;
    provincia.visible = false;

    const Seccion plan{
        Pestana::PlanCuentas, PestanaInterna::Ninguna,
        QStringLiteral("Plan general de Cuentas, cantidad de dígitos para el nivel de :")};
    struct Level {
        const char* nombre;
        const char* digitosKey;
        const char* digitos;
    };
    const Level levels[] = {
        {"CAPITULO", "digitos_capitulo", "1"}, {"SUB-CAPITULO", "digitos_subcapitulo", "1"},
        {"RUBRO", "digitos_rubro", "1"},       {"CUENTA", "digitos_subrubro", "2"},
        {"SUB-CUENTA", "digitos_cuenta", "4"}, {"USER", "digitos_subcuenta", "0"}};
    for (int l = 1; l <= 6; ++l) {
        const Level& level = levels[l - 1];
        t.push_back(nivel(plan, l, RolNivel::Nombre, 31 + 2 * l, QStringLiteral("NIVEL_%1").arg(l),
                          QString::fromUtf8(level.nombre)));
        t.push_back(nivel(plan, l, RolNivel::Digitos, 32 + 2 * l,
                          QString::fromUtf8(level.digitosKey), QString::fromUtf8(level.digitos)));
    }
    const Seccion planOpciones{Pestana::PlanCuentas, PestanaInterna::Ninguna, QString()};
    t.push_back(casilla(planOpciones, QStringLiteral("ChkCuentasAlfanumericas"),
                        QStringLiteral("CuentasAlfanumericas"),
                        QStringLiteral("Cuentas Alfanuméricas")));
    t.push_back(casilla(planOpciones, QStringLiteral("ChkRubroImputable"),
                        QStringLiteral("Rubro_Imputable"),
                        QStringLiteral("Permite 3º nivel Imputable")));
    t.push_back(casilla(planOpciones, QStringLiteral("ChkDV"),
                        QStringLiteral("USADIGITOVERIFICADOR"),
                        QStringLiteral("Dígito Verificador")));

    const Seccion generalidades{Pestana::Ejercicio, PestanaInterna::Ninguna,
                                QStringLiteral("Generalidades")};
    t.push_back(fecha(generalidades, 15, QStringLiteral("FechaUltimaDepuracion"),
                      QStringLiteral("Fecha de Última Depuración")));
    const Seccion ejercicio{Pestana::Ejercicio, PestanaInterna::Ninguna,
                            QStringLiteral("Ejercicio contable")};
    ControlEnlazado& periodo = t.emplace_back(
        caja(ejercicio, 52, QStringLiteral("PERIODO"), QStringLiteral("Nº Ejercicio Vigente")));
    periodo.editable = false;
    t.push_back(caja(ejercicio, 53, QStringLiteral("DESCRIPCION"), QStringLiteral("Nombre "), 50));
    t.push_back(
        fecha(ejercicio, 16, QStringLiteral("[FECHA DESDE]"), QStringLiteral("Fecha de Inicio ")));
    t.push_back(fecha(ejercicio, 17, QStringLiteral("[FECHA Hasta]"),
                      QStringLiteral("Fecha de Finalización ")));
    // The box mirrors the year shown; the panel's buttons change it, never the operator.
    ControlEnlazado& cerrado = t.emplace_back(casilla(ejercicio, QStringLiteral("ChkCerrado"),
                                                      QStringLiteral("EJERCICIO_CERRADO"),
                                                      QStringLiteral("Ejercicio Cerrado")));
    cerrado.habilitado = false;

    const Seccion ventana{Pestana::Ninguna, PestanaInterna::Ninguna, QString()};
    t.push_back(caja(ventana, 18, QStringLiteral("UltimoAsiento"),
                     QStringLiteral("Último Número de Asiento al Diario General")));

    ControlEnlazado imagen;
    imagen.tipo = TipoControl::Image;
    imagen.nombre = QStringLiteral("Imagen1");
    imagen.etiqueta = QStringLiteral("Imagen de fondo");
    imagen.pestana = Pestana::Pantalla;
    t.push_back(imagen);
    return t;
}

}  // namespace

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString captionPestana(Pestana pestana) {
    switch (pestana) {
        case Pestana::Pantalla:
            return QStringLiteral("&Pantalla");
        case Pestana::Empresa:
            return QStringLiteral("Datos de la &Empresa");
        case Pestana::General:
            return QStringLiteral("Configuración &General");
        case Pestana::IvaIngresosBrutos:
            return QStringLiteral("I.V.A. e Ing. Brutos");
        case Pestana::PlanCuentas:
            return QStringLiteral("Plan General de &Cuentas");
        case Pestana::Ejercicio:
            return QStringLiteral("Ejercicio Contable");
        case Pestana::Ninguna:
            break;
    }
    return QString();
}

QString captionPestanaInterna(PestanaInterna pestana) {
    switch (pestana) {
        case PestanaInterna::IndicesYFechas:
            return QStringLiteral("Indices y Fechas");
        case PestanaInterna::DatosGenerales:
            return QStringLiteral("Datos Generales");
        case PestanaInterna::Ninguna:
            break;
    }
    return QString();
}

const std::vector<ControlEnlazado>& controlesEnlazados() {
    static const std::vector<ControlEnlazado> table = buildTable();
    return table;
}

const std::vector<ControlPanelEjercicio>& controlesPanelEjercicio() {
    static const QString marco = QStringLiteral("Ejercicio contable");
    static const std::vector<ControlPanelEjercicio> controls = {
        {QStringLiteral("SldrEjercicio"), QString(), marco},
        {QStringLiteral("CmdCerrarEjercicio"), QStringLiteral("Marcar el Ejercicio como Cerrado"),
         marco},
        {QStringLiteral("CmdCrearEjercicio"),
         QStringLiteral("Asistente para crear nuevo &Ejercicio"), marco},
        {QStringLiteral("CmdAbrirEjercicio"), QStringLiteral("Marcar el Ejercicio como Abiero"),
         QString()},
    };
    return controls;
}

QString clave(const ControlEnlazado& control) {
    switch (control.tipo) {
        case TipoControl::TextBox:
            return control.dataField;
        case TipoControl::CheckBox:
            return control.tag.trimmed().isEmpty() ? control.dataField : control.tag.trimmed();
        case TipoControl::Image:
            return kClaveImagen;
    }
    return QString();
}

bool seGraba(const ControlEnlazado& control) {
    switch (control.tipo) {
        case TipoControl::TextBox:
            return !control.dataField.isEmpty();
        case TipoControl::CheckBox:
            return !control.tag.trimmed().isEmpty();
        case TipoControl::Image:
            return true;
    }
    return false;
}

QString nombreAccesible(const ControlEnlazado& control) {
    // The level grid has no label per box: its row says which level it is.
    if (control.rolNivel == RolNivel::Nombre)
        return QStringLiteral("Nivel %1, nombre").arg(control.nivel);
    if (control.rolNivel == RolNivel::Digitos)
        return QStringLiteral("Nivel %1, dígitos").arg(control.nivel);
    QString name = control.etiqueta;
    name.remove(u'&');
    name = name.trimmed();
    if (name.endsWith(u':')) name.chop(1);
    name = name.trimmed();
    return name.isEmpty() ? clave(control) : name;
}

QString leyenda(const ControlEnlazado& control, int valor) {
    return valor != 0 ? control.leyendaSi : control.leyendaNo;
}

const ControlEnlazado* buscaClave(const QString& key) {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (sameText(clave(c), key)) return &c;
    }
    return nullptr;
}

const ControlEnlazado* buscaIndice(int indice) {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.tipo == TipoControl::TextBox && c.indice == indice) return &c;
    }
    return nullptr;
}

const ControlEnlazado* buscaNombre(const QString& nombre) {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (sameText(c.nombre, nombre)) return &c;
    }
    return nullptr;
}

const ControlEnlazado* buscaNivel(int nivel, RolNivel rol) {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.nivel == nivel && c.rolNivel == rol) return &c;
    }
    return nullptr;
}

}  // namespace kl::config
