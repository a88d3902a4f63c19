// Start-up of the configuration tool, from exec to its filled window first
// painted, against a bare Qt dialog with as many controls of each kind,
// both as separate processes, side by side in one run. The display is the
// one DISPLAY names (an Xvfb for a quiet figure); without it, offscreen.
//
//   bench_arranque [rondas]
//
// Each process writes "pintada <ms since main>" on its first paint; the
// difference to the wall time seen from here is exec, the loading of the
// libraries and static set-up. A third kind of child repeats the
// program's start-up step by step and prints where the time goes.

#include "cli.h"
#include "config/frm_configuracion.h"
#include "login/ventana_acceso.h"
#include "platform/ui/first_paint.h"
#include "platform/ui/spanish.h"
#include "platform/ui/widget_dialogs.h"
#include "progress/aviso_espera_bloqueo.h"
#include "session/brimcor2.h"
#include "session/estilo_ventanas.h"
#include "startup/inicio_sesion.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVBoxLayout>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace kl;

#ifndef KL_PROGRAMA
#error "KL_PROGRAMA names the configuration tool's executable"
#endif

qint64 cpuMs() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000LL + t.tv_usec / 1000; };
    return ms(uso.ru_utime) + ms(uso.ru_stime);
}

// How many controls of each kind the configuration window holds.
struct Controles {
    int etiquetas = 0, cuadros = 0, casillas = 0, botones = 0, marcos = 0, deslizadores = 0;
    QList<int> pestanas;  // tabs of each tab control

    QStringList argumentos() const {
        QStringList a;
        for (int n : {etiquetas, cuadros, casillas, botones, marcos, deslizadores})
            a << QString::number(n);
        for (int n : pestanas) a << QString::number(n);
        return a;
    }
    static Controles de(const QStringList& a) {
        Controles c;
        int* campos[] = {&c.etiquetas, &c.cuadros, &c.casillas,
                         &c.botones,   &c.marcos,  &c.deslizadores};
        for (int i = 0; i < 6; ++i) *campos[i] = a.value(i).toInt();
        for (qsizetype i = 6; i < a.size(); ++i) c.pestanas << a[i].toInt();
        return c;
    }
    QString texto() const {
        QStringList tabs;
        for (int n : pestanas) tabs << QString::number(n);
        return QStringLiteral(
                   "%1 etiquetas, %2 cuadros, %3 casillas, %4 botones, %5 marcos, "
                   "%6 deslizador, pestañas %7")
            .arg(etiquetas)
            .arg(cuadros)
            .arg(casillas)
            .arg(botones)
            .arg(marcos)
            .arg(deslizadores)
            .arg(tabs.join(u'+'));
    }
};

Controles cuenta(const QWidget& ventana) {
    Controles c;
    c.etiquetas = int(ventana.findChildren<QLabel*>().size());
    c.cuadros = int(ventana.findChildren<QLineEdit*>().size());
    c.casillas = int(ventana.findChildren<QCheckBox*>().size());
    c.botones = int(ventana.findChildren<QPushButton*>().size());
    c.marcos = int(ventana.findChildren<QGroupBox*>().size());
    c.deslizadores = int(ventana.findChildren<QSlider*>().size());
    for (const QTabWidget* tabs : ventana.findChildren<QTabWidget*>()) c.pestanas << tabs->count();
    return c;
}

