#include "config/frm_configuracion.h"

#include "config/bound_controls.h"
#include "database_file.h"
#include "dblayer/application_hooks.h"
#include "dblayer/db_dll.h"
#include "demo.h"
#include "schema.h"
#include "session/sesion.h"
#include "support/embedded_db.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kl::test {
namespace {

using config::ControlEnlazado;
using config::TipoControl;

// The window over a demo database, the shared access layer connected to it
// as the start-up leaves it and the program's end counted, not run.
class ConfigWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        db::releaseSharedDb();
        sesion() = Sesion{};
        previousEnd_ = db::installProgramEnd([ends = ends_] { ++*ends; });
        file_ = dir_.filePath(QStringLiteral("demo.kldb"));
        const StepResult created =
            klbase::createDatabaseFile(file_, [](klbase::Database& database) {
                if (StepResult schema = klbase::createSchema(database)) return schema;
                klbase::DemoSummary summary;
                return klbase::fillDemo(database, summary);
            });
        ASSERT_FALSE(created) << created->description.toStdString();
    }
    void TearDown() override {
        db::releaseSharedDb();
        sesion() = Sesion{};
        db::installProgramEnd(previousEnd_);
    }

    // A window loaded as the start-up leaves it.
    std::unique_ptr<frmConfiguracion> opens() {
        db::DB_Dll& shared = db::sharedDb();
        shared.gServidor = QStringLiteral("sqlite");
        shared.gDBName = file_;
        shared.gUsuario = QStringLiteral("ADMIN");
        shared.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
        EXPECT_TRUE(shared.gOpenFlag);
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

    ScopedDialogs boxes_;
    QTemporaryDir dir_;
    QString file_;
    std::shared_ptr<int> ends_ = std::make_shared<int>(0);

  private:
    db::ProgramEnd previousEnd_;
};

TEST_F(ConfigWindowTest, EveryBoundControlIsBuiltFromItsRowAndShowsItsStoredKey) {
    auto window = opens();
    QSet<QWidget*> bound;
    for (const ControlEnlazado& c : config::controlesEnlazados()) bound.insert(window->widgetDe(c));
    QWidget* previous = nullptr;
    for (const ControlEnlazado& c : config::controlesEnlazados()) {
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

TEST_F(ConfigWindowTest, TypingInCapitalsOnlyModeTurnsLettersIntoCapitals) {
    auto window = opens();
    const ControlEnlazado* switchRow = nullptr;
    for (const ControlEnlazado& c : config::controlesEnlazados())
        if (c.fijaSoloMayusculas) switchRow = &c;
    ASSERT_NE(switchRow, nullptr);
    window->setValor(*switchRow, 1);
    EXPECT_EQ(qobject_cast<QCheckBox*>(window->widgetDe(*switchRow))->text(), u"Sólo Mayúsculas");
    QLineEdit* edit = box(*window, QStringLiteral("NOMBRE"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    types(edit, QStringLiteral("abc ñé"));
    EXPECT_EQ(edit->text(), u"ABC Ñé");
    window->setValor(*switchRow, 0);
    edit->clear();
    types(edit, QStringLiteral("abc"));
    EXPECT_EQ(edit->text(), u"abc");
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
    auto window = opens();
    EXPECT_EQ(box(*window, QStringLiteral("PIVA"))->text(), u"21.00");
    EXPECT_EQ(box(*window, QStringLiteral("NOMBRE"))->text(), u"");
}

}  // namespace
}  // namespace kl::test
