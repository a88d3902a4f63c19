#include "config/bound_controls.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace kl::config {
namespace {

QStringList keysInOrder() {
    QStringList keys;
    for (const ControlEnlazado& c : controlesEnlazados()) keys << clave(c);
    return keys;
}

TEST(BoundControls, FollowTheWindowsFocusOrder) {
    const QStringList expected = {
        // Company.
        "NOMBRE", "CALLE", "NUMERO", "PISO", "DEPARTAMENTO", "localidad", "CPOSTAL", "TELEFONO",
        "PROVINCIA", "pais", "CUIT", "CondIVA", "NroIGJ",
        // General options and the executable path.
        "USACCOSTO", "USADATOSADIC", "USA CONTRASEÑA", "USA BIENES DE USO", "MODIFICA_ASIENTO",
        "UsaMultilesMonedas", "ESCRIBE_SOLO_MAYUSCULAS", "UtilitarioCD-W",
        // Indices and the operating dates.
        "nombre_indice1", "nombre_indice2", "nombre_indice3", "nombre_indice4", "FECHAOPERDESDE",
        "FECHAOPERHasta",
        // Taxes.
        "PIVA", "PIVAREC", "PIVADIF", "PRES3337", "MRES3337", "PPIBC", "PPIBCM", "MTPIBC", "PPIBP",
        "PPIBPCM", "MTPIBP", "CPBAIB",
        // Account levels, name then digits.
        "NIVEL_1", "digitos_capitulo", "NIVEL_2", "digitos_subcapitulo", "NIVEL_3", "digitos_rubro",
        "NIVEL_4", "digitos_subrubro", "NIVEL_5", "digitos_cuenta", "NIVEL_6", "digitos_subcuenta",
        "CuentasAlfanumericas", "Rubro_Imputable", "USADIGITOVERIFICADOR",
        // Fiscal year.
        "FechaUltimaDepuracion", "PERIODO", "DESCRIPCION", "[FECHA DESDE]", "[FECHA Hasta]",
        // Controls that never take the focus, and the one outside the tabs.
        "EJERCICIO_CERRADO", "UltimoAsiento", "IMAGEN DE FONDO"};
    EXPECT_EQ(keysInOrder(), expected);
}

TEST(BoundControls, KeysAndIndexesAreUnique) {
    QSet<QString> keys;
    QList<int> indexes;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        EXPECT_FALSE(keys.contains(clave(c).toUpper())) << clave(c).toStdString();
        keys.insert(clave(c).toUpper());
        if (c.tipo == TipoControl::TextBox) {
            EXPECT_EQ(c.nombre, "txtfields");
            indexes << c.indice;
        } else {
            EXPECT_EQ(c.indice, -1);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    QList<int> expected;
    for (int i = 0; i <= 46; ++i) expected << i;
    expected << 52 << 53 << 56;
    EXPECT_EQ(indexes, expected);
}

struct Expected {
    const char* key;
    int indice;
    const char* etiqueta;
    int maxLength;
    const char* tag;
    const char* textoDiseno;
    Pestana pestana;
    PestanaInterna interna;
};

TEST(BoundControls, TextBoxesCarryTheirIndexLabelLengthTagAndTab) {
    using P = Pestana;
    using I = PestanaInterna;
    const Expected rows[] = {
        {"NOMBRE", 0, "Razón Social:", 100, "", "", P::Empresa, I::Ninguna},
        {"CALLE", 1, "Calle:", 50, "", "", P::Empresa, I::Ninguna},
        {"NUMERO", 2, "Número:", 0, "", "", P::Empresa, I::Ninguna},
        {"DEPARTAMENTO", 4, "Departamento:", 2, "", "", P::Empresa, I::Ninguna},
        {"CUIT", 10, "CUIT:", 100, "", "", P::Empresa, I::Ninguna},
        {"CondIVA", 45, "Condicion de I.V.A.:", 0, "TA_CONDIVA", "", P::Empresa, I::Ninguna},
        {"NroIGJ", 56, "Nº de Registro en la I.G.J.", 35, "", "", P::Empresa, I::Ninguna},
        {"UtilitarioCD-W", 46, "Utilitario CD-W:", 0, "", "", P::General, I::DatosGenerales},
        {"nombre_indice3", 13, "Nombre Indice III", 100, "", "INDICE 3", P::General,
         I::IndicesYFechas},
        {"FECHAOPERDESDE", 19, "Desde", 10, "FECHA", "", P::General, I::IndicesYFechas},
        {"FECHAOPERHasta", 20, "Hasta", 10, "FECHA", "", P::General, I::IndicesYFechas},
        {"PIVA", 21, "Porcentaje de I.V.A. vigente:", 0, "", "21.00", P::IvaIngresosBrutos,
         I::Ninguna},
        {"PIVAREC", 22, "Porcentaje de I.V.A. Acrecentamiento", 0, "", "10.50",
         P::IvaIngresosBrutos, I::Ninguna},
        {"PIVADIF", 31, "Porcentaje de I.V.A. TASA Diferencial", 0, "", "", P::IvaIngresosBrutos,
         I::Ninguna},
        {"PPIBPCM", 29, "Porcentaje Perc. Ingresos Brutos Prov CM.", 0, "", "0.00",
         P::IvaIngresosBrutos, I::Ninguna},
        {"CPBAIB", 32, "", 4, "TA_ESTADOS", "", P::IvaIngresosBrutos, I::Ninguna},
        {"NIVEL_1", 33, "", 20, "", "CAPITULO", P::PlanCuentas, I::Ninguna},
        {"digitos_subrubro", 40, "", 0, "", "2", P::PlanCuentas, I::Ninguna},
        {"NIVEL_6", 43, "", 20, "", "USER", P::PlanCuentas, I::Ninguna},
        {"digitos_subcuenta", 44, "", 0, "", "0", P::PlanCuentas, I::Ninguna},
        {"FechaUltimaDepuracion", 15, "Fecha de Última Depuración", 10, "FECHA", "", P::Ejercicio,
         I::Ninguna},
        {"PERIODO", 52, "Nº Ejercicio Vigente", 0, "", "", P::Ejercicio, I::Ninguna},
        {"DESCRIPCION", 53, "Nombre ", 50, "", "", P::Ejercicio, I::Ninguna},
        {"[FECHA DESDE]", 16, "Fecha de Inicio ", 10, "FECHA", "", P::Ejercicio, I::Ninguna},
        {"[FECHA Hasta]", 17, "Fecha de Finalización ", 10, "FECHA", "", P::Ejercicio, I::Ninguna},
        {"UltimoAsiento", 18, "Último Número de Asiento al Diario General", 0, "", "", P::Ninguna,
         I::Ninguna},
    };
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.key);
        const ControlEnlazado* c = buscaClave(QString::fromUtf8(row.key));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->tipo, TipoControl::TextBox);
        EXPECT_EQ(c->dataField, QString::fromUtf8(row.key));
        EXPECT_EQ(c->indice, row.indice);
        EXPECT_EQ(c->etiqueta, QString::fromUtf8(row.etiqueta));
        EXPECT_EQ(c->maxLength, row.maxLength);
        EXPECT_EQ(c->tag, QString::fromUtf8(row.tag));
        EXPECT_EQ(c->textoDiseno, QString::fromUtf8(row.textoDiseno));
        EXPECT_EQ(c->pestana, row.pestana);
        EXPECT_EQ(c->pestanaInterna, row.interna);
    }
}