// The bare dialog: the same controls, spread over the tabs in frames with
// form layouts, the buttons along the bottom.
void armaDialogo(QDialog& dialogo, const Controles& c) {
    auto* raiz = new QVBoxLayout(&dialogo);
    auto* principal = new QTabWidget;
    raiz->addWidget(principal);
    QList<QWidget*> paginas;
    for (qsizetype t = 0; t < c.pestanas.size(); ++t) {
        for (int i = 0; i < c.pestanas[t]; ++i) {
            auto* pagina = new QWidget;
            new QVBoxLayout(pagina);
            paginas << pagina;
            if (t == 0) principal->addTab(pagina, QStringLiteral("Pestaña %1").arg(i + 1));
        }
    }
    // The other tab controls sit on the first tab control's pages.
    for (qsizetype t = 1, usadas = c.pestanas.value(0); t < c.pestanas.size(); ++t) {
        auto* interna = new QTabWidget;
        for (int i = 0; i < c.pestanas[t]; ++i)
            interna->addTab(paginas[usadas + i], QStringLiteral("Interna %1").arg(i + 1));
        paginas[t % c.pestanas.value(0)]->layout()->addWidget(interna);
        usadas += c.pestanas[t];
    }
    QList<QFormLayout*> formularios;
    for (int i = 0; i < std::max(c.marcos, 1); ++i) {
        auto* form = new QFormLayout;
        auto* marco = new QGroupBox(QStringLiteral("Marco %1").arg(i + 1));
        marco->setLayout(form);
        paginas[i % paginas.size()]->layout()->addWidget(marco);
        formularios << form;
    }
    int etiquetas = c.etiquetas;
    for (int i = 0; i < c.cuadros; ++i) {
        QFormLayout* form = formularios[i % formularios.size()];
        if (etiquetas-- > 0)
            form->addRow(QStringLiteral("Campo %1").arg(i + 1), new QLineEdit(QStringLiteral("0")));
        else
            form->addRow(new QLineEdit);
    }
    for (int i = 0; i < c.casillas; ++i)
        formularios[i % formularios.size()]->addRow(new QCheckBox(QStringLiteral("NO")));
    for (int i = 0; i < etiquetas; ++i)
        formularios[i % formularios.size()]->addRow(new QLabel(QStringLiteral("Etiqueta")));
    for (int i = 0; i < c.deslizadores; ++i)
        formularios[i % formularios.size()]->addRow(new QSlider(Qt::Horizontal));
    auto* botones = new QHBoxLayout;
    for (int i = 0; i < c.botones; ++i)
        botones->addWidget(new QPushButton(QStringLiteral("Botón %1").arg(i + 1)));
    raiz->addLayout(botones);
}

