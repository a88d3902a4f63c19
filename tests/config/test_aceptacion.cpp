#include "config/aceptacion.h"

#include "config_fixture.h"
#include "session/sesion.h"

#include <stdexcept>

namespace kl::config::test {
namespace {

class ScriptedStructure : public EstructuraCuentas {
  public:
    bool VerificaNiveles() override {
        ++levelChecks;
        if (failingChecks > 0) {
            --failingChecks;
            throw std::runtime_error("tabla bloqueada");
        }
        return niveles;
    }
    bool ValidaDigitos() override {
        ++sumChecks;
        return digitos;
    }
    bool AplicaNiveles() override {
        if (applyFails) throw std::runtime_error("disco lleno");
        return true;
    }
    bool niveles = true;
    bool digitos = true;
    // How many level checks fail before one answers.
    int failingChecks = 0;
    bool applyFails = false;
    int levelChecks = 0;
    int sumChecks = 0;
};

class AcceptFlow : public ConfigDbTest {
  protected:
    void SetUp() override {
        ConfigDbTest::SetUp();
        form_.fillValid();
    }
    bool accept(bool enPantalla = false, const QString& ruta = QString()) {
        return AceptaConfiguracion({form_, validacion_, &structure_,
                                    [this](const QString&) {
                                        ++yearsWritten_;
                                        return true;
                                    },
                                    enPantalla, ruta});
    }
    QString stored(const QString& key) const {
        return scalar(
            QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(key));
    }

    ValidacionConfiguracion validacion_{form_};
    ScriptedStructure structure_;
    int yearsWritten_ = 0;
};

TEST_F(AcceptFlow, SavesEveryKeyWhenAllChecksPass) {
    EXPECT_TRUE(accept());
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(structure_.levelChecks, 1);
    EXPECT_EQ(structure_.sumChecks, 1);
    EXPECT_EQ(stored("NOMBRE"), "ACME S.R.L.");
    EXPECT_EQ(stored("IMAGEN DE FONDO"), "");
    EXPECT_EQ(yearsWritten_, 1);
}

TEST_F(AcceptFlow, OnTheScreenTabAsksWhetherToKeepTheImage) {
    boxes_.answer(answer::Yes);
    EXPECT_TRUE(accept(true, "c:\\fondos\\logo.wmf"));
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text,
              "¿Desea conservar esta configuracion la próxima vez que inicie el sistema?");
    EXPECT_EQ(boxes_.shown()[0].style, mb::YesNo | mb::Question);
    EXPECT_EQ(boxes_.shown()[0].title, "Configuracion");
    EXPECT_EQ(sesion().gImagenFondo, "c:\\fondos\\logo.wmf");
    EXPECT_EQ(stored("IMAGEN DE FONDO"), "c:\\fondos\\logo.wmf");
}

TEST_F(AcceptFlow, DecliningOrAnotherTabKeepsTheConfirmedImage) {
    boxes_.answer(answer::No);
    EXPECT_TRUE(accept(true, "c:\\elegida.wmf"));
    EXPECT_EQ(stored("IMAGEN DE FONDO"), "");

    sesion().gImagenFondo = "c:\\confirmada.wmf";
    EXPECT_TRUE(accept(false, "c:\\elegida.wmf"));
    EXPECT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(stored("IMAGEN DE FONDO"), "c:\\confirmada.wmf");
}

TEST_F(AcceptFlow, PasswordNoticeComesBeforeTheChecks) {
    ASSERT_TRUE(
        exec("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('USA CONTRASEÑA', 'NO')"));
    form_.check("USA CONTRASEÑA", 1);
    structure_.niveles = false;
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.startsWith("El Uso de Contraseña"));
}

TEST_F(AcceptFlow, AStoppedLevelCheckValidatesAndSavesNothing) {
    structure_.niveles = false;
    form_.set("NOMBRE", "");
    EXPECT_FALSE(accept());
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(structure_.sumChecks, 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), "0");
}

TEST_F(AcceptFlow, AnInvalidFieldSavesNothing) {
    form_.set("PIVA", "200");
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    EXPECT_EQ(structure_.sumChecks, 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), "0");
    EXPECT_EQ(yearsWritten_, 0);
}

TEST_F(AcceptFlow, TooManyDigitsAreRefused) {
    structure_.digitos = false;
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text,
              "La Suma de los dígitos de las cuentas no debe ser mayor a 15 verifíquelo por "
              "favor!!!");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Critical);
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al operador");
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), "0");
}

TEST_F(AcceptFlow, WithoutStructureChecksTheyPass) {
    EXPECT_TRUE(AceptaConfiguracion({form_, validacion_, nullptr, {}, false, {}}));
    EXPECT_EQ(stored("NOMBRE"), "ACME S.R.L.");
}

TEST_F(AcceptFlow, AFailingStepAsksWhetherToRepeatItPassOverItOrStop) {
    structure_.failingChecks = 1;
    boxes_.answer(answer::Retry);
    EXPECT_TRUE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.contains("tabla bloqueada"));
    EXPECT_EQ(boxes_.shown()[0].style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_EQ(structure_.levelChecks, 2);

    structure_.failingChecks = 1;
    boxes_.answer(answer::Ignore);
    EXPECT_TRUE(accept());
    EXPECT_EQ(structure_.levelChecks, 3);
    EXPECT_EQ(yearsWritten_, 2);

    structure_.failingChecks = 1;
    boxes_.answer(answer::Abort);
    EXPECT_FALSE(accept());
    EXPECT_EQ(structure_.sumChecks, 2);
    EXPECT_EQ(yearsWritten_, 2);
}

TEST_F(AcceptFlow, AFailingRenumberingIsShownAsARecordingErrorAndSavesNothing) {
    structure_.applyFails = true;
    boxes_.answer(answer::Ok);
    EXPECT_FALSE(accept());
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "disco lleno");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[0].title, "Error en Grabación");
    EXPECT_EQ(scalar("SELECT count(*) FROM TA_CONFIGURACION"), "0");
}

}  // namespace
}  // namespace kl::config::test
