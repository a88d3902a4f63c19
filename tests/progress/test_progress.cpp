#include "platform/ado/busy_wait.h"
#include "progress/animation_frames.h"
#include "progress/aviso_espera_bloqueo.h"
#include "progress/dll_display.h"
#include "progress/lbf_ctrldisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

namespace kl {
namespace {

QStringList linesOf(const Dll_Display& display) {
    QStringList lines;
    for (int index = 0; index < Lbf_CtrlDisplay::kLineCount; ++index) {
        lines << display.window()->LblCtrol(index)->text();
    }
    return lines;
}

class ProgressNotice : public testing::Test {
  protected:
    void TearDown() override { display.CartelCerrar(); }

    Dll_Display display;
    bool cancelado = false;
};

TEST_F(ProgressNotice, LinesKeepTheirTextUnlessGivenAndNullShowsEmpty) {
    display.CartelInicio(QStringLiteral("Actualizando Datos"), false);
    display.CartelMostrar(cancelado, "X", "Y", "Z");
    EXPECT_EQ(linesOf(display), (QStringList{"X", "Y", "Z"}));

    display.CartelMostrar(cancelado, "A");
    EXPECT_EQ(linesOf(display), (QStringList{"A", "Y", "Z"}));

    display.CartelMostrar(cancelado, std::nullopt, Value::null(), 2024);
    EXPECT_EQ(linesOf(display), (QStringList{"A", "", "2024"}));
}

TEST_F(ProgressNotice, CancelHoldsFromThePressUntilTheNoticeCloses) {
    display.CartelInicio(QStringLiteral("Generando"), true);
    Lbf_CtrlDisplay* window = display.window();
    EXPECT_TRUE(window->CmdDisplayCancelar()->isVisible());
    EXPECT_EQ(window->CmdDisplayCancelar()->text(), QStringLiteral("&Cancelar"));
    display.CartelMostrar(cancelado, "Generando el Reporte");
    EXPECT_FALSE(cancelado);

    window->CmdDisplayCancelar()->click();
    EXPECT_EQ(window->CmdDisplayCancelar()->text(), QStringLiteral("Abortado"));
    display.CartelMostrar(cancelado, "Generando el Reporte");
    EXPECT_TRUE(cancelado);
    display.CartelMostrar(cancelado);
    EXPECT_TRUE(cancelado);

    display.CartelCerrar();
    display.CartelInicio(QStringLiteral("Generando"), true);
    display.CartelMostrar(cancelado);
    EXPECT_FALSE(cancelado);
}

TEST_F(ProgressNotice, PressDuringAnUpdateIsReportedByTheNextOne) {
    display.CartelInicio(QStringLiteral("Generando"), true);
    // The press waits in the event queue, as a real click would while the
    // task works; the update that lets it run cannot report it yet.
    QTimer::singleShot(0, display.window()->CmdDisplayCancelar(), &QPushButton::click);
    display.CartelMostrar(cancelado, "1");
    EXPECT_FALSE(cancelado);
    display.CartelMostrar(cancelado, "2");
    EXPECT_TRUE(cancelado);
}

TEST_F(ProgressNotice, WithoutCancellingThereIsNoButtonAndNoCancel) {
    display.CartelInicio(QStringLiteral("Actualizando Datos"), false);
    EXPECT_FALSE(display.window()->CmdDisplayCancelar()->isVisible());
    display.CartelMostrar(cancelado, "Actualizando Cotizaciones ", "Fecha 02/01/2024");
    EXPECT_FALSE(cancelado);
}

TEST_F(ProgressNotice, UpdateWithoutAWindowLoadsOneHidden) {
    display.CartelMostrar(cancelado, "A");
    ASSERT_NE(display.window(), nullptr);
    EXPECT_FALSE(display.window()->isVisible());
    EXPECT_EQ(display.window()->windowTitle(), QStringLiteral("Procesando Datos"));
    EXPECT_EQ(display.window()->LblCtrol(0)->text(), QStringLiteral("A"));
}

TEST_F(ProgressNotice, CloseReleasesTheWindowAndTheNextStartIsFresh) {
    display.CartelInicio(QStringLiteral("Primero"), true);
    QPointer<Lbf_CtrlDisplay> first = display.window();
    display.CartelMostrar(cancelado, "X", "Y", "Z");
    first->CmdDisplayCancelar()->click();

    display.CartelCerrar();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(display.window(), nullptr);

    display.CartelInicio(QStringLiteral("Segundo"), false);
    EXPECT_EQ(display.window()->windowTitle(), QStringLiteral("Segundo"));
    EXPECT_EQ(linesOf(display), (QStringList{"", "", ""}));
    EXPECT_EQ(display.window()->CmdDisplayCancelar()->text(), QStringLiteral("&Cancelar"));
}

TEST_F(ProgressNotice, OpensModelessCentredTranslucentWithNamedBoldLines) {
    display.CartelInicio(QStringLiteral("Actualizando Datos de la Configuración"), false);
    Lbf_CtrlDisplay* window = display.window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Actualizando Datos de la Configuración"));
    EXPECT_EQ(qRound(window->windowOpacity() * 255), 200);

    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    const QPoint centre = window->geometry().center();
    EXPECT_LE(std::abs(centre.x() - screenCentre.x()), 1);
    EXPECT_LE(std::abs(centre.y() - screenCentre.y()), 1);

    for (int index = 0; index < Lbf_CtrlDisplay::kLineCount; ++index) {
        EXPECT_EQ(window->LblCtrol(index)->accessibleName(),
                  QStringLiteral("Línea %1").arg(index + 1));
        EXPECT_TRUE(window->LblCtrol(index)->font().bold());
    }
}

TEST_F(ProgressNotice, LongTextsDoNotResizeTheWindow) {
    display.CartelInicio(QStringLiteral("Actualizando Datos"), false);
    const QSize size = display.window()->size();
    display.CartelMostrar(cancelado, QString(300, QLatin1Char('M')));
    EXPECT_EQ(display.window()->size(), size);
}

TEST_F(ProgressNotice, TopmostBandKeepsPlaceSizeAndVisibility) {
    display.CartelInicio(QStringLiteral("Generando"), true);
    Lbf_CtrlDisplay* window = display.window();
    const QRect geometry = window->geometry();

    display.Siempre_Visible(true);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_TRUE(window->isVisible());

    display.Siempre_Visible(false);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
}

TEST(ProgressAnimation, TwelveDistinctFramesPlayInALoop) {
    Lbf_CtrlDisplay window;
    ASSERT_EQ(window.ImageList1().size(), 12);
    QSet<QByteArray> distinct;
    for (const QPixmap& frame : window.ImageList1()) {
        const QImage image = frame.toImage();
        distinct.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(distinct.size(), 12);

    const auto shows = [&](int frame) {
        return window.Image1()->pixmap().cacheKey() == window.ImageList1().at(frame).cacheKey();
    };
    EXPECT_TRUE(shows(0));
    for (int tick = 1; tick <= 11; ++tick) {
        window.Timer1_Timer();
    }
    EXPECT_EQ(window.frameCounter(), 11);
    EXPECT_TRUE(shows(10));
    window.Timer1_Timer();
    EXPECT_EQ(window.frameCounter(), 0);
    EXPECT_TRUE(shows(11));
    window.Timer1_Timer();
    EXPECT_EQ(window.frameCounter(), 1);
    EXPECT_TRUE(shows(0));
    EXPECT_TRUE(window.Timer1()->isActive());
}

TEST(ProgressSharedInstance, LivesFromFirstUseUntilReleased) {
    Dll_Display& first = dllDisplay();
    EXPECT_EQ(&dllDisplay(), &first);
    first.CartelInicio(QStringLiteral("Actualizando Datos"), false);
    QPointer<Lbf_CtrlDisplay> window = first.window();
    releaseDllDisplay();
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

Lbf_CtrlDisplay* waitNotice() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* notice = qobject_cast<Lbf_CtrlDisplay*>(w);
        if (notice && notice->isVisible() && notice->windowTitle() == "Base de datos ocupada")
            return notice;
    }
    return nullptr;
}

TEST(LockWaitNotice, ShowsAfterTheQuietSecondsGoesWhenTheWaitEndsAndCancels) {
    instalaAvisoEsperaBloqueo();
    EXPECT_TRUE(ado::keepWaitingForLock(500));
    EXPECT_EQ(waitNotice(), nullptr) << "a short wait goes unshown";

    EXPECT_TRUE(ado::keepWaitingForLock(2500));
    Lbf_CtrlDisplay* notice = waitNotice();
    ASSERT_NE(notice, nullptr);
    QStringList texts;
    for (QLabel* l : notice->findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains("Esperando que otro puesto libere") &&
                texts.contains("la base de datos..."))
        << texts.join('|').toStdString();

    // No more waiting: the notice goes by itself.
    QElapsedTimer clock;
    clock.start();
    while (waitNotice() && clock.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(waitNotice(), nullptr);

    // Cancelling stops the wait.
    EXPECT_TRUE(ado::keepWaitingForLock(2100));
    ASSERT_NE(waitNotice(), nullptr);
    waitNotice()->CmdDisplayCancelar()->click();
    EXPECT_FALSE(ado::keepWaitingForLock(2200));
    EXPECT_EQ(waitNotice(), nullptr);
    ado::setBusyWaitObserver({});
}

}  // namespace
}  // namespace kl
