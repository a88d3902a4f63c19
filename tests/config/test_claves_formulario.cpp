#include "config/claves_formulario.h"

#include "config_fixture.h"
#include "platform/dialogs.h"
#include "session/brimcor2.h"
#include "session/sesion.h"

namespace kl::config::test {
namespace {

class ConfigKeys : public ConfigDbTest {
  protected:
    void store(const QString& key, const QString& value, const QString& grupo = "DATOS") {
        ASSERT_TRUE(exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (GRUPO, CLAVE, VALOR, "
                                        "DESCRIPCION) VALUES ('%1', '%2', '%3', 'previa')")
                             .arg(grupo, key, value)));
    }
    QString column(const QString& column, const QString& key) const {
        return scalar(QStringLiteral("SELECT %1 FROM TA_CONFIGURACION WHERE CLAVE = '%2' "
                                     "COLLATE BINARY")
                          .arg(column, key));
    }
    bool save(QStringList* years = nullptr, const ValoresCargados* cargados = nullptr) {
        return GrabaClaves(
            form_,
            [years](const QString& periodo) {
                if (years) *years << periodo;
                return true;
            },
            cargados);
    }
};

TEST_F(ConfigKeys, LoadShowsEachKeyOrEmpty) {
    store("NOMBRE", "  Acme S.R.L.  ");
    store("PIVA", "21.00");
    store("CONDIVA", "6");
    store("USACCOSTO", "si");
    store("USA CONTRASEÑA", "NO");
    store("USADATOSADIC", "SI");
    store("Rubro_Imputable", " SI");

    CargaClaves(form_);

    EXPECT_EQ(form_.text("NOMBRE"), "Acme S.R.L.");
    EXPECT_EQ(form_.text("PIVA"), "21.00");
    // A key without a row shows empty, whatever the designer wrote.
    EXPECT_EQ(form_.text("PIVAREC"), "");
    EXPECT_EQ(form_.text("NIVEL_1"), "");
    EXPECT_EQ(form_.state("USACCOSTO"), 1);
    EXPECT_EQ(form_.state("USA CONTRASEÑA"), 0);
    // Only shown, never written: the box reads its key from DataField.
    EXPECT_EQ(form_.state("USADATOSADIC"), 1);
    EXPECT_EQ(form_.state("UsaMultilesMonedas"), 0);
    // Only "SI" itself, case aside, ticks a box.
    EXPECT_EQ(form_.state("Rubro_Imputable"), 0);
    EXPECT_EQ(form_.text("PERIODO"), "1");
    EXPECT_EQ(form_.descripcionCondIva, "Monotributo");
}

TEST_F(ConfigKeys, LoadKeepsAStoredPeriodAndSkipsTheDescriptionWithoutCondition) {
    store("PERIODO", "4");
    form_.descripcionCondIva = "sin tocar";
    CargaClaves(form_);
    EXPECT_EQ(form_.text("PERIODO"), "4");
    EXPECT_EQ(form_.descripcionCondIva, "sin tocar");
}

TEST_F(ConfigKeys, FirstSaveInsertsEveryWrittenControl) {
    form_.fillValid();
    form_.set("localidad", "Córdoba");
    form_.set("PERIODO", "3");
    form_.check("Rubro_Imputable", 1);
    form_.check("USADATOSADIC", 1);
    form_.set("FECHAOPERHasta", "31/12/2024");
    sesion().gImagenFondo = "  c:\\fondo.wmf ";
    QStringList years;

    ASSERT_TRUE(save(&years));

    // Text boxes: key and value in capitals, group and description set.
    EXPECT_EQ(column("VALOR", "NOMBRE"), "ACME S.R.L.");
    EXPECT_EQ(column("GRUPO", "NOMBRE"), "DATOS");
    EXPECT_EQ(column("DESCRIPCION", "NOMBRE"), ".");
    EXPECT_EQ(column("fechahora_grabacion IS NOT NULL", "NOMBRE"), "1");
    EXPECT_EQ(column("fechahora_modificacion", "NOMBRE"), "<null>");
    EXPECT_EQ(column("VALOR", "LOCALIDAD"), "CÓRDOBA");
    EXPECT_EQ(column("VALOR", "PIVA"), "21.00");
    EXPECT_EQ(column("VALOR", "NIVEL_6"), "USER");
    EXPECT_EQ(column("VALOR", "DIGITOS_CUENTA"), "4");
    EXPECT_EQ(column("VALOR", "[FECHA HASTA]"), "31/12/2024");
    // Check boxes: the key as tagged.
    EXPECT_EQ(column("VALOR", "Rubro_Imputable"), "SI");
    EXPECT_EQ(column("VALOR", "USACCOSTO"), "NO");
    EXPECT_EQ(column("GRUPO", "USACCOSTO"), "DATOS");
    EXPECT_EQ(column("DESCRIPCION", "USACCOSTO"), "<null>");
    EXPECT_EQ(column("fechahora_grabacion IS NOT NULL", "USACCOSTO"), "1");
    // The image row: the path trimmed, the group unset.
    EXPECT_EQ(column("VALOR", "IMAGEN DE FONDO"), "c:\\fondo.wmf");
    EXPECT_EQ(column("GRUPO", "IMAGEN DE FONDO"), "<null>");
    // The last operating date is kept like the first (the operator's edit
    // of it used to be lost); the shown-only boxes are never written.
    EXPECT_EQ(column("VALOR", "FECHAOPERHASTA"), "31/12/2024");
    EXPECT_EQ(column("GRUPO", "FECHAOPERHASTA"), "DATOS");
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION WHERE CLAVE IN ('USADATOSADIC', "
                     "'USAMULTILESMONEDAS')"),
              "0");

