#include "support/accounting_db/accounting_db.h"

#include "config/wiz_ejercicio.h"
#include "platform/dialogs.h"
#include "platform/ui/windows.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace kl::test {
namespace {

QLineEdit* campo(QDialog& w, const char* clave) {
    return w.findChild<QLineEdit*>(QLatin1String(clave));
}
QPushButton* boton(QDialog& w, const char* nombre) {
    return w.findChild<QPushButton*>(QLatin1String(nombre));
}
QString paso(QDialog& w) {
    const auto* tab = w.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    return tab->tabText(tab->currentIndex());
}
void siguiente(QDialog& w) {
    boton(w, "CmdSiguiente")->click();
}
// The enabled state and caption of CmdSiguiente, CmdAnterior, CmdCancelar.
QString botones(QDialog& w) {
    QStringList estado;
    for (const char* nombre : {"CmdSiguiente", "CmdAnterior", "CmdCancelar"}) {
        const QPushButton* b = boton(w, nombre);
        estado << (b->isEnabled() ? "+" : "-") + b->text();
    }
    return estado.join(u'|');
}

class WizEjercicioTest : public accounting::test::AccountingDbTest {
  protected:
    // The wizard as the fiscal-year panel prepares it.
    void primerEjercicio() { wizard_.pPedirNroEjercicioInicial = true; }
    void siguienteEjercicio(const QString& desde, const QString& hasta) {
        addYear(1, "2023-01-01", "2023-12-31", true, true, true);
        addYear(2, "2024-01-01", "2024-12-31");
        wizard_.pNoHabilitarFdesde = true;
        wizard_.pFecha_Desde = desde;
        wizard_.pFecha_Hasta = hasta;
    }
    int muestra(ModalDriver::WindowStep step) {
        ModalDriver modals(std::move(step));
        return showModal(wizard_);
    }