TEST(BoundControls, TaxBoxesAreRightAlignedAndThePercentagesCarryTheSign) {
    int percentages = 0;
    for (const ControlEnlazado& c : controlesEnlazados()) {
        const bool tax = c.pestana == Pestana::IvaIngresosBrutos;
        EXPECT_EQ(c.alineacion == Alineacion::Derecha, tax) << clave(c).toStdString();
        EXPECT_EQ(c.sufijo == "%", c.etiqueta.startsWith("Porcentaje")) << clave(c).toStdString();
        if (c.sufijo == "%") ++percentages;
    }
    EXPECT_EQ(percentages, 8);
    EXPECT_FALSE(buscaClave("CPBAIB")->visible);
    EXPECT_EQ(buscaClave("CondIVA")->etiquetaDescripcion, "lblDesc");
    EXPECT_EQ(buscaClave("UtilitarioCD-W")->captionBoton, "...");
}

TEST(BoundControls, LevelsPairANameAndADigitCount) {
    const char* names[] = {"CAPITULO", "SUB-CAPITULO", "RUBRO", "CUENTA", "SUB-CUENTA", "USER"};
    const char* digits[] = {"digitos_capitulo", "digitos_subcapitulo", "digitos_rubro",
                            "digitos_subrubro", "digitos_cuenta",      "digitos_subcuenta"};
    for (int l = 1; l <= 6; ++l) {
        const ControlEnlazado* name = buscaNivel(l, RolNivel::Nombre);
        const ControlEnlazado* count = buscaNivel(l, RolNivel::Digitos);
        ASSERT_TRUE(name && count);
        EXPECT_EQ(name->dataField, QStringLiteral("NIVEL_%1").arg(l));
        EXPECT_EQ(name->textoDiseno, names[l - 1]);
        EXPECT_TRUE(name->negrita);
        EXPECT_EQ(count->dataField, digits[l - 1]);
        EXPECT_FALSE(count->negrita);
        EXPECT_EQ(count->indice, name->indice + 1);
        EXPECT_EQ(nombreAccesible(*name), QStringLiteral("Nivel %1, nombre").arg(l));
        EXPECT_EQ(nombreAccesible(*count), QStringLiteral("Nivel %1, dígitos").arg(l));
    }
    EXPECT_EQ(buscaNivel(7, RolNivel::Nombre), nullptr);
}