    int written = 0;
    for (const ControlEnlazado& c : controlesEnlazados()) written += seGraba(c) ? 1 : 0;
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), QString::number(written));

    EXPECT_EQ(years, QStringList{"3"});
    EXPECT_EQ(sesion().gPeriodo, "3");
}

TEST_F(ConfigKeys, LaterSaveUpdatesTheValueAsTyped) {
    store("NOMBRE", "VIEJO", "OTRO");
    store("USACCOSTO", "NO", "OTRO");
    store("IMAGEN DE FONDO", "c:\\viejo.wmf", "OTRO");
    form_.fillValid();
    form_.check("USACCOSTO", 1);
    sesion().gImagenFondo = " c:\\fondos\\logo.wmf ";

    ASSERT_TRUE(save());

    EXPECT_EQ(column("VALOR", "NOMBRE"), "Acme S.R.L.");
    EXPECT_EQ(column("CLAVE", "NOMBRE"), "NOMBRE");
    // A text box's update keeps group and description.
    EXPECT_EQ(column("GRUPO", "NOMBRE"), "OTRO");
    EXPECT_EQ(column("DESCRIPCION", "NOMBRE"), "previa");
    EXPECT_EQ(column("fechahora_modificacion IS NOT NULL", "NOMBRE"), "1");
    EXPECT_EQ(column("fechahora_grabacion", "NOMBRE"), "<null>");
    // A check box's update sets the group again.
    EXPECT_EQ(column("VALOR", "USACCOSTO"), "SI");
    EXPECT_EQ(column("GRUPO", "USACCOSTO"), "DATOS");
    // The image's update keeps the path exactly as confirmed.
    EXPECT_EQ(column("VALOR", "IMAGEN DE FONDO"), " c:\\fondos\\logo.wmf ");
    EXPECT_EQ(column("GRUPO", "IMAGEN DE FONDO"), "OTRO");
}

TEST_F(ConfigKeys, ATickedSiInLowerCaseIsSavedInCapitals) {
    store("MODIFICA_ASIENTO", "si");
    CargaClaves(form_);
    ASSERT_EQ(form_.state("MODIFICA_ASIENTO"), 1);
    form_.fillValid();
    ASSERT_TRUE(save());
    EXPECT_EQ(column("VALOR", "MODIFICA_ASIENTO"), "SI");
}

TEST_F(ConfigKeys, TypedQuotesAreStoredAndNeverChangeAStatement) {
    form_.fillValid();
    form_.set("CALLE", "O'Higgins'; DELETE FROM TA_CONFIGURACION; --");
    form_.set("CondIVA", "1' OR '1'='1");
    ASSERT_TRUE(save());
    EXPECT_EQ(column("VALOR", "CALLE"), "O'HIGGINS'; DELETE FROM TA_CONFIGURACION; --");
    ASSERT_TRUE(save());
    EXPECT_EQ(column("VALOR", "CALLE"), "O'Higgins'; DELETE FROM TA_CONFIGURACION; --");

    form_.descripcionCondIva = "sin tocar";
    CargaClaves(form_);
    EXPECT_EQ(form_.text("CondIVA"), "1' OR '1'='1");
    EXPECT_EQ(form_.descripcionCondIva, "");
}

