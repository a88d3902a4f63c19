#include "config/frm_configuracion.h"

#include "config/controles_enlazados.h"
#include "config/wiz_ejercicio.h"
#include "database_file.h"
#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "demo.h"
#include "national_tables.h"
#include "platform/settings_files.h"
#include "platform/textfile.h"
#include "platform/ui/windows.h"
#include "schema.h"
#include "session/sesion.h"
#include "support/database_test/database_test.h"
#include "support/shared_db/shared_db.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ranges>
#include <vector>

namespace kl::test {
namespace {

using config::ControlEnlazado;
using config::TipoControl;

// The window over a demo database, the shared access layer connected to it
// as the start-up leaves it and the program's end counted, not run.
class ConfigWindowTest : public DatabaseTest {
  protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        sesion() = Sesion{};
        file_ = path(QStringLiteral("demo.kldb"));
        const StepResult created =
            klbase::createDatabaseFile(file_, [](klbase::Database& database) {
                if (StepResult schema = klbase::createSchema(database)) return schema;
                klbase::DemoSummary summary;
                return klbase::fillDemo(database, summary);
            });
        ASSERT_FALSE(created) << created->description.toStdString();
    }
    void TearDown() override {
        kl::test::releaseSharedSession();
        DatabaseTest::TearDown();
    }

    // A window loaded as the start-up leaves it.
    std::unique_ptr<frmConfiguracion> opens() {
        EXPECT_TRUE(connectShared(file_, QStringLiteral("ADMIN")));
        auto window = std::make_unique<frmConfiguracion>();
        window->CargaConfiguracion();
        return window;
    }
    QString stored(const QString& key) const {
        return EmbeddedDb::scalar(file_,
                                  "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '" + key + "'");
    }
    // Key presses as the keyboard delivers them, through the box's filters.
    static void types(QWidget* widget, const QString& text) {
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
        }
    }
    static void presses(QWidget* widget, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }
    bool asked(QStringView text) {
        for (const ShownBox& shown : boxes_.shown())
            if (shown.text == text) return true;
        return false;
    }
    static constexpr char16_t kPregunta[] =
        u"¿Desea conservar esta configuracion la próxima vez que inicie el sistema?";
    static QLineEdit* box(frmConfiguracion& window, const QString& key) {
        const ControlEnlazado* control = config::buscaClave(key);
        return control ? window.findChild<QLineEdit*>(
                             QStringLiteral("%1(%2)").arg(control->nombre).arg(control->indice))
                       : nullptr;
    }

    QString sql(const QString& statement) const { return EmbeddedDb::scalar(file_, statement); }
    void run(const QString& statement) const {
        ASSERT_TRUE(EmbeddedDb::exec(file_, statement)) << statement.toStdString();
    }
    // CERRADO, CANCELACION, CIERRE and APERTURA of one year, one digit each.
    QString flags(int periodo) const {
        return sql(QStringLiteral("SELECT CERRADO || CANCELACION || CIERRE || APERTURA FROM "
                                  "MV_EJERCICIOS WHERE PERIODO = %1")
                       .arg(periodo));
    }
    static QSlider* slider(frmConfiguracion& window) {
        return window.findChild<QSlider*>(QStringLiteral("SldrEjercicio"));
    }
    static void clicks(frmConfiguracion& window, const char* button) {
        window.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    static QCheckBox* cerrado(frmConfiguracion& window) {
        return qobject_cast<QCheckBox*>(
            window.widgetDe(*config::buscaNombre(QStringLiteral("ChkCerrado"))));
    }
    // Which of the year's name, from-date and to-date boxes are enabled.
    static QString enabledYearFields(frmConfiguracion& window) {
        QString state;
        for (const char* key : {"DESCRIPCION", "[FECHA DESDE]", "[FECHA HASTA]"})
            state += box(window, QLatin1String(key))->isEnabled() ? u'+' : u'-';
        return state;
    }
    const ShownBox& lastBox() const { return boxes_.shown().back(); }
    // The wizard's steps for a first fiscal year over a calendar year.
    static ModalDriver::WindowStep firstYear(const char* number, const char* name,
                                             const char* year) {
        return [=](QDialog& wizard) {
            auto field = [&](const char* key) { return wizard.findChild<QLineEdit*>(key); };
            auto next = [&] { wizard.findChild<QPushButton*>("CmdSiguiente")->click(); };
            field("NRO_PERIODO")->setText(QLatin1String(number));
            next();
            field("NOMBRE")->setText(QLatin1String(name));
            next();
            field("FECHA_DESDE")->setText(QStringLiteral("01/01/%1").arg(QLatin1String(year)));
            field("FECHA_HASTA")->setText(QStringLiteral("31/12/%1").arg(QLatin1String(year)));
            next();
        };
    }
};

TEST_F(ConfigWindowTest, EveryBoundControlIsBuiltFromItsRowAndShowsItsStoredKey) {
    auto window = opens();
    QSet<QWidget*> bound;
    for (const ControlEnlazado& c : config::controlesEnlazados()) bound.insert(window->widgetDe(c));
    // The focus follows the table, the controls above the tabs first.
    std::vector<const ControlEnlazado*> focusOrder;
    for (bool aboveTheTabs : {true, false}) {
        for (const ControlEnlazado& c : config::controlesEnlazados())
            if ((c.pestana == config::Pestana::Ninguna) == aboveTheTabs) focusOrder.push_back(&c);
    }
    QWidget* previous = nullptr;
    for (const ControlEnlazado* row : focusOrder) {
        const ControlEnlazado& c = *row;
        SCOPED_TRACE(config::clave(c).toStdString());
        QWidget* widget = window->widgetDe(c);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->accessibleName(), config::nombreAccesible(c));
        if (previous) {
            // Only the unbound widgets beside a control may come in between.
            QWidget* next = previous->nextInFocusChain();
            while (next != widget && next != previous && !bound.contains(next))
                next = next->nextInFocusChain();
            EXPECT_EQ(next, widget);
        }
        previous = widget;
        if (c.tipo == TipoControl::TextBox) {
            auto* edit = qobject_cast<QLineEdit*>(widget);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->property("DataField").toString(), c.dataField);
            if (c.maxLength > 0) {
                EXPECT_EQ(edit->maxLength(), c.maxLength);
            }
            const QString value = stored(config::clave(c));
            if (value != u"<null>" && !c.dataField.isEmpty() &&
                config::clave(c).compare(u"PERIODO", Qt::CaseInsensitive) != 0) {
                EXPECT_EQ(edit->text(), value);
            }
        } else if (c.tipo == TipoControl::CheckBox) {
            auto* check = qobject_cast<QCheckBox*>(widget);
            ASSERT_NE(check, nullptr);
            const QString value = stored(config::clave(c));
            if (value != u"<null>") {
                EXPECT_EQ(check->isChecked(), value.trimmed() == u"SI");
            }
        }
    }
    EXPECT_EQ(window->pestanas()->count(), config::kCantidadPestanas);
    EXPECT_EQ(window->pestanas()->currentIndex(), static_cast<int>(config::kPestanaInicial));
    for (int i = 0; i < config::kCantidadPestanas; ++i) {
        EXPECT_EQ(window->pestanas()->tabText(i),
                  config::captionPestana(static_cast<config::Pestana>(i)));
    }
}