    WizEjercicio wizard_;
};

TEST_F(WizEjercicioTest, WithoutYearsAsksANumberWithTheDatesOpen) {
    primerEjercicio();
    boxes_.answer(answer::Ok);
    const int result = muestra([](QDialog& w) {
        EXPECT_EQ(w.windowTitle(), "Asistente para crear nuevo Ejercicio");
        EXPECT_EQ(paso(w), "0");
        EXPECT_FALSE(w.findChild<QTabWidget*>("SSTab1")->tabBar()->isVisible());
        EXPECT_EQ(w.focusWidget(), campo(w, "NRO_PERIODO"));
        EXPECT_EQ(botones(w), "+&Siguiente >>|-<< &Atras|+&Cerrar");
        for (const char* fecha : {"FECHA_DESDE", "FECHA_HASTA"}) {
            EXPECT_TRUE(campo(w, fecha)->text().isEmpty()) << fecha;
            EXPECT_TRUE(campo(w, fecha)->isEnabled()) << fecha;
        }
        QTest::keyClicks(campo(w, "NRO_PERIODO"), "abc");
        siguiente(w);
        EXPECT_EQ(paso(w), "0");
        boton(w, "CmdCancelar")->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "El campo debe ser numérico!!!");
    EXPECT_EQ(boxes_.shown()[0].title, "Aviso al operador");
    EXPECT_EQ(boxes_.shown()[0].style, mb::OkOnly | mb::Critical);
}

TEST_F(WizEjercicioTest, AFirstYearNumberBeyond32767IsRefusedOnItsStep) {
    primerEjercicio();
    boxes_.answer(answer::Ok);
    const int result = muestra([](QDialog& w) {
        QTest::keyClicks(campo(w, "NRO_PERIODO"), "70000");
        siguiente(w);
        EXPECT_EQ(paso(w), "0");
        boton(w, "CmdCancelar")->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text,
              "El número de Ejercicio debe ser un número entero entre 1 y 32767");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), "0");
}

TEST_F(WizEjercicioTest, TheFirstYearIsCreatedThroughTheThreeSteps) {
    primerEjercicio();
    boxes_.answer(answer::Ok);
    const int result = muestra([](QDialog& w) {
        QTest::keyClicks(campo(w, "NRO_PERIODO"), "7");
        // Enter leaves the field for the next one in the step's order.
        QTest::keyClick(campo(w, "NRO_PERIODO"), Qt::Key_Return);
        EXPECT_EQ(w.focusWidget(), boton(w, "CmdSiguiente"));
        siguiente(w);
        ASSERT_EQ(paso(w), "1");
        EXPECT_EQ(botones(w), "+&Siguiente >>|+<< &Atras|+&Cerrar");
        QTest::keyClicks(campo(w, "NOMBRE"), "Ejercicio 2024");
        siguiente(w);
        ASSERT_EQ(paso(w), "2");
        EXPECT_EQ(botones(w), "+&Terminar|+<< &Atras|+&Cerrar");
        EXPECT_EQ(w.focusWidget(), campo(w, "FECHA_DESDE"));
        // The date fields take only what a date is written with.
        QTest::keyClicks(campo(w, "FECHA_DESDE"), "01a/01/2024");
        QTest::keyClicks(campo(w, "FECHA_HASTA"), "31/12/2024");
        EXPECT_EQ(campo(w, "FECHA_DESDE")->text(), "01/01/2024");
        siguiente(w);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(wizard_.creado());
    EXPECT_EQ(wizard_.pNuevo_Ejercicio, 7);
    EXPECT_EQ(wizard_.pDescripcion, "Ejercicio 2024");
    EXPECT_EQ(wizard_.pFecha_Desde, "01/01/2024");
    EXPECT_EQ(wizard_.pFecha_Hasta, "31/12/2024");
    EXPECT_EQ(scalar("SELECT PERIODO || '|' || DESCRIPCION FROM MV_EJERCICIOS"),
              "7|Ejercicio 2024");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "366");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "El ejercicio se creó con éxito");
}

TEST_F(WizEjercicioTest, WithYearsOpensOnTheNameWithTheFirstDayLocked) {
    siguienteEjercicio(" 01/01/2025 ", "31/12/2025 ");
    boxes_.date(QDate(2025, 6, 30)).answer(answer::Ok);
    muestra([](QDialog& w) {
        ASSERT_EQ(paso(w), "1");
        EXPECT_EQ(botones(w), "+&Siguiente >>|-<< &Atras|+&Cerrar");
        EXPECT_FALSE(campo(w, "FECHA_DESDE")->isEnabled());
        EXPECT_EQ(campo(w, "FECHA_DESDE")->text(), "01/01/2025");
        EXPECT_EQ(campo(w, "FECHA_HASTA")->text(), "31/12/2025");
        QTest::keyClicks(campo(w, "NOMBRE"), "2025");
        siguiente(w);
        ASSERT_EQ(paso(w), "2");
        EXPECT_EQ(w.focusWidget(), campo(w, "FECHA_HASTA"));
        boton(w, "CmdAnterior")->click();
        EXPECT_EQ(paso(w), "1");
        EXPECT_FALSE(boton(w, "CmdAnterior")->isEnabled());
        siguiente(w);
        // F5 opens the date picker on a date field.
        QTest::keyClick(campo(w, "FECHA_HASTA"), Qt::Key_F5);
        EXPECT_EQ(campo(w, "FECHA_HASTA")->text(), "30/06/2025");
        siguiente(w);
    });
    EXPECT_TRUE(wizard_.creado());
    EXPECT_EQ(wizard_.pNuevo_Ejercicio, 3);
    EXPECT_EQ(scalar("SELECT [FECHA HASTA] FROM MV_EJERCICIOS WHERE PERIODO = 3"),
              "2025-06-30 00:00:00");
}

TEST_F(WizEjercicioTest, TabWalksTheStepsFieldsAndButtonsRoundAndRound) {
    siguienteEjercicio("01/01/2025", "31/12/2025");
    muestra([](QDialog& w) {
        auto tabs = [&w](int times) {
            QStringList visited;
            for (int i = 0; i < times; ++i) {
                QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
                visited << (w.focusWidget() ? w.focusWidget()->objectName() : QString());
            }
            return visited.join(u' ').toStdString();
        };
        // "<< &Atras" has nothing to go back to on the first step shown.
        EXPECT_EQ(tabs(3), "CmdSiguiente CmdCancelar NOMBRE");
        campo(w, "NOMBRE")->setText("2025");
        siguiente(w);
        ASSERT_EQ(paso(w), "2");
        // The locked first day is passed over.
        EXPECT_EQ(tabs(4), "CmdSiguiente CmdAnterior CmdCancelar FECHA_HASTA");
        QTest::keyClick(w.focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(w.focusWidget()->objectName().toStdString(), "CmdCancelar");
        w.done(QDialog::Rejected);
    });
}

TEST_F(WizEjercicioTest, ANameOfBlanksIsRefusedOnItsStepAndWhenFinishing) {
    siguienteEjercicio("01/01/2025", "31/12/2024");
    boxes_.answer(answer::Ok).answer(answer::Ok).answer(answer::Ok).answer(answer::Ok);
    muestra([](QDialog& w) {
        QTest::keyClicks(campo(w, "NOMBRE"), "   ");
        siguiente(w);
        EXPECT_EQ(paso(w), "1");
        campo(w, "NOMBRE")->setText("2025");
        siguiente(w);
        campo(w, "NOMBRE")->setText(" ");
        siguiente(w);
        campo(w, "NOMBRE")->setText("2025");
        siguiente(w);
        EXPECT_TRUE(w.isVisible());
        // A single day is a year; the number field was never filled.
        campo(w, "FECHA_HASTA")->setText("01/01/2025");
        siguiente(w);
    });
    const QString sinNombre = "Es necesario que ingrese un nombre de ejercicio";
    ASSERT_EQ(boxes_.shown().size(), 4u);
    EXPECT_EQ(boxes_.shown()[0].text, sinNombre);
    EXPECT_EQ(boxes_.shown()[1].text, sinNombre);
    EXPECT_EQ(boxes_.shown()[2].text, "La Fecha Desde debe ser menor o igual a la Fecha Hasta");
    EXPECT_EQ(boxes_.shown()[3].text, "El ejercicio se creó con éxito");
    EXPECT_TRUE(wizard_.creado());
    EXPECT_EQ(wizard_.pNuevo_Ejercicio, 3);
}

TEST_F(WizEjercicioTest, ClosingOrEscapeCreatesNothing) {
    for (const bool escape : {false, true}) {
        WizEjercicio wizard;
        wizard.pPedirNroEjercicioInicial = true;
        ModalDriver modals([escape](QDialog& w) {
            campo(w, "NRO_PERIODO")->setText("1");
            siguiente(w);
            campo(w, "NOMBRE")->setText("2024");
            // The tab widget's keys do not skip a step's check.
            QTest::keyClick(campo(w, "NOMBRE"), Qt::Key_PageDown, Qt::ControlModifier);
            EXPECT_EQ(paso(w), "1");
            siguiente(w);
            campo(w, "FECHA_DESDE")->setText("01/01/2024");
            campo(w, "FECHA_HASTA")->setText("31/12/2024");
            if (escape)
                QTest::keyClick(campo(w, "FECHA_HASTA"), Qt::Key_Escape);
            else
                boton(w, "CmdCancelar")->click();
        });
        EXPECT_EQ(showModal(wizard), QDialog::Rejected) << escape;
        EXPECT_FALSE(wizard.creado());
        EXPECT_EQ(wizard.pNuevo_Ejercicio, 0);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), "0");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MA_CALENDARIO"), "0");
}

// The second press of a hurried double click waits in the queue while the
// first creates the year, which lets window events run; so does a second
// Enter. Each must find the wizard still at work and pass.
TEST_F(WizEjercicioTest, AHurriedDoubleClickOrASecondEnterOnTerminarCreatesOneYearAndSaysSoOnce) {
    primerEjercicio();
    boxes_.answer(answer::Ok);
    const int result = muestra([](QDialog& w) {
        campo(w, "NRO_PERIODO")->setText("1");
        siguiente(w);
        campo(w, "NOMBRE")->setText("2024");
        siguiente(w);
        campo(w, "FECHA_DESDE")->setText("01/01/2024");
        campo(w, "FECHA_HASTA")->setText("31/12/2024");
        QPushButton* terminar = boton(w, "CmdSiguiente");
        ASSERT_EQ(terminar->text(), "&Terminar");
        const QPointF centro = QRectF(terminar->rect()).center();
        const QPointF global = terminar->mapToGlobal(centro);
        QCoreApplication::postEvent(
            terminar, new QMouseEvent(QEvent::MouseButtonDblClick, centro, global, Qt::LeftButton,
                                      Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            terminar, new QMouseEvent(QEvent::MouseButtonRelease, centro, global, Qt::LeftButton,
                                      Qt::NoButton, Qt::NoModifier));
        terminar->setFocus();
        QCoreApplication::postEvent(terminar,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
        QCoreApplication::postEvent(
            terminar, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier));
        terminar->click();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM MV_EJERCICIOS"), "1");
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_EQ(boxes_.shown()[0].text, "El ejercicio se creó con éxito");
}

TEST_F(WizEjercicioTest, WithClosingDisabledEscapeDoesNotCloseEither) {
    primerEjercicio();
    wizard_.pNoHabilitarCancelar = true;
    muestra([](QDialog& w) {
        EXPECT_FALSE(boton(w, "CmdCancelar")->isEnabled());
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        w.done(QDialog::Rejected);
    });
}

TEST_F(WizEjercicioTest, ARefusedCreationLeavesTheNumberUnset) {
    addYear(1, "2023-01-01", "2023-12-31");
    primerEjercicio();
    boxes_.answer(answer::Abort);
    const int result = muestra([](QDialog& w) {
        campo(w, "NRO_PERIODO")->setText("1");
        siguiente(w);
        campo(w, "NOMBRE")->setText("Otro");
        siguiente(w);
        campo(w, "FECHA_DESDE")->setText("01/01/2024");
        campo(w, "FECHA_HASTA")->setText("31/12/2024");
        siguiente(w);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(wizard_.creado());
    EXPECT_EQ(wizard_.pNuevo_Ejercicio, 0);
    ASSERT_EQ(boxes_.shown().size(), 1u);
    EXPECT_TRUE(boxes_.shown()[0].title.contains("Actualizar_Datos"));
}

}  // namespace
}  // namespace kl::test