TEST_F(ConfigKeys, SaveRunsOneLookupPerWrittenKey) {
    form_.fillValid();
    ASSERT_TRUE(save());
    const QStringList statements = traced();
    EXPECT_TRUE(statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'NOMBRE'"));
    EXPECT_TRUE(statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'localidad'"));
    EXPECT_TRUE(
        statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'USA CONTRASEÑA'"));
    EXPECT_TRUE(
        statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'IMAGEN DE FONDO'"));
    EXPECT_TRUE(
        statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = '[FECHA DESDE]'"));
    EXPECT_TRUE(
        statements.contains("SELECT * FROM TA_CONFIGURACION WHERE CLAVE = 'FECHAOPERHasta'"));
}

TEST_F(ConfigKeys, FirstFailureStopsTheSaveAndIsShown) {
    ASSERT_TRUE(
        exec("CREATE TRIGGER no_calle BEFORE INSERT ON TA_CONFIGURACION "
             "WHEN NEW.CLAVE = 'CALLE' BEGIN SELECT RAISE(ABORT, 'calle bloqueada'); END"));
    form_.fillValid();
    boxes_.answer(answer::Ok);
    QStringList years;

    EXPECT_FALSE(save(&years));

    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains("calle bloqueada"));
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[0].title, "Error en Grabación");
    // Nothing of the save stays: the keys before the failing one go too.
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), "0");
    EXPECT_TRUE(years.isEmpty());
    EXPECT_EQ(sesion().gPeriodo, "1");
}

TEST_F(ConfigKeys, AnotherStationsChangeIsKeptUnlessTheOperatorChangedTheKeyToo) {
    form_.fillValid();
    ASSERT_TRUE(save());
    const ValoresCargados cargados = CargaClaves(form_);
    // Meanwhile, at another station:
    ASSERT_TRUE(
        exec("UPDATE TA_CONFIGURACION SET VALOR = 'Otra 1' WHERE CLAVE IN ('CALLE', "
             "'LOCALIDAD', 'TELEFONO')"));
    form_.set("NOMBRE", "Nueva S.A.");  // only here
    form_.set("LOCALIDAD", "Mendoza");  // in both: keep this window's
    form_.set("TELEFONO", "4444");      // in both: keep the other's
    boxes_.answer(answer::Yes).answer(answer::No);

    ASSERT_TRUE(save(nullptr, &cargados));

    EXPECT_EQ(column("VALOR", "NOMBRE"), "Nueva S.A.");
    EXPECT_EQ(column("VALOR", "CALLE"), "Otra 1");
    EXPECT_EQ(column("VALOR", "LOCALIDAD"), "Mendoza");
    EXPECT_EQ(column("VALOR", "TELEFONO"), "Otra 1");
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains("Otro puesto modificó \"Localidad\""))
        << boxes_.shown()[0].text.toStdString();
    EXPECT_TRUE(boxes_.shown()[0].text.contains("Otra 1"));
    EXPECT_TRUE(boxes_.shown()[0].text.contains("Mendoza"));
}

TEST_F(ConfigKeys, AStatementTheLayerCouldNotOpenStopsTheSaveQuietly) {
    ASSERT_TRUE(exec("DROP TABLE TA_CONFIGURACION"));
    form_.fillValid();
    // The layer's own notice; leaving it abandons the save with no second box.
    boxes_.answer(answer::Abort);
    EXPECT_FALSE(save());
    EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST(ConfigProgress, ShowsTagThenDataFieldThenTheDefaultText) {
    EXPECT_EQ(textoProgreso(*buscaClave("NOMBRE")), "NOMBRE");
    EXPECT_EQ(textoProgreso(*buscaClave("FECHAOPERDESDE")), "FECHA");
    EXPECT_EQ(textoProgreso(*buscaClave("CondIVA")), "TA_CONDIVA");
    EXPECT_EQ(textoProgreso(*buscaNombre("ChkCosto")), "USACCOSTO");
    EXPECT_EQ(textoProgreso(*buscaNombre("ChkAdic")), Brimcor2::TextoPorDefecto());
    EXPECT_EQ(textoProgreso(*buscaNombre("Imagen1")), Brimcor2::TextoPorDefecto());
}

QString filtered(const QString& typed, bool soloMayusculas) {
    QString out;
    for (QChar c : typed) out += QChar(FiltraMayusculas(c.unicode(), soloMayusculas));
    return out;
}

TEST(ConfigCapitals, OnlyListedCharactersBecomeCapitals) {
    EXPECT_EQ(filtered("ñandú", true), "ÑANDú");
    EXPECT_EQ(filtered("calle 25 de mayo. nº 3, 1º b", true), "CALLE 25 DE MAYO. Nº 3, 1º B");
    EXPECT_EQ(filtered("áéíóü ÿ", true), "áéíóü ÿ");
    EXPECT_EQ(filtered("ñandú", false), "ñandú");
    // Look-alikes outside the single-byte range stay as typed.
    EXPECT_EQ(FiltraMayusculas(0x017F, true), 0x017F);
    EXPECT_EQ(FiltraMayusculas(8, true), 8);
}

class PasswordNotice : public ConfigDbTest {};

TEST_F(PasswordNotice, TellsWhenTheOptionChanges) {
    ASSERT_TRUE(
        exec("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('USA CONTRASEÑA', 'no')"));
    AvisoContrasena(0);
    EXPECT_TRUE(boxes_.shown().empty());
    boxes_.answer(answer::Ok);
    AvisoContrasena(1);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(
        boxes_.shown()[0].text,
        "El Uso de Contraseña se aplicará la próxima vez\n           que ingrese al Sistema.");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Information);
    EXPECT_EQ(boxes_.shown()[0].title, defaultTitle());

    ASSERT_TRUE(exec("UPDATE TA_CONFIGURACION SET VALOR = 'Si'"));
    AvisoContrasena(1);
    boxes_.answer(answer::Ok);
    AvisoContrasena(0);
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[1].text,
              "La opción de Contraseña se desabilitará la próxima vez\n            que ingrese al "
              "Sistema.");
}

TEST_F(PasswordNotice, SaysNothingWithoutAStoredOption) {
    AvisoContrasena(1);
    AvisoContrasena(0);
    EXPECT_TRUE(boxes_.shown().empty());
}

}  // namespace
}  // namespace kl::config::test