TEST_F(ConfigWindowTest, AcceptingStoresTheChangedValueAndCancellingWritesNothing) {
    {
        auto window = opens();
        QLineEdit* iva = box(*window, QStringLiteral("PIVA"));
        ASSERT_NE(iva, nullptr);
        EXPECT_EQ(iva->text(), u"21.00");
        iva->setText(QStringLiteral("27.00"));
        window->cmdAceptar_Click();
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(stored(QStringLiteral("PIVA")), u"27.00");
    {
        auto window = opens();
        QLineEdit* iva = box(*window, QStringLiteral("PIVA"));
        EXPECT_EQ(iva->text(), u"27.00");
        iva->setText(QStringLiteral("10.50"));
        window->cmdCancelar_Click();
    }
    EXPECT_EQ(stored(QStringLiteral("PIVA")), u"27.00");
}

TEST_F(ConfigWindowTest, ClickingTheCapitalsSwitchTurnsTypedLettersIntoCapitals) {
    auto window = opens();
    const ControlEnlazado* switchRow = nullptr;
    for (const ControlEnlazado& c : config::controlesEnlazados())
        if (c.fijaSoloMayusculas) switchRow = &c;
    ASSERT_NE(switchRow, nullptr);
    auto* modo = qobject_cast<QCheckBox*>(window->widgetDe(*switchRow));
    ASSERT_NE(modo, nullptr);
    ASSERT_FALSE(modo->isChecked());
    // The operator's click, through the box's own signal.
    modo->click();
    EXPECT_EQ(modo->text(), u"Sólo Mayúsculas");
    QLineEdit* edit = box(*window, QStringLiteral("NOMBRE"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    types(edit, QStringLiteral("abc ñé"));
    EXPECT_EQ(edit->text(), u"ABC Ñé");
    modo->click();
    EXPECT_EQ(modo->text(), u"Mayúsculas/Minúsculas");
    edit->clear();
    types(edit, QStringLiteral("abc"));
    EXPECT_EQ(edit->text(), u"abc");
    // Every option box's caption follows the operator's click.
    auto* costo = window->findChild<QCheckBox*>(QStringLiteral("ChkCosto"));
    ASSERT_NE(costo, nullptr);
    const bool wasTicked = costo->isChecked();
    costo->click();
    EXPECT_EQ(costo->text(), wasTicked ? u"NO" : u"SI");
}

TEST_F(ConfigWindowTest, AScreenReaderTickingTheCapitalsSwitchRunsTheClickHandling) {
    auto window = opens();
    auto* modo = window->findChild<QCheckBox*>(QStringLiteral("ChkModoescritura"));
    ASSERT_NE(modo, nullptr);
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(modo);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(reader->actionInterface(), nullptr);
    EXPECT_EQ(reader->role(), QAccessible::CheckBox);
    EXPECT_EQ(reader->text(QAccessible::Name), u"Modo de Escritura");
    QLineEdit* edit = box(*window, QStringLiteral("NOMBRE"));
    for (const QString& action :
         {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()}) {
        const bool wasTicked = modo->isChecked();
        reader->actionInterface()->doAction(action);
        EXPECT_EQ(modo->isChecked(), !wasTicked) << action.toStdString();
        EXPECT_EQ(reader->state().checked, !wasTicked);
        EXPECT_EQ(modo->text(), wasTicked ? u"Mayúsculas/Minúsculas" : u"Sólo Mayúsculas");
        edit->clear();
        types(edit, QStringLiteral("abc"));
        EXPECT_EQ(edit->text(), wasTicked ? u"abc" : u"ABC") << action.toStdString();
    }
}

TEST_F(ConfigWindowTest, F5OnADateFieldOpensTheDatePicker) {
    auto window = opens();
    const ControlEnlazado* fecha = nullptr;
    for (const ControlEnlazado& c : config::controlesEnlazados())
        if (c.tipo == TipoControl::TextBox && c.editable &&
            c.tag.compare(u"FECHA", Qt::CaseInsensitive) == 0)
            fecha = &c;
    ASSERT_NE(fecha, nullptr);
    auto* edit = qobject_cast<QLineEdit*>(window->widgetDe(*fecha));
    boxes_.date(QDate(2026, 3, 15));
    presses(edit, Qt::Key_F5);
    EXPECT_EQ(edit->text(), u"15/03/2026");
}

// The layer's lookups as the operator answers them: the code chosen, or
// nothing when he cancels. They remember what they were asked to show.
class ChosenLookups final : public db::LookupWindows {
  public:
    explicit ChosenLookups(QString codigo) : codigo_(std::move(codigo)) {}
    bool consulta(const QString& Tb, QString& Cl1, const QString& Cl2, const QString& CmpDisplay,
                  const QString&) override {
        asked << Tb + u':' + Cl1 + u',' + CmpDisplay + u',' + Cl2;
        if (codigo_.isEmpty()) return false;
        Cl1 = codigo_;
        return true;
    }
    bool grilla(const QString& Sentencia, QString& CampoDevuelto1, QString*, QString*) override {
        asked << Sentencia + u':' + CampoDevuelto1;
        if (codigo_.isEmpty()) return false;
        CampoDevuelto1 = codigo_;
        return true;
    }
    QStringList asked;

  private:
    QString codigo_;
};

class FieldLookupTest : public ConfigWindowTest {
  protected:
    std::shared_ptr<ChosenLookups> chooses(const QString& codigo) {
        auto lookups = std::make_shared<ChosenLookups>(codigo);
        previous_ = db::installLookupWindows(lookups);
        return lookups;
    }
    void TearDown() override {
        db::installLookupWindows(previous_);
        ConfigWindowTest::TearDown();
    }
    static void rightClicks(QWidget* widget) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2));
        QApplication::sendEvent(widget, &click);
    }
    QLabel* descripcion(frmConfiguracion& window) {
        return window.findChild<QLabel*>(QStringLiteral("lblDesc"));
    }

    std::shared_ptr<db::LookupWindows> previous_;
};

