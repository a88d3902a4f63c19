#include "config_fixture.h"

#include "progress/dll_display.h"
#include "session/sesion.h"
#include "support/shared_db/shared_db.h"

namespace kl::config::test {

const char kSchema[] = R"sql(
CREATE TABLE TA_CONFIGURACION (
  GRUPO VARCHAR(50) COLLATE KL_CI,
  CLAVE VARCHAR(50) NOT NULL COLLATE KL_CI PRIMARY KEY,
  VALOR VARCHAR(255) COLLATE KL_CI,
  VALORAUX VARCHAR(255) COLLATE KL_CI,
  DESCRIPCION VARCHAR(255) COLLATE KL_CI,
  PoliticaNegocio BIT NOT NULL DEFAULT 0,
  fechahora_grabacion DATETIME,
  fechahora_modificacion DATETIME);
CREATE TABLE TA_CONDIVA (
  CODIGO VARCHAR(2) NOT NULL COLLATE KL_CI PRIMARY KEY,
  DESCRIPCION VARCHAR(50) COLLATE KL_CI);
INSERT INTO TA_CONDIVA VALUES ('1', 'Responsable Inscripto'), ('6', 'Monotributo');
CREATE TABLE TA_ESTADOS (
  CODIGO VARCHAR(4) NOT NULL COLLATE KL_CI PRIMARY KEY,
  DESCRIPCION VARCHAR(60) COLLATE KL_CI);
INSERT INTO TA_ESTADOS VALUES ('901', 'Capital Federal'), ('902', 'Buenos Aires');
)sql";

namespace {

const ControlEnlazado& control(const QString& key) {
    const ControlEnlazado* c = buscaClave(key);
    if (!c) {
        ADD_FAILURE() << "no control for " << key.toStdString();
        return controlesEnlazados().front();
    }
    return *c;
}

QString id(const ControlEnlazado& c) {
    return clave(c).toUpper();
}

}  // namespace

FakeForm::FakeForm() {
    for (const ControlEnlazado& c : controlesEnlazados()) {
        if (c.tipo == TipoControl::TextBox) texts_.insert(id(c), c.textoDiseno);
        if (c.tipo == TipoControl::CheckBox) states_.insert(id(c), 0);
    }
}

QString FakeForm::texto(const ControlEnlazado& c) const {
    return texts_.value(id(c));
}

void FakeForm::setTexto(const ControlEnlazado& c, const QString& text) {
    texts_.insert(id(c), text);
}

int FakeForm::valor(const ControlEnlazado& c) const {
    return states_.value(id(c));
}

void FakeForm::setValor(const ControlEnlazado& c, int value) {
    states_.insert(id(c), value);
}

StepResult FakeForm::daFoco(const ControlEnlazado& c) {
    if (focusError != 0) return RunError{focusError, QStringLiteral("Llamada no válida"), {}};
    focused << clave(c);
    return std::nullopt;
}

QString FakeForm::text(const QString& key) const {
    return texto(control(key));
}

void FakeForm::set(const QString& key, const QString& text) {
    setTexto(control(key), text);
}

int FakeForm::state(const QString& key) const {
    return valor(control(key));
}

void FakeForm::check(const QString& key, int state) {
    setValor(control(key), state);
}

void FakeForm::fillValid() {
    set("NOMBRE", "Acme S.R.L.");
    set("CondIVA", "1");
    set("FECHAOPERDESDE", "01/01/2024");
    set("FECHAOPERHasta", "31/12/2024");
    set("[FECHA DESDE]", "01/01/2024");
    set("[FECHA Hasta]", "31/12/2024");
    set("DESCRIPCION", "Ejercicio 2024");
    set("PERIODO", "1");
    for (const char* amount : {"PRES3337", "MRES3337", "MTPIBC", "MTPIBP", "UltimoAsiento"})
        set(amount, "0");
}

void ConfigDbTest::SetUp() {
    DatabaseTest::SetUp();
    sesion() = Sesion{};
    sesion().gPeriodo = QStringLiteral("1");
    file_ = folder_.create(QStringLiteral("contab.db"), QString::fromUtf8(kSchema));
    ASSERT_FALSE(file_.isEmpty());
    ASSERT_TRUE(connectShared(file_, QStringLiteral("sa")));
}

void ConfigDbTest::TearDown() {
    releaseDllDisplay();
    kl::test::releaseSharedSession();
    DatabaseTest::TearDown();
}

}  // namespace kl::config::test
