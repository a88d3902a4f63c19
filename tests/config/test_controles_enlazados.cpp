// The control table's invariants and lookups. Each row's own values are the
// table's to state: the window's test checks that every row is built as it
// says.

#include "config/controles_enlazados.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace kl::config {
namespace {

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