TEST_F(FieldLookupTest, F5AndARightClickOnTheVatConditionPutTheChosenCodeAndCheckIt) {
    auto window = opens();
    auto lookups = chooses(QStringLiteral(" 4 "));
    QLineEdit* condIva = box(*window, QStringLiteral("CondIVA"));
    presses(condIva, Qt::Key_F5);
    EXPECT_EQ(condIva->text(), u"4");
    EXPECT_EQ(descripcion(*window)->text(), u"Consumidor Final");

    condIva->setText(QStringLiteral("1"));
    rightClicks(condIva);
    EXPECT_EQ(condIva->text(), u"4");
    EXPECT_EQ(lookups->asked, QStringList(2, "SELECT CODIGO,DESCRIPCION FROM Ta_CONDIVA :CODIGO"));
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(FieldLookupTest, CancellingTheVatConditionsLeavesTheBoxAsItWas) {
    auto window = opens();
    chooses(QString());
    QLineEdit* condIva = box(*window, QStringLiteral("CondIVA"));
    const QString before = condIva->text();
    presses(condIva, Qt::Key_F5);
    EXPECT_EQ(condIva->text(), before);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(FieldLookupTest, ACodeFieldLooksUpTheTableInItsTagAndWritesOnlyAChosenCode) {
    auto window = opens();
    const ControlEnlazado* provincia = nullptr;
    for (const ControlEnlazado& c : config::controlesEnlazados())
        if (c.tag == u"TA_ESTADOS") provincia = &c;
    ASSERT_NE(provincia, nullptr);
    auto* edit = qobject_cast<QLineEdit*>(window->widgetDe(*provincia));
    edit->setText(QStringLiteral("901"));
    auto cancels = chooses(QString());
    presses(edit, Qt::Key_F5);
    EXPECT_EQ(edit->text(), u"901");
    EXPECT_EQ(cancels->asked, QStringList{"TA_ESTADOS:CODIGO,DESCRIPCION,DESCRIPCION"});

    chooses(QStringLiteral("902 "));
    rightClicks(edit);
    EXPECT_EQ(edit->text(), u"902");
}

TEST_F(FieldLookupTest, ABoxWithoutATableOrADateHasNoLookup) {
    auto window = opens();
    auto lookups = chooses(QStringLiteral("1"));
    QLineEdit* nombre = box(*window, QStringLiteral("NOMBRE"));
    const QString before = nombre->text();
    presses(nombre, Qt::Key_F5);
    rightClicks(nombre);
    EXPECT_EQ(nombre->text(), before);
    EXPECT_TRUE(lookups->asked.isEmpty());
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(FieldLookupTest, ARightClickOnADateFieldOpensThePickerAndCancellingKeepsTheDate) {
    auto window = opens();
    QLineEdit* depuracion = box(*window, QStringLiteral("FechaUltimaDepuracion"));
    depuracion->setText(QStringLiteral("01/02/2026"));
    boxes_.date(QDate(2026, 3, 15)).date(std::nullopt);
    rightClicks(depuracion);
    EXPECT_EQ(depuracion->text(), u"15/03/2026");
    presses(depuracion, Qt::Key_F5);
    EXPECT_EQ(depuracion->text(), u"15/03/2026");
}

TEST_F(ConfigWindowTest, ABrandNewDatabaseAcceptsWithoutTheRenumberingQuestion) {
    // As the administrator's tool creates it: the schema and the national
    // tables, no configuration, no account, no fiscal year.
    file_ = path(QStringLiteral("nueva.kldb"));
    const StepResult created = klbase::createDatabaseFile(file_, [](klbase::Database& database) {
        if (StepResult schema = klbase::createSchema(database)) return schema;
        return klbase::writeNationalTables(database);
    });
    ASSERT_FALSE(created) << created->description.toStdString();
    auto window = opens();
    // What a first configuration needs besides the designer texts: the first
    // fiscal year, the company's name, VAT condition and province, and a
    // number in the boxes that open empty.
    ModalDriver modals(firstYear("1", "Ejercicio 2027", "2027"));
    boxes_.answer(answer::Ok);
    clicks(*window, "CmdCrearEjercicio");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(lastBox().text, u"El ejercicio se creó con éxito");
    box(*window, QStringLiteral("NOMBRE"))->setText(QStringLiteral("ESTUDIO PÉREZ"));
    box(*window, QStringLiteral("CONDIVA"))->setText(QStringLiteral("1"));
    for (const char* key : {"UltimoAsiento", "PIVADIF", "PRES3337", "MRES3337", "PPIBC", "PPIBCM",
                            "MTPIBC", "PPIBP", "PPIBPCM", "MTPIBP"})
        if (QLineEdit* number = box(*window, QLatin1String(key)); number->text().isEmpty())
            number->setText(QStringLiteral("0"));
    box(*window, QStringLiteral("CPBAIB"))->setText(QStringLiteral("902"));
    const char* const levels[] = {"digitos_capitulo", "digitos_SubCapitulo", "digitos_Rubro",
                                  "digitos_SubRubro", "digitos_Cuenta",      "digitos_SubCuenta"};
    QStringList shown;
    for (const char* key : levels) shown << box(*window, QLatin1String(key))->text();
    window->cmdAceptar_Click();
    for (const ShownBox& asked : boxes_.shown() | std::views::drop(1))
        ADD_FAILURE() << asked.text.toStdString();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored(QStringLiteral("NOMBRE")), u"ESTUDIO PÉREZ");
    QStringList saved;
    for (const char* key : levels)
        saved << sql(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE "
                                    "lower(CLAVE) = lower('%1')")
                         .arg(QLatin1String(key)));
    EXPECT_EQ(saved, shown);
    EXPECT_EQ(stored(QStringLiteral("PIVA")), u"21.00");
}

TEST_F(ConfigWindowTest, ApplyFollowsTheScreenTabAndAnImageIsKeptOnlyWhenConfirmedThere) {
    auto window = opens();
    auto* aplicar = window->findChild<QPushButton*>(QStringLiteral("cmdAplicar"));
    ASSERT_NE(aplicar, nullptr);
    EXPECT_FALSE(aplicar->isEnabled());
    window->pestanas()->setCurrentIndex(static_cast<int>(config::Pestana::Pantalla));
    EXPECT_TRUE(aplicar->isEnabled());

    boxes_.file(QStringLiteral("/fotos/fondo.wmf"));
    window->CmdExaminar_Click();
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("lbltitulo(1)"))->text(), u"fondo.wmf");
    boxes_.answer(answer::Yes);
    window->cmdAceptar_Click();
    EXPECT_TRUE(asked(kPregunta));
    EXPECT_EQ(stored(QStringLiteral("IMAGEN DE FONDO")), u"/fotos/fondo.wmf");
}

