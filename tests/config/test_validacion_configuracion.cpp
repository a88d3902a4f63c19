#include "config/validacion_configuracion.h"
#include "platform/error_numbers.h"

#include "config_fixture.h"
#include "platform/dialogs.h"
#include "session/sesion.h"

namespace kl::config::test {
namespace {

const int kInfo = mb::OkOnly | mb::Information;
const int kStop = mb::OkOnly | mb::Critical;

// Period rules that answer as told and remember what they were asked.
class ScriptedRules : public ReglasEjercicio {
  public:
    Result<bool> ValidaRangoFechaEjercicio(const QString& desde, const QString& hasta,
                                           const Value& periodo) override {
        asked << QStringList{desde, hasta, periodo.toString()};
        return answer;
    }
    Result<bool> answer = true;
    QList<QStringList> asked;
};

class Validation : public ConfigDbTest {
  protected:
    void SetUp() override {
        ConfigDbTest::SetUp();
        form_.fillValid();
    }

    Veredicto check(const QString& key, const QString& value) {
        form_.set(key, value);
        return validacion_.ValidaCampo(*buscaClave(key));
    }

    // The value rule's notice: information icon, the key the field carries.
    void expectNotice(const QString& key, const QString& value, const QString& text) {
        SCOPED_TRACE((key + "=" + value).toStdString());
        boxes_.answer(answer::Ok);
        const Veredicto v = check(key, value);
        EXPECT_FALSE(v.valido);
        EXPECT_TRUE(validacion_.errorCampo());
        ASSERT_EQ(v.avisos.size(), 1u);
        EXPECT_EQ(v.avisos[0].texto, text + "(" + buscaClave(key)->dataField + ")");
        EXPECT_EQ(v.avisos[0].estilo, kInfo);
        EXPECT_EQ(v.avisos[0].titulo, "Aviso al operador...");
        EXPECT_EQ(v.pestana, Pestana::Ninguna);
        EXPECT_FALSE(v.foco);
        EXPECT_TRUE(form_.pestanas.empty());
        EXPECT_TRUE(form_.focused.isEmpty());
        EXPECT_EQ(boxes_.shown().back().title, "Aviso al operador...");
    }

    void expectPasses(const QString& key, const QString& value) {
        SCOPED_TRACE((key + "=" + value).toStdString());
        const size_t before = boxes_.shown().size();
        const Veredicto v = check(key, value);
        EXPECT_TRUE(v.valido);
        EXPECT_TRUE(v.avisos.empty());
        EXPECT_FALSE(validacion_.errorCampo());
        EXPECT_EQ(boxes_.shown().size(), before);
    }