TEST(BoundControls, CheckBoxesKeepTheirKeyInTagOrOnlyShowIt) {
    struct Box {
        const char* nombre;
        const char* key;
        const char* etiqueta;
        bool written;
        bool enabled;
        Pestana pestana;
    };
    const Box boxes[] = {
        {"ChkCosto", "USACCOSTO", "Usa Centros de Costo", true, true, Pestana::General},
        {"ChkAdic", "USADATOSADIC", "Usa Datos Adicionales", false, true, Pestana::General},
        {"ChkPass", "USA CONTRASEÑA", "Usa Contraseña", true, false, Pestana::General},
        {"ChkBdu", "USA BIENES DE USO", "Usa Bienes de uso", true, false, Pestana::General},
        {"ChkModificaAsientos", "MODIFICA_ASIENTO", "Revisión de Asientos", true, true,
         Pestana::General},
        {"ChkMultiplesMonedas", "UsaMultilesMonedas", "Usa Multiples Monedas", false, true,
         Pestana::General},
        {"ChkModoescritura", "ESCRIBE_SOLO_MAYUSCULAS", "Modo de Escritura", true, true,
         Pestana::General},
        {"ChkDV", "USADIGITOVERIFICADOR", "Dígito Verificador", true, true, Pestana::PlanCuentas},
        {"ChkCuentasAlfanumericas", "CuentasAlfanumericas", "Cuentas Alfanuméricas", true, true,
         Pestana::PlanCuentas},
        {"ChkRubroImputable", "Rubro_Imputable", "Permite 3º nivel Imputable", true, true,
         Pestana::PlanCuentas},
        {"ChkCerrado", "EJERCICIO_CERRADO", "Ejercicio Cerrado", true, false, Pestana::Ejercicio},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.nombre);
        const ControlEnlazado* c = buscaNombre(QString::fromUtf8(box.nombre));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->tipo, TipoControl::CheckBox);
        EXPECT_EQ(clave(*c), QString::fromUtf8(box.key));
        EXPECT_EQ(c->tag.isEmpty(), !box.written);
        EXPECT_EQ(seGraba(*c), box.written);
        EXPECT_EQ(c->grupo, box.written ? "DATOS" : "");
        EXPECT_EQ(c->habilitado, box.enabled);
        EXPECT_EQ(c->pestana, box.pestana);
        EXPECT_EQ(nombreAccesible(*c), QString::fromUtf8(box.etiqueta));
    }
}

TEST(BoundControls, CaptionsFollowTheState) {
    const ControlEnlazado& costo = *buscaNombre("chkcosto");
    EXPECT_EQ(costo.textoDiseno, "NO");
    EXPECT_EQ(leyenda(costo, 1), "SI");
    EXPECT_EQ(leyenda(costo, 0), "NO");
    EXPECT_FALSE(costo.fijaSoloMayusculas);

    const ControlEnlazado& modo = *buscaNombre("ChkModoescritura");
    EXPECT_EQ(modo.textoDiseno, "Mayúsculas/Minúsculas");
    EXPECT_EQ(leyenda(modo, 1), "Sólo Mayúsculas");
    EXPECT_EQ(leyenda(modo, 0), "Mayúsculas/Minúsculas");
    EXPECT_TRUE(modo.fijaSoloMayusculas);
}