TEST_F(ConfigWindowTest, AnImageChosenOnAnotherTabIsNotAskedForNorKept) {
    auto window = opens();
    window->pestanas()->setCurrentIndex(static_cast<int>(config::Pestana::Pantalla));
    boxes_.file(QStringLiteral("/fotos/fondo.wmf"));
    window->CmdExaminar_Click();
    window->pestanas()->setCurrentIndex(static_cast<int>(config::Pestana::Empresa));
    window->cmdAceptar_Click();
    EXPECT_FALSE(asked(kPregunta));
    const QString kept = stored(QStringLiteral("IMAGEN DE FONDO"));
    EXPECT_TRUE(kept == u"" || kept == u"<null>") << kept.toStdString();
}

TEST_F(ConfigWindowTest, CancellingTheExecutableSearchLeavesThePathAlone) {
    auto window = opens();
    QLineEdit* path = box(*window, QStringLiteral("UtilitarioCD-W"));
    ASSERT_NE(path, nullptr);
    path->setText(QStringLiteral("C:\\NERO\\NERO.EXE"));
    boxes_.file(QString());
    window->CmdBuscarExes_Click();
    EXPECT_EQ(path->text(), u"C:\\NERO\\NERO.EXE");
    boxes_.file(QStringLiteral("C:\\CDW\\GRABA.EXE"));
    window->CmdBuscarExes_Click();
    EXPECT_EQ(path->text(), u"C:\\CDW\\GRABA.EXE");
}

TEST_F(ConfigWindowTest, WithoutACompanyNameTheDesignerTextsStay) {
    EmbeddedDb::exec(file_,
                     "UPDATE TA_CONFIGURACION SET VALOR = '27.00' WHERE CLAVE = 'PIVA';"
                     "DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'NOMBRE'");
    sesion().gSoloMayusculas = true;
    auto window = opens();
    EXPECT_EQ(box(*window, QStringLiteral("PIVA"))->text(), u"21.00");
    EXPECT_EQ(box(*window, QStringLiteral("NOMBRE"))->text(), u"");
    // The capitals-only switch follows the user's setting.
    auto* modo = qobject_cast<QCheckBox*>(
        window->widgetDe(*config::buscaNombre(QStringLiteral("ChkModoescritura"))));
    EXPECT_TRUE(modo->isChecked());
    EXPECT_EQ(modo->text(), u"Sólo Mayúsculas");
    EXPECT_FALSE(window->cargando());
    for (const char* name : {"ChkBdu", "ChkPass"})
        EXPECT_FALSE(window->widgetDe(*config::buscaNombre(QLatin1String(name)))->isEnabled());
}

TEST_F(ConfigWindowTest, WithoutYearsThePanelWaitsAndOnlyACreatedFirstYearBecomesActive) {
    run("DELETE FROM MV_EJERCICIOS; DELETE FROM MA_CALENDARIO");
    auto window = opens();
    EXPECT_EQ(enabledYearFields(*window), u"---");
    EXPECT_FALSE(slider(*window)->isEnabled());
    // Closing a year that has no row changes nothing, and is not reported as done.
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::Ok);
    clicks(*window, "CmdCerrarEjercicio");
    EXPECT_TRUE(lastBox().text.startsWith(u"No existe el Ejercicio 3"))
        << lastBox().text.toStdString();

    {
        // Closed without creating: the key keeps naming the year it named.
        ModalDriver modals([](QDialog& dialog) {
            auto& wizard = static_cast<WizEjercicio&>(dialog);
            EXPECT_TRUE(wizard.pPedirNroEjercicioInicial);
            EXPECT_FALSE(wizard.pNoHabilitarFdesde);
            EXPECT_EQ(wizard.pFecha_Desde, u"");
            EXPECT_EQ(wizard.pFecha_Hasta, u"");
            wizard.reject();
        });
        clicks(*window, "CmdCrearEjercicio");
        EXPECT_EQ(modals.driven(), 1);
    }
    EXPECT_EQ(stored(QStringLiteral("PERIODO")), u"3");

    ModalDriver modals(firstYear("9", "Ejercicio 2030", "2030"));
    boxes_.answer(answer::Ok);
    clicks(*window, "CmdCrearEjercicio");
    EXPECT_EQ(stored(QStringLiteral("PERIODO")), u"9");
    EXPECT_EQ(box(*window, QStringLiteral("PERIODO"))->text(), u"9");
    EXPECT_EQ(box(*window, QStringLiteral("DESCRIPCION"))->text(), u"Ejercicio 2030");
    EXPECT_EQ(box(*window, QStringLiteral("FECHAOPERHASTA"))->text(), u"31/12/2030");
    // One year: the slider has a range but nowhere to go.
    EXPECT_FALSE(slider(*window)->isEnabled());
    EXPECT_EQ(slider(*window)->minimum(), 9);
    EXPECT_EQ(slider(*window)->maximum(), 10);
}