    ValidacionConfiguracion validacion_{form_};
};

TEST_F(Validation, RequiredFieldsShowTheirMessageSwitchTabAndTakeTheFocus) {
    struct Row {
        const char* key;
        const char* message;
        Pestana pestana;
    };
    const Row rows[] = {
        {"PIVA", "Debe informar el Porcentaje de I.V.A. Vigente", Pestana::IvaIngresosBrutos},
        {"PIVAREC", "Debe informar el Porcentaje de I.V.A. Acrecentamiento",
         Pestana::IvaIngresosBrutos},
        {"digitos_rubro", "Debe informar la cantidad de Digitos o el Nombre del Nivel",
         Pestana::PlanCuentas},
        {"NIVEL_5", "Debe informar la cantidad de Digitos o el Nombre del Nivel",
         Pestana::PlanCuentas},
        {"NOMBRE", "Debe informar el Nombre de la Empresa", Pestana::Empresa},
        {"CondIVA", "Debe informar la condición de IVA de la empresa", Pestana::Empresa},
        {"FECHAOPERDESDE", "Debe Informar una Fecha Operativa", Pestana::General},
        {"FECHAOPERHasta", "Debe Informar una Fecha Operativa", Pestana::General},
        {"DESCRIPCION", "Debe informar DESCRIPCION", Pestana::Ninguna},
        {"[FECHA DESDE]", "Debe informar [FECHA DESDE]", Pestana::Ninguna},
        {"[FECHA Hasta]", "Debe informar [FECHA Hasta]", Pestana::Ninguna},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        form_.fillValid();
        form_.pestanas.clear();
        form_.focused.clear();
        boxes_.answer(answer::Ok);
        const Veredicto v = check(QString::fromUtf8(row.key), "   ");
        EXPECT_FALSE(v.valido);
        EXPECT_TRUE(validacion_.errorCampo());
        ASSERT_EQ(v.avisos.size(), 1u);
        EXPECT_EQ(v.avisos[0].texto, QString::fromUtf8(row.message));
        EXPECT_EQ(v.avisos[0].estilo, kStop);
        EXPECT_EQ(v.avisos[0].titulo, "Atención");
        EXPECT_EQ(v.pestana, row.pestana);
        if (row.pestana == Pestana::Ninguna) {
            EXPECT_TRUE(form_.pestanas.empty());
        } else {
            EXPECT_EQ(form_.pestanas, std::vector<Pestana>{row.pestana});
        }
        EXPECT_TRUE(v.foco);
        EXPECT_EQ(form_.focused, QStringList{QString::fromUtf8(row.key)});
        EXPECT_EQ(boxes_.shown().back().text, QString::fromUtf8(row.message));
    }
}

TEST_F(Validation, AFieldThatCannotTakeTheFocusStillFails) {
    form_.focusError = ado::err::InvalidArgument;
    boxes_.answer(answer::Ok);
    const Veredicto v = check("NOMBRE", "");
    EXPECT_FALSE(v.valido);
    EXPECT_FALSE(v.foco);
    ASSERT_EQ(v.avisos.size(), 1u);
    EXPECT_EQ(v.avisos[0].texto, "Debe informar el Nombre de la Empresa");
}

TEST_F(Validation, OtherFocusErrorsTakeTheUnexpectedErrorPath) {
    form_.focusError = 91;
    boxes_.answer(answer::Ok);
    const Veredicto v = check("NOMBRE", "");
    EXPECT_FALSE(v.valido);
    EXPECT_TRUE(validacion_.errorCampo());
    ASSERT_EQ(v.avisos.size(), 1u);
    EXPECT_EQ(v.avisos[0].texto, "Llamada no válida");
    EXPECT_EQ(v.avisos[0].estilo, mb::OkOnly);
    EXPECT_EQ(boxes_.shown().back().title, defaultTitle());
}

TEST_F(Validation, PercentagesLieBetweenZeroAndHundred) {
    const QString text =
        " EL CAMPO DEBE SER NUMERICO, MENOR O IGUAL A CIEN\r              Y MAYOR O IGUAL A CERO ";
    expectPasses("PIVA", "100");
    expectPasses("PIVA", "0");
    expectPasses("PIVAREC", "10.50");
    expectPasses("PPIBCM", "21,00");
    expectNotice("PIVA", "100.01", text);
    expectNotice("PIVAREC", "-1", text);
    expectNotice("PRES3337", "abc", text);
    expectNotice("PPIBP", "5%", text);
    // Not required: an empty one goes to the numeric test and fails there.
    expectNotice("PPIBC", "", text);
    expectNotice("PPIBPCM", " ", text);
    EXPECT_EQ(boxes_.shown().back().text,
              " EL CAMPO DEBE SER NUMERICO, MENOR O IGUAL A CIEN\n              Y MAYOR O IGUAL A "
              "CERO (PPIBPCM)");
    // A percentage with no rule of its own.
    expectPasses("PIVADIF", "abc");
}

TEST_F(Validation, AmountsAndTheLastEntryNumberAreNumeric) {
    expectPasses("MTPIBC", "1500.75");
    expectPasses("UltimoAsiento", "1234");
    expectNotice("MTPIBC", "abc", " EL CAMPO DEBE SER NUMERICO ");
    EXPECT_EQ(boxes_.shown().back().text, " EL CAMPO DEBE SER NUMERICO (MTPIBC)");
    expectNotice("MTPIBP", "", " EL CAMPO DEBE SER NUMERICO ");
    expectNotice("MRES3337", "12x", " EL CAMPO DEBE SER NUMERICO ");
    expectNotice("UltimoAsiento", "uno", " EL CAMPO DEBE SER NUMERICO ");
}

TEST_F(Validation, ADecimalCommaInANumberBecomesAPointInItsBox) {
    const struct {
        const char* key;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"PIVA", "21,5", "21.5"},
        {"MTPIBC", "1500,75", "1500.75"},
        {"PIVAREC", "10.50", "10.50"},
        {"NOMBRE", "Pérez, S.A", "Pérez, S.A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        check(c.key, c.typed);
        EXPECT_EQ(form_.text(c.key), c.shown);
    }
}

TEST(ObservacionCuit, ChecksElevenDigitsAndTheCheckDigit) {
    const QString largo = "El CUIT debe tener 11 dígitos (se admiten guiones).";
    const QString digito = "El dígito verificador del CUIT no es correcto.";
    const struct {
        const char* cuit;
        QString observacion;
    } cases[] = {
        {"20-12345678-6", ""},
        {"20123456786", ""},
        {"  ", ""},
        // 11 minus a remainder of 0 is 11, which stands as 0.
        {"20-20000003-0", ""},
        {"20-12345678-5", digito},
        // A remainder of 1 would ask for 10: no check digit fits.
        {"20-20000009-0", digito},
        {"20-20000009-1", digito},
        {"2012345678", largo},
        {"201234567860", largo},
        {"20.12345678.6", largo},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ObservacionCuit(c.cuit).value_or(""), c.observacion) << c.cuit;
}

TEST_F(Validation, ProvinceCodeMustExist) {
    expectPasses("CPBAIB", "");
    expectPasses("CPBAIB", "902");
    expectPasses("CPBAIB", " 901 ");
    expectNotice("CPBAIB", "999", " NO EXISTE EL CODIGO DE PROVINCIA INGRESADO ");
    // A typed quote is part of the code looked up, never of the statement.
    expectNotice("CPBAIB", "9' OR '1'='1", " NO EXISTE EL CODIGO DE PROVINCIA INGRESADO ");
}

TEST_F(Validation, AnotherPeriodResetsTheOperatingDates) {
    form_.set("[FECHA DESDE]", "01/01/2025");
    form_.set("[FECHA Hasta]", "31/12/2025");
    sesion().gPeriodo = "1";
    expectPasses("PERIODO", "1");
    EXPECT_EQ(form_.text("FECHAOPERDESDE"), "01/01/2024");
    EXPECT_EQ(form_.text("FECHAOPERHasta"), "31/12/2024");

    expectPasses("PERIODO", "2");
    EXPECT_EQ(form_.text("FECHAOPERDESDE"), "01/01/2025");
    EXPECT_EQ(form_.text("FECHAOPERHasta"), "31/12/2025");
    // Never fails, whatever it holds.
    expectPasses("PERIODO", "abc");
}

TEST_F(Validation, OperatingFromDate) {
    expectPasses("FECHAOPERDESDE", "01/01/2024");
    expectPasses("FECHAOPERDESDE", "31/12/2024");
    expectNotice("FECHAOPERDESDE", "31/02/2024", " DEBE INGRESAR UNA FECHA VÁLIDA ");
    expectNotice("FECHAOPERDESDE", "mañana", " DEBE INGRESAR UNA FECHA VÁLIDA ");
    expectNotice("FECHAOPERDESDE", "31/12/2023",
                 "La Fecha Operativa Desde debe estar dentro del\r periodo del ejercicio activo");
    expectNotice("FECHAOPERDESDE", "01/01/2025",
                 "La Fecha Operativa Desde debe estar dentro del\r periodo del ejercicio activo");
}

TEST_F(Validation, OperatingToDate) {
    form_.set("FECHAOPERDESDE", "10/03/2024");
    expectPasses("FECHAOPERHasta", "10/03/2024");
    expectNotice("FECHAOPERHasta", "09/03/2024",
                 " LA FECHA HASTA NO PUEDE SER MENOR A LA FECHA DESDE ");
    expectNotice("FECHAOPERHasta", "3/15/2024", " DEBE INGRESAR UNA FECHA VÁLIDA ");
    expectNotice("FECHAOPERHasta", "01/01/2025",
                 "La Fecha Operativa Hasta debe estar dentro del\r periodo del ejercicio activo");

    // A from-text that is not a date skips the order test; the range still applies.
    form_.set("FECHAOPERDESDE", "no es fecha");
    expectPasses("FECHAOPERHasta", "02/01/2024");
    expectNotice("FECHAOPERHasta", "31/12/2023",
                 "La Fecha Operativa Hasta debe estar dentro del\r periodo del ejercicio activo");
}

TEST_F(Validation, MissingFiscalYearAsksForANewOne) {
    form_.set("[FECHA DESDE]", "");
    form_.set("[FECHA Hasta]", "");
    for (const char* key : {"FECHAOPERDESDE", "FECHAOPERHasta"}) {
        SCOPED_TRACE(key);
        form_.focused.clear();
        boxes_.answer(answer::Ok).answer(answer::Ok);
        const Veredicto v = check(QString::fromUtf8(key), "15/06/2024");
        EXPECT_FALSE(v.valido);
        EXPECT_TRUE(validacion_.errorCampo());
        ASSERT_EQ(v.avisos.size(), 2u);
        EXPECT_EQ(v.avisos[0].texto, "No coinciden los tipos");
        EXPECT_EQ(v.avisos[0].estilo, mb::OkOnly);
        EXPECT_EQ(v.avisos[0].titulo, "");
        EXPECT_EQ(v.avisos[1].texto, "Ingrese un nuevo ejercicio");
        EXPECT_EQ(v.avisos[1].estilo, kInfo);
        EXPECT_EQ(v.avisos[1].titulo, "Aviso al Operador...");
        EXPECT_TRUE(v.foco);
        EXPECT_EQ(form_.focused, QStringList{QString::fromUtf8(key)});
        EXPECT_TRUE(form_.pestanas.empty());
    }
}

TEST_F(Validation, VatConditionBetweenOneAndSixShowsItsDescription) {
    expectNotice("CondIVA", "0", "La condición de IVA informada no es válida");
    expectNotice("CondIVA", "7", "La condición de IVA informada no es válida");
    expectNotice("CondIVA", "IVA", "La condición de IVA informada no es válida");
    EXPECT_EQ(form_.descripcionCondIva, "");
    expectPasses("CondIVA", "6");
    EXPECT_EQ(form_.descripcionCondIva, "Monotributo");
    // A code in range with no row passes, with no description.
    expectPasses("CondIVA", "5");
    EXPECT_EQ(form_.descripcionCondIva, "");
}

TEST_F(Validation, FiscalYearDatesAndTheirOverlap) {
    auto rules = std::make_shared<ScriptedRules>();
    validacion_.setReglasEjercicio(rules);
    form_.set("PERIODO", "2");

    expectNotice("[FECHA DESDE]", "1/13/2024",
                 "El valor ingresado en la fecha desde del Ejercicio no es válida");
    expectPasses("[FECHA DESDE]", "01/01/2024");
    EXPECT_TRUE(rules->asked.isEmpty());

    expectNotice("[FECHA Hasta]", "fin de año",
                 "El valor ingresado en la fecha Hasta del Ejercicio no es válida");
    expectPasses("[FECHA Hasta]", "31/12/2024");
    ASSERT_EQ(rules->asked.size(), 1);
    EXPECT_EQ(rules->asked[0], (QStringList{"01/01/2024", "31/12/2024", "2"}));

    rules->answer = false;
    expectNotice("[FECHA Hasta]", "30/06/2024",
                 "Las fechas del ejercicio ingresadas interfieren con las de otro Ejercicio");

    // A from-date that is not a date skips the overlap test.
    form_.set("[FECHA DESDE]", "x");
    expectPasses("[FECHA Hasta]", "30/06/2024");
    EXPECT_EQ(rules->asked.size(), 2);
}

TEST_F(Validation, PeriodRulesThatCannotAnswerTakeTheUnexpectedErrorPath) {
    auto rules = std::make_shared<ScriptedRules>();
    rules->answer = RunError{ado::err::TypeMismatch, "No coinciden los tipos", "Lbc_Asiento"};
    validacion_.setReglasEjercicio(rules);
    boxes_.answer(answer::Ok).answer(answer::Ok);
    const Veredicto v = check("[FECHA Hasta]", "31/12/2024");
    EXPECT_FALSE(v.valido);
    ASSERT_EQ(v.avisos.size(), 2u);
    EXPECT_EQ(v.avisos[1].texto, "Ingrese un nuevo ejercicio");
    EXPECT_EQ(form_.focused, QStringList{"[FECHA Hasta]"});
}

TEST_F(Validation, AllFieldsPassOrStopAtTheFirstInvalidOne) {
    EXPECT_TRUE(validacion_.ValidaCampos());
    EXPECT_TRUE(boxes_.shown().empty());

    // Taxes come before the account levels in the window's order.
    form_.set("PIVA", "abc");
    form_.set("NIVEL_1", "");
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(validacion_.ValidaCampos());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.endsWith("(PIVA)"));

    // The company name comes first of all.
    form_.set("NOMBRE", "");
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(validacion_.ValidaCampos());
    ASSERT_EQ(boxes_.shown().size(), 2u);
    EXPECT_EQ(boxes_.shown()[1].text, "Debe informar el Nombre de la Empresa");
    EXPECT_TRUE(validacion_.errorCampo());
}

}  // namespace
}  // namespace kl::config::test