int dialogoDesnudo(QApplication& app, const QStringList& cantidades, const QElapsedTimer& main) {
    QDialog dialogo;
    armaDialogo(dialogo, Controles::de(cantidades));
    dialogo.show();
    afterFirstPaint(dialogo, [&] {
        std::printf("pintada %lld %lld\n", static_cast<long long>(main.elapsed()), cpuMs());
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}

// The program's own start-up (app/main.cpp and the window's load), a mark
// after each step.
int etapas(QApplication& app, const QString& parametros, const QElapsedTimer& main) {
    std::vector<std::pair<const char*, qint64>> marcas{{"QApplication", main.elapsed()}};
    const auto marca = [&](const char* que) { marcas.emplace_back(que, main.elapsed()); };
    QApplication::setApplicationName(QStringLiteral("klconfig"));
    installSpanishTranslations();
    installProgramDialogs();
    installLoginWindow();
    instalaAvisoEsperaBloqueo();
    setCommandLine(parametros);
    marca("traducciones y servicios");
    frmConfiguracion ventana;
    marca("controles de la ventana");
    Brimcor2::PreparaFormulario(&ventana, true);
    AsignaIcono(ventana);
    marca("preparacion e icono");
    IniciaSesion();
    marca("sesion (base, permisos, acceso)");
    AplicaEstiloVisual(ventana, ventana.SkinFramework1);
    marca("estilo visual");
    ventana.CargaConfiguracion();
    marca("claves y ejercicios");
    ventana.show();
    marca("show");
    afterFirstPaint(ventana, [&] {
        marca("primer pintado");
        qint64 antes = 0;
        for (const auto& [que, ms] : marcas) {
            std::printf("  %-34s %5lld ms\n", que, static_cast<long long>(ms - antes));
            antes = ms;
        }
        std::fflush(stdout);
        ventana.close();
    });
    return app.exec();
}

struct Corrida {
    bool ok = false;
    qint64 pared = 0;   // exec to the paint, seen from here
    qint64 enMain = 0;  // main() to the paint, seen by the child
};

Corrida corre(const QString& programa, const QStringList& argumentos,
              const QProcessEnvironment& entorno) {
    QProcess hijo;
    hijo.setProcessEnvironment(entorno);
    QElapsedTimer reloj;
    reloj.start();
    hijo.start(programa, argumentos);
    Corrida c;
    QByteArray salida;
    while (hijo.waitForReadyRead(60000)) {
        salida += hijo.readAllStandardOutput();
        const qsizetype en = salida.indexOf("pintada ");
        if (en >= 0 && salida.indexOf('\n', en) > en) {
            c.pared = reloj.elapsed();
            const QList<QByteArray> campos = salida.mid(en).split('\n')[0].split(' ');
            c.enMain = campos.value(1).toLongLong();
            c.ok = true;
            break;
        }
    }
    hijo.waitForFinished(60000);
    return c;
}

qint64 mediana(std::vector<qint64> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer desdeMain;
    desdeMain.start();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.value(1) == u"dialogo") return dialogoDesnudo(app, args.mid(2), desdeMain);
    if (args.value(1) == u"etapas") return etapas(app, args.value(2), desdeMain);

    const int rondas = std::max(1, args.value(1, QStringLiteral("9")).toInt());
    QTemporaryDir carpeta;
    const QString base = carpeta.filePath(QStringLiteral("demo.db"));
    {
        QString texto;
        QTextStream out(&texto), err(&texto);
        if (klbase::runCommand({QStringLiteral("demo"), base}, out, err) != 0) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(texto));
            return 1;
        }
    }
    const QString parametros = QStringLiteral(
                                   "@Server=sqlite;@DbName=%1;@Usuario=ADMIN;@Password=;"
                                   "@UsuarioLogeado=ADMIN;")
                                   .arg(base);
    Controles controles;
    {
        frmConfiguracion ventana;
        controles = cuenta(ventana);
    }
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    const bool xvfb = entorno.contains(QStringLiteral("DISPLAY")) &&
                      !entorno.contains(QStringLiteral("QT_QPA_PLATFORM"));
    if (!xvfb) entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("XDG_CONFIG_HOME"), carpeta.filePath(QStringLiteral("config")));
    entorno.insert(QStringLiteral("TEMP"), carpeta.path());
    entorno.insert(QStringLiteral("TMP"), carpeta.path());
    entorno.insert(QStringLiteral("KL_MEDIR_ARRANQUE"), QStringLiteral("1"));

    std::printf(
        "Arranque hasta la ventana pintada, %d rondas, pantalla %s\n", rondas,
        xvfb ? qUtf8Printable(QStringLiteral("X ") + entorno.value("DISPLAY")) : "offscreen");
    std::printf("Controles: %s\n", qUtf8Printable(controles.texto()));
    std::vector<qint64> programa, programaMain, dialogo, dialogoMain;
    for (int i = 0; i < rondas; ++i) {
        const Corrida p = corre(QStringLiteral(KL_PROGRAMA), parametros.split(u' '), entorno);
        const Corrida d =
            corre(QApplication::applicationFilePath(),
                  QStringList{QStringLiteral("dialogo")} + controles.argumentos(), entorno);
        if (!p.ok || !d.ok) {
            std::fprintf(stderr, "Una corrida no llegó a pintar su ventana.\n");
            return 1;
        }
        programa.push_back(p.pared);
        programaMain.push_back(p.enMain);
        dialogo.push_back(d.pared);
        dialogoMain.push_back(d.enMain);
    }
    const auto linea = [](const char* que, qint64 pared, qint64 enMain) {
        std::printf("  %-26s %5lld ms (antes de main %4lld ms, desde main %5lld ms)\n", que,
                    static_cast<long long>(pared), static_cast<long long>(pared - enMain),
                    static_cast<long long>(enMain));
    };
    linea("configuración (mediana)", mediana(programa), mediana(programaMain));
    linea("diálogo desnudo (mediana)", mediana(dialogo), mediana(dialogoMain));
    std::printf("  razón: %.2f (objetivo: a lo sumo 1.5)\n",
                double(mediana(programa)) / double(std::max<qint64>(1, mediana(dialogo))));

    std::printf("Dónde va el tiempo (una corrida, desde main):\n");
    std::fflush(stdout);
    QProcess pasos;
    pasos.setProcessEnvironment(entorno);
    pasos.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    pasos.start(QApplication::applicationFilePath(), {QStringLiteral("etapas"), parametros});
    pasos.waitForFinished(60000);
    return 0;
}