TEST_F(ConfigWindowTest, ALaterYearFollowsTheLastOneAndLeavesTheActiveYearAlone) {
    // A last year ending on 29 February: the next one ends on 28 February.
    run("UPDATE MV_EJERCICIOS SET [FECHA HASTA] = '2028-02-29 00:00:00' WHERE PERIODO = 3");
    auto window = opens();
    ModalDriver modals([](QDialog& dialog) {
        auto& wizard = static_cast<WizEjercicio&>(dialog);
        EXPECT_FALSE(wizard.pPedirNroEjercicioInicial);
        EXPECT_TRUE(wizard.pNoHabilitarFdesde);
        EXPECT_EQ(wizard.pFecha_Desde, u"01/03/2028");
        EXPECT_EQ(wizard.pFecha_Hasta, u"28/02/2029");
        auto next = [&] { wizard.findChild<QPushButton*>("CmdSiguiente")->click(); };
        EXPECT_FALSE(wizard.findChild<QLineEdit*>("FECHA_DESDE")->isEnabled());
        wizard.findChild<QLineEdit*>("NOMBRE")->setText("Ejercicio 2028/29");
        next();
        next();
    });
    boxes_.answer(answer::Ok);
    clicks(*window, "CmdCrearEjercicio");
    EXPECT_EQ(modals.driven(), 1);
    EXPECT_EQ(lastBox().text, u"El ejercicio se creó con éxito");
    EXPECT_EQ(stored(QStringLiteral("PERIODO")), u"3");
    EXPECT_EQ(slider(*window)->maximum(), 4);
    EXPECT_EQ(slider(*window)->value(), 3);
    slider(*window)->setValue(4);
    EXPECT_EQ(box(*window, QStringLiteral("DESCRIPCION"))->text(), u"Ejercicio 2028/29");
    EXPECT_EQ(box(*window, QStringLiteral("[FECHA DESDE]"))->text(), u"01/03/2028");
    EXPECT_EQ(box(*window, QStringLiteral("[FECHA HASTA]"))->text(), u"28/02/2029");
}

TEST_F(ConfigWindowTest, OnlyTheEndOfTheLastOpenYearCanBeMovedAndTheSliderResetsOperatingDates) {
    run("UPDATE MV_EJERCICIOS SET CERRADO = 0, CANCELACION = 0 WHERE PERIODO = 2;"
        "UPDATE TA_CONFIGURACION SET VALOR = '15/03/2026' WHERE CLAVE = 'FECHAOPERDESDE'");
    auto window = opens();
    QSlider* years = slider(*window);
    EXPECT_TRUE(years->isEnabled());
    EXPECT_EQ(years->minimum(), 1);
    EXPECT_EQ(years->maximum(), 3);
    EXPECT_EQ(years->value(), 3);
    EXPECT_EQ(enabledYearFields(*window), u"+-+");
    // While loading, the operating dates stay as stored.
    EXPECT_EQ(box(*window, QStringLiteral("FECHAOPERDESDE"))->text(), u"15/03/2026");

    years->setValue(2);
    EXPECT_EQ(box(*window, QStringLiteral("PERIODO"))->text(), u"2");
    EXPECT_EQ(enabledYearFields(*window), u"+--");
    EXPECT_EQ(box(*window, QStringLiteral("FECHAOPERDESDE"))->text(), u"01/01/2025");
    EXPECT_EQ(box(*window, QStringLiteral("FECHAOPERHASTA"))->text(), u"31/12/2025");

    years->setValue(1);
    EXPECT_EQ(enabledYearFields(*window), u"---");
    EXPECT_TRUE(cerrado(*window)->isChecked());
    EXPECT_FALSE(cerrado(*window)->isEnabled());
}

TEST_F(ConfigWindowTest, ClosingAndReopeningAYearTakeTwoConfirmations) {
    auto window = opens();
    slider(*window)->setValue(2);

    boxes_.answer(answer::Ok);
    clicks(*window, "CmdCerrarEjercicio");
    EXPECT_EQ(lastBox().text, u"El ejercicio esta Cerrado");
    EXPECT_EQ(lastBox().style, mb::OkOnly | mb::Information);
    EXPECT_EQ(lastBox().title, u"Atención");

    boxes_.answer(answer::Yes).answer(answer::No);
    clicks(*window, "CmdAbrirEjercicio");
    EXPECT_EQ(flags(2), u"1111");
    const ShownBox& first = boxes_.shown()[1];
    EXPECT_EQ(first.text, u"Esta seguro que desea abrir el Ejercicio 2??");
    EXPECT_EQ(first.style, mb::YesNo | mb::DefaultButton2 | mb::Information);
    EXPECT_EQ(first.title, u"Atención");
    EXPECT_EQ(lastBox().text,
              u"Este proceso solamente abre el Ejercio, NO borra los asientos de cierre y "
              u"apertura, estos deberan ser anulados desde Registraciones Directas\n"
              u"Desea continuar...??");
    EXPECT_EQ(lastBox().style, mb::YesNo | mb::Question);

    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::Ok);
    clicks(*window, "CmdAbrirEjercicio");
    EXPECT_EQ(flags(2), u"0000");
    EXPECT_EQ(lastBox().text, u"El ejercicio fue abierto con exito");
    EXPECT_EQ(lastBox().title, u"atencion");
    EXPECT_FALSE(cerrado(*window)->isChecked());

    boxes_.answer(answer::No);
    clicks(*window, "CmdCerrarEjercicio");
    EXPECT_EQ(lastBox().text, u"Esta seguro que desea Cerrar el Ejercicio 2??");
    EXPECT_EQ(flags(2), u"0000");
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::Ok);
    clicks(*window, "CmdCerrarEjercicio");
    EXPECT_EQ(flags(2), u"1111");
    EXPECT_EQ(lastBox().text, u"El ejercicio fue Cerrado con exito");
    EXPECT_TRUE(cerrado(*window)->isChecked());
    const QStringList statements = traced();
    EXPECT_TRUE(
        statements.contains(u"UPDATE MV_EJERCICIOS SET CERRADO = 0, CANCELACION = 0, "
                            u"CIERRE = 0, APERTURA = 0 WHERE PERIODO = 2 "));
    EXPECT_TRUE(
        statements.contains(u"UPDATE MV_EJERCICIOS SET CERRADO = 1, CANCELACION = 1, "
                            u"CIERRE = 1, APERTURA = 1 WHERE PERIODO = 2 "));
}