// The last operating date is written like the first one: skipping it lost
// the operator's edit of the operating-date window.
TEST(BoundControls, SaveWritesEveryTextBoxIncludingTheOperatingEndDate) {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.tipo != TipoControl::TextBox) continue;
        EXPECT_TRUE(seGraba(c)) << c.dataField.toStdString();
        EXPECT_EQ(c.grupo, "DATOS") << c.dataField.toStdString();
    }
    const ControlEnlazado& imagen = *buscaNombre("Imagen1");
    EXPECT_EQ(imagen.tipo, TipoControl::Image);
    EXPECT_EQ(clave(imagen), "IMAGEN DE FONDO");
    EXPECT_TRUE(seGraba(imagen));
    EXPECT_EQ(imagen.grupo, "");
    EXPECT_EQ(imagen.pestana, Pestana::Pantalla);
}

TEST(BoundControls, AccessibleNamesDropColonAndMnemonic) {
    EXPECT_EQ(nombreAccesible(*buscaClave("NOMBRE")), "Razón Social");
    EXPECT_EQ(nombreAccesible(*buscaClave("condiva")), "Condicion de I.V.A.");
    EXPECT_EQ(nombreAccesible(*buscaClave("NroIGJ")), "Nº de Registro en la I.G.J.");
    EXPECT_EQ(nombreAccesible(*buscaClave("DESCRIPCION")), "Nombre");
    EXPECT_EQ(nombreAccesible(*buscaClave("CPBAIB")), "CPBAIB");
    ControlEnlazado mnemonic;
    mnemonic.etiqueta = "&Usuario:";
    EXPECT_EQ(nombreAccesible(mnemonic), "Usuario");
}

TEST(BoundControls, LookupsIgnoreCase) {
    EXPECT_EQ(buscaClave("[fecha hasta]")->indice, 17);
    EXPECT_EQ(buscaClave("FECHAOPERHASTA")->indice, 20);
    EXPECT_EQ(buscaClave("usa contraseña")->nombre, "ChkPass");
    EXPECT_EQ(buscaClave("NO EXISTE"), nullptr);
    EXPECT_EQ(buscaIndice(45)->dataField, "CondIVA");
    EXPECT_EQ(buscaIndice(47), nullptr);
    EXPECT_EQ(buscaNombre("CHKDV")->tag, "USADIGITOVERIFICADOR");
}

TEST(BoundControls, FiscalYearPanelPlacesItsUnboundControls) {
    QStringList inFrame;
    for (const ControlPanelEjercicio& c : controlesPanelEjercicio()) {
        if (c.marco == "Ejercicio contable") inFrame << c.nombre;
    }
    EXPECT_EQ(inFrame, (QStringList{"SldrEjercicio", "CmdCerrarEjercicio", "CmdCrearEjercicio"}));
    EXPECT_EQ(controlesPanelEjercicio().back().nombre, "CmdAbrirEjercicio");
    EXPECT_EQ(controlesPanelEjercicio().back().caption, "Marcar el Ejercicio como Abiero");
    for (const char* key : {"PERIODO", "DESCRIPCION", "[FECHA DESDE]", "[FECHA Hasta]"})
        EXPECT_EQ(buscaClave(key)->marco, "Ejercicio contable") << key;
    EXPECT_EQ(buscaNombre("ChkCerrado")->marco, "Ejercicio contable");
    EXPECT_EQ(buscaClave("FechaUltimaDepuracion")->marco, "Generalidades");
    EXPECT_FALSE(buscaClave("PERIODO")->editable);
}

TEST(BoundControls, TabsInOrderWithMnemonics) {
    const QStringList captions = {"&Pantalla",
                                  "Datos de la &Empresa",
                                  "Configuración &General",
                                  "I.V.A. e Ing. Brutos",
                                  "Plan General de &Cuentas",
                                  "Ejercicio Contable"};
    for (int i = 0; i < kCantidadPestanas; ++i)
        EXPECT_EQ(captionPestana(static_cast<Pestana>(i)), captions[i]);
    EXPECT_EQ(captionPestana(Pestana::Ninguna), "");
    EXPECT_EQ(captionPestanaInterna(PestanaInterna::IndicesYFechas), "Indices y Fechas");
    EXPECT_EQ(captionPestanaInterna(kPestanaInternaInicial), "Datos Generales");
    EXPECT_EQ(kPestanaInicial, Pestana::Ejercicio);
}

}  // namespace
}  // namespace kl::config