TEST_F(ConfigWindowTest, AFailedCloseIsReportedAndTheProgramGoesOn) {
    auto window = opens();
    run("DROP TABLE MV_EJERCICIOS");
    // The refreshed panel cannot read the years either: the layer says so.
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::Ok).answer(answer::Abort);
    clicks(*window, "CmdCerrarEjercicio");
    ASSERT_EQ(boxes_.shown().size(), 4u);
    EXPECT_TRUE(boxes_.shown()[2].text.startsWith(u"ERROR "))
        << boxes_.shown()[2].text.toStdString();
    EXPECT_EQ(boxes_.shown()[2].style, mb::OkOnly);
    EXPECT_EQ(boxes_.shown()[2].title, defaultTitle());
}

TEST_F(ConfigWindowTest, SavingAYearNumberWithoutARowAddsIt) {
    auto window = opens();
    box(*window, QStringLiteral("PERIODO"))->setText(QStringLiteral("4"));
    box(*window, QStringLiteral("DESCRIPCION"))->setText(QStringLiteral(" Ejercicio 2027 "));
    box(*window, QStringLiteral("[FECHA DESDE]"))->setText(QStringLiteral("01/01/2027"));
    box(*window, QStringLiteral("[FECHA HASTA]"))->setText(QStringLiteral("31/12/2027"));
    box(*window, QStringLiteral("FECHAOPERDESDE"))->setText(QStringLiteral("01/01/2027"));
    box(*window, QStringLiteral("FECHAOPERHASTA"))->setText(QStringLiteral("31/12/2027"));
    window->cmdAceptar_Click();
    EXPECT_EQ(sql("SELECT DESCRIPCION || '|' || date([FECHA DESDE]) || '|' || date([FECHA HASTA]) "
                  "|| '|' || CERRADO FROM MV_EJERCICIOS WHERE PERIODO = 4"),
              u"Ejercicio 2027|2027-01-01|2027-12-31|0");
    EXPECT_EQ(stored(QStringLiteral("PERIODO")), u"4");
    EXPECT_EQ(stored(QStringLiteral("FECHAOPERDESDE")), u"01/01/2027");
    EXPECT_EQ(flags(3), u"0000");
}

TEST_F(ConfigWindowTest, AGrownLevelRenumbersTheChartAndAReducedOneKeepsTheWindowOpen) {
    run("DELETE FROM MA_CUENTAS WHERE CODIGO NOT IN ('1', '11', '1101', '110101', '110101001');"
        "DELETE FROM MV_ASIENTOS WHERE CUENTA <> '110101001'");
    const QString lines = sql("SELECT count(*) FROM MV_ASIENTOS");
    auto window = opens();
    EXPECT_EQ(window->DigitosAnteriores(), (DigitosNiveles{1, 1, 2, 2, 3, 0}));
    QLineEdit* rubro = box(*window, QStringLiteral("digitos_rubro"));
    rubro->setText(QStringLiteral("1"));
    box(*window, QStringLiteral("PIVA"))->setText(QStringLiteral("27.00"));
    boxes_.answer(answer::Ok);
    window->cmdAceptar_Click();
    EXPECT_TRUE(lastBox().text.startsWith(u"No se puede reducir la cantidad de Digitos"));
    // The window stays with the operator's values; nothing was saved.
    EXPECT_EQ(box(*window, QStringLiteral("PIVA"))->text(), u"27.00");
    EXPECT_EQ(stored(QStringLiteral("PIVA")), u"21.00");
    EXPECT_EQ(stored(QStringLiteral("DIGITOS_RUBRO")), u"2");

    rubro->setText(QStringLiteral("3"));
    boxes_.answer(answer::Yes);
    window->cmdAceptar_Click();
    EXPECT_EQ(stored(QStringLiteral("DIGITOS_RUBRO")), u"3");
    EXPECT_EQ(sql("SELECT group_concat(CODIGO, ' ') FROM (SELECT CODIGO FROM MA_CUENTAS ORDER BY "
                  "CODIGO)"),
              u"1 11 11001 1100101 1100101001");
    EXPECT_EQ(sql("SELECT count(*) FROM MV_ASIENTOS WHERE CUENTA = '1100101001'"), lines);
}

TEST_F(ConfigWindowTest, TheBottomButtonsStandAcceptApplyCancelFromTheLeft) {
    auto window = opens();
    window->show();
    QApplication::processEvents();
    int left = -1;
    for (const char* name : {"cmdAceptar", "cmdAplicar", "cmdCancelar"}) {
        const int x = window->findChild<QPushButton*>(QLatin1String(name))->x();
        EXPECT_GT(x, left) << name;
        left = x;
    }
}

TEST_F(ConfigWindowTest, TheFramesOfOnePageShareTheirLabelAndBoxColumns) {
    auto window = opens();
    window->show();
    // A box and its label, by their left edge in the window.
    const auto columns = [&](const char* key) {
        QLineEdit* edit = box(*window, QLatin1String(key));
        const QWidget* label = nullptr;
        for (const QLabel* candidate : window->findChildren<QLabel*>())
            if (candidate->buddy() == edit) label = candidate;
        return std::pair(label ? label->mapTo(window.get(), QPoint()).x() : -1,
                         edit->mapTo(window.get(), QPoint()).x());
    };
    const struct {
        config::Pestana page;
        const char* first;
        const char* second;
    } frames[] = {{config::Pestana::General, "nombre_indice1", "FECHAOPERDESDE"},
                  {config::Pestana::Ejercicio, "FechaUltimaDepuracion", "DESCRIPCION"}};
    for (const auto& frame : frames) {
        window->seleccionaPestana(frame.page);
        window->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(0);
        QApplication::processEvents();
        EXPECT_EQ(columns(frame.first), columns(frame.second)) << frame.second;
    }
}

TEST_F(ConfigWindowTest, EnterLeavesABoxOnlyWhenItsValueIsValid) {
    auto window = opens();
    window->show();
    QLineEdit* iva = box(*window, QStringLiteral("PIVA"));
    window->seleccionaPestana(config::Pestana::IvaIngresosBrutos);
    iva->setFocus();
    iva->setText(QStringLiteral("abc150"));
    boxes_.answer(answer::Ok);
    presses(iva, Qt::Key_Return);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(lastBox().text.startsWith(u" EL CAMPO DEBE SER NUMERICO"))
        << lastBox().text.toStdString();
    EXPECT_EQ(window->focusWidget(), iva);

    // A decimal comma is taken as the point every reader of the key expects.
    iva->setText(QStringLiteral("21,5"));
    presses(iva, Qt::Key_Return);
    EXPECT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(iva->text(), u"21.5");
    EXPECT_NE(window->focusWidget(), iva);
    window->cmdAceptar_Click();
    EXPECT_EQ(stored(QStringLiteral("PIVA")), u"21.5");
}

TEST_F(ConfigWindowTest, ADateBoxTakesNeitherTypedLettersNorAPastedWord) {
    auto window = opens();
    QLineEdit* fecha = box(*window, QStringLiteral("FECHAOPERDESDE"));
    fecha->clear();
    types(fecha, QStringLiteral("o1a/b0-x"));
    EXPECT_EQ(fecha->text(), u"1/0-");
    fecha->clear();
    QApplication::clipboard()->setText(QStringLiteral("hola 3/4"));
    fecha->paste();
    EXPECT_EQ(fecha->text(), u"3/4");
}

TEST_F(ConfigWindowTest, ASecondPressOfAcceptWhileTheFirstRunsDoesNothing) {
    auto window = opens();
    box(*window, QStringLiteral("digitos_rubro"))->setText(QStringLiteral("3"));
    int preguntas = 0;
    // The renumbering question is on screen: the operator presses again.
    boxes_.service().setUnexpectedHandler([&](const ShownBox&, const QString&) {
        ++preguntas;
        clicks(*window, "cmdAceptar");
        clicks(*window, "cmdCancelar");
    });
    window->cmdAceptar_Click();
    EXPECT_EQ(preguntas, 1);
    EXPECT_EQ(stored(QStringLiteral("DIGITOS_RUBRO")), u"3");
    EXPECT_EQ(sql("SELECT count(*) FROM MA_CUENTAS WHERE CODIGO = '1100101'"), u"1");
}

TEST_F(ConfigWindowTest, LeavingTheCuitBoxTellsWhatIsWrongWithoutKeepingTheFocus) {
    auto window = opens();
    window->show();
    window->activateWindow();
    QApplication::processEvents();
    QLineEdit* cuit = box(*window, QStringLiteral("CUIT"));
    const struct {
        const char* typed;
        const char* notice;
    } cases[] = {
        {"20-12345678-6", ""},
        {"", ""},
        {"20-12345678-5", "El dígito verificador del CUIT no es correcto."},
        {"20-1234567", "El CUIT debe tener 11 dígitos (se admiten guiones)."},
        {"2O123456786", "El CUIT debe tener 11 dígitos (se admiten guiones)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        window->seleccionaPestana(config::Pestana::Empresa);
        cuit->setFocus();
        cuit->setText(QString::fromUtf8(c.typed));
        const size_t before = boxes_.shown().size();
        if (*c.notice) boxes_.answer(answer::Ok);
        presses(cuit, Qt::Key_Tab);
        EXPECT_NE(window->focusWidget(), cuit);
        if (*c.notice) {
            ASSERT_EQ(boxes_.shown().size(), before + 1);
            EXPECT_EQ(lastBox().text, QString::fromUtf8(c.notice));
            EXPECT_EQ(lastBox().style, mb::OkOnly | mb::Information);
        } else {
            EXPECT_EQ(boxes_.shown().size(), before);
        }
    }
}

// The last operating date used to be left out of the save, losing the
// operator's edit of it.
TEST_F(ConfigWindowTest, TheLastOperatingDateIsSavedAsEdited) {
    auto window = opens();
    sesion().gPeriodo = QStringLiteral("3");
    box(*window, QStringLiteral("FECHAOPERHASTA"))->setText(QStringLiteral("30/06/2026"));
    window->cmdAceptar_Click();
    EXPECT_EQ(stored(QStringLiteral("FECHAOPERHASTA")), u"30/06/2026");
}

// The background image used to be wiped by every accept: the save writes
// the confirmed image, which started empty whatever was stored.
TEST_F(ConfigWindowTest, TheStoredImageSurvivesAnAcceptUnlessRemovedOrReplaced) {
    run("UPDATE TA_CONFIGURACION SET VALOR = 'c:\\fondos\\logo.wmf' "
        "WHERE CLAVE = 'IMAGEN DE FONDO'");
    const QString logo = stored(QStringLiteral("IMAGEN DE FONDO"));
    opens()->cmdAceptar_Click();
    EXPECT_EQ(stored(QStringLiteral("IMAGEN DE FONDO")), logo);
    {
        auto window = opens();
        window->pestanas()->setCurrentIndex(static_cast<int>(config::Pestana::Pantalla));
        boxes_.file(QStringLiteral("/fotos/otro.wmf")).answer(answer::No);
        window->CmdExaminar_Click();
        window->cmdAceptar_Click();
    }
    EXPECT_EQ(stored(QStringLiteral("IMAGEN DE FONDO")), logo);
    {
        auto window = opens();
        window->CmdQuitar_Click();
        window->cmdAceptar_Click();
    }
    EXPECT_EQ(stored(QStringLiteral("IMAGEN DE FONDO")), u"");
}

// ---- The history of changes ---------------------------------------------

// What each row says, oldest first: operation, key, old and new value.
class HistoryWindowTest : public FieldLookupTest {
  protected:
    QStringList rows() const {
        return sql("SELECT group_concat(OPERACION || '|' || upper(CLAVE) || '|' || "
                   "ifnull(VALOR_ANTERIOR, '') || '|' || ifnull(VALOR_NUEVO, ''), '#') FROM "
                   "(SELECT * FROM MV_HISTORIAL_CAMBIOS ORDER BY ID)")
            .split(u'#');
    }
};

TEST_F(HistoryWindowTest,
       AnAcceptACloseAWizardAndARenumberingEachLeaveTheirRowAndTheButtonListsThem) {
    run("DELETE FROM MA_CUENTAS WHERE CODIGO NOT IN ('1', '11', '1101', '110101', '110101001');"
        "DELETE FROM MV_ASIENTOS WHERE CUENTA <> '110101001'");
    {
        auto window = opens();
        box(*window, QStringLiteral("PIVA"))->setText(QStringLiteral("27.00"));
        window->cmdAceptar_Click();
    }
    auto window = opens();
    slider(*window)->setValue(2);
    boxes_.answer(answer::Yes).answer(answer::Yes).answer(answer::Ok);
    clicks(*window, "CmdAbrirEjercicio");
    ModalDriver modals([](QDialog& wizard) {
        wizard.findChild<QLineEdit*>("NOMBRE")->setText("Ejercicio nuevo");
        wizard.findChild<QPushButton*>("CmdSiguiente")->click();
        wizard.findChild<QPushButton*>("CmdSiguiente")->click();
    });
    boxes_.answer(answer::Ok);
    clicks(*window, "CmdCrearEjercicio");
    box(*window, QStringLiteral("digitos_rubro"))->setText(QStringLiteral("3"));
    boxes_.answer(answer::Yes);
    window->cmdAceptar_Click();
    ASSERT_EQ(stored(QStringLiteral("DIGITOS_RUBRO")), u"3");

    // The rows of these changes in their order (accepted keys the panel's
    // year moved may come in between).
    const QStringList expected{"Cambio de clave|PIVA|21.00|27.00",
                               "Reapertura de ejercicio|EJERCICIO 2|Cerrado|Abierto",
                               "Ejercicio nuevo|EJERCICIO 4||Ejercicio nuevo, del ",
                               "Renumeración|DIGITOS_RUBRO|1-1-2-2-3-0|1-1-3-2-3-0"};
    QStringList found;
    for (const QString& row : rows()) {
        for (const QString& e : expected)
            if (row.startsWith(e)) found << e;
    }
    EXPECT_EQ(found, expected) << rows().join(u'\n').toStdString();
    EXPECT_EQ(sql("SELECT count(*) FROM MV_HISTORIAL_CAMBIOS WHERE NOMBREUSUARIO <> 'ADMIN' OR "
                  "MAQUINA = '' OR FECHAHORA IS NULL"),
              u"0");
    // A safety copy before the wizard's year and before the renumbering.
    QStringList copies;
    for (const QString& name : QDir(keptFilesFolders().userData).entryList(QDir::Files))
        copies << name.section(u'-', -1);
    EXPECT_EQ(copies, QStringList({"ejercicio.kldb", "renumeracion.kldb"}));

    // The accept closed the window; the history is read in a new one.
    auto again = opens();
    auto lookups = chooses(QString());
    clicks(*again, "cmdHistorial");
    ASSERT_EQ(lookups->asked.size(), 1);
    const QString statement = lookups->asked.first().section(u':', 0, -2);
    EXPECT_TRUE(statement.endsWith(u"ORDER BY ID DESC")) << statement.toStdString();
    EXPECT_EQ(sql("SELECT [Operacion] || [Clave] FROM (" + statement + ") LIMIT 1"),
              sql("SELECT OPERACION || CLAVE FROM MV_HISTORIAL_CAMBIOS ORDER BY ID DESC LIMIT 1"));
}

TEST_F(HistoryWindowTest, TheHistoryButtonsMnemonicIsNoOtherControls) {
    auto window = opens();
    auto* button = window->findChild<QPushButton*>(QStringLiteral("cmdHistorial"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), u"&Historial...");
    QStringList texts;
    for (auto* other : window->findChildren<QAbstractButton*>())
        if (other != button) texts << other->text();
    for (auto* label : window->findChildren<QLabel*>()) texts << label->text();
    for (auto* tabs : window->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    for (const QString& text : texts)
        EXPECT_FALSE(text.contains(u"&H", Qt::CaseInsensitive)) << text.toStdString();
}

TEST_F(HistoryWindowTest, AnOlderDatabaseGetsItsTableAndOneThatCannotSaysSoOnceAndStillSaves) {
    run("DROP TABLE MV_HISTORIAL_CAMBIOS");
    {
        auto window = opens();
        box(*window, QStringLiteral("PIVA"))->setText(QStringLiteral("27.00"));
        window->cmdAceptar_Click();
    }
    EXPECT_EQ(rows(), QStringList({"Cambio de clave|PIVA|21.00|27.00"}));

    // An index holding the table's name: creating the table fails.
    run("DROP TABLE MV_HISTORIAL_CAMBIOS;"
        "CREATE INDEX MV_HISTORIAL_CAMBIOS ON TA_CONFIGURACION (GRUPO)");
    boxes_.answer(answer::Ok);
    for (const char* iva : {"10.50", "21.00"}) {
        auto window = opens();
        box(*window, QStringLiteral("PIVA"))->setText(QLatin1String(iva));
        window->cmdAceptar_Click();
        EXPECT_EQ(stored(QStringLiteral("PIVA")), QLatin1String(iva));
    }
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].text.startsWith(u"No se registrarán los cambios"))
        << boxes_.shown()[0].text.toStdString();
    boxes_.answer(answer::Ok);
    opens()->cmdHistorial_Click();
    EXPECT_EQ(lastBox().text, u"Esta base de datos no tiene historial de cambios.");
}

}  // namespace
}  // namespace kl::test
