#include "platform/error_numbers.h"
#include "session/brimcor2.h"

#include "dblayer/db_dll.h"
#include "platform/conversions.h"

#include "platform/textfile.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kl::Brimcor2 {
namespace {

const QString kSep = QDir::separator();

TEST(Brimcor2Text, AgregaBarraAddsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(AgregaBarra(QStringLiteral("/opt/kl")), QStringLiteral("/opt/kl") + kSep);
    EXPECT_EQ(AgregaBarra(QStringLiteral("/opt/kl/")), u"/opt/kl/");
    EXPECT_EQ(AgregaBarra(QString()), u"");
}

TEST(Brimcor2Text, ValorNoNuloTurnsNullIntoEmptyText) {
    EXPECT_EQ(ValorNoNulo(Value::null()), u"");
    EXPECT_EQ(ValorNoNulo(Value()), u"");
    EXPECT_EQ(ValorNoNulo(Value(7)), u"7");
    EXPECT_EQ(ValorNoNulo(QStringLiteral(" SI ")), u" SI ");
    EXPECT_EQ(ValorNoNulo(Value(QDate(2024, 3, 5))), u"05/03/2024");
}

TEST(Brimcor2Text, RemovingAndReplacingCharacters) {
    EXPECT_EQ(QuitaCaracteres(QStringLiteral("a=b==c"), QStringLiteral("=")), u"abc");
    const QString padded = QStringLiteral("AB") + QChar(0) + QChar(0xFF) + u'C' + QChar(0);
    EXPECT_EQ(QuitaCaracteres(padded, QString(QChar(0)) + QChar(0xFF)), u"ABC");
    EXPECT_EQ(QuitaCaracteres(QStringLiteral("03-0000125"), QStringLiteral("-")), u"030000125");
    // Whole characters: an emoji is two halves in the text, removed together,
    // and its neighbour that shares a half with it stays intact.
    const QString smile = QString::fromUtf8("\U0001F600");
    const QString grin = QString::fromUtf8("\U0001F601");
    EXPECT_EQ(QuitaCaracteres("x" + smile + "y" + grin + "z", smile), "xy" + grin + "z");
    EXPECT_EQ(QuitaCaracteres(smile + grin, grin), smile);
    // A lone half is a character of its own, kept unless asked for.
    const QString lone(QChar(0xD83D));
    EXPECT_EQ(QuitaCaracteres("a" + lone + "b" + smile, smile), "a" + lone + "b");
    EXPECT_EQ(QuitaCaracteres("a" + lone + smile, lone), "a" + smile);
    EXPECT_EQ(ReemplazaCaracter(QStringLiteral("|a|b|"), u'|', u','), u",a,b,");
    EXPECT_EQ(Reemplaza(QStringLiteral("SELECT * FROM V_MA_ARTICULOS, v_ma_articulos"),
                        QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS")),
              u"SELECT * FROM VT_MA_ARTICULOS, v_ma_articulos");
    EXPECT_EQ(Reemplaza(QStringLiteral("a v_x"), QStringLiteral("V_X"), QStringLiteral("y"),
                        Qt::CaseInsensitive),
              u"a y");
    EXPECT_EQ(Reemplaza(QStringLiteral("abc"), QString(), QStringLiteral("x")), u"abc");
}

TEST(Brimcor2Text, AlineaDerechaPadsOnTheLeftAndNeverCuts) {
    EXPECT_EQ(AlineaDerecha(QStringLiteral("12"), 4), u"  12");
    EXPECT_EQ(AlineaDerecha(QStringLiteral(" 12  "), 4), u"  12");
    EXPECT_EQ(AlineaDerecha(QStringLiteral("FCA"), 3), u"FCA");
    EXPECT_EQ(AlineaDerecha(QStringLiteral("12345"), 4), u"12345");
    EXPECT_EQ(AlineaDerecha(QString(), 2), u"  ");
    EXPECT_EQ(AlineaDerecha(QStringLiteral("  abc ")), u"abc");
}

TEST(Brimcor2Text, NumbersFromTexts) {
    EXPECT_TRUE(EsNumerico(QStringLiteral("100")));
    EXPECT_TRUE(EsNumerico(QStringLiteral(" 10.5 ")));
    EXPECT_TRUE(EsNumerico(QStringLiteral("10,5")));
    EXPECT_TRUE(EsNumerico(QStringLiteral("-3")));
    EXPECT_FALSE(EsNumerico(QString()));
    EXPECT_FALSE(EsNumerico(QStringLiteral("10 %")));
    EXPECT_FALSE(EsNumerico(QStringLiteral("abc")));

    EXPECT_EQ(ValorMoneda(QStringLiteral("12,5")).toString(), u"12.5");
    EXPECT_EQ(ValorMoneda(QStringLiteral("1.23456")).currencyScaled(), 12346);
    EXPECT_EQ(ValorMoneda(QStringLiteral("1440|2880|")).toString(), u"1440");
    EXPECT_EQ(ValorMoneda(QStringLiteral("abc")).toString(), u"0");
    EXPECT_EQ(ValorMoneda(QString()).kind(), Value::Kind::Currency);

    EXPECT_EQ(ValorLong(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ValorLong(QStringLiteral("3.5")), 4);
    EXPECT_EQ(ValorLong(QStringLiteral("3abc")), 3);
    EXPECT_EQ(ValorLong(QStringLiteral(" ")), 0);
}

TEST(Brimcor2Text, CuentaPalabrasCountsBlankSeparatedWords) {
    EXPECT_EQ(CuentaPalabras(QString()), 0);
    EXPECT_EQ(CuentaPalabras(QStringLiteral("   ")), 0);
    EXPECT_EQ(CuentaPalabras(QStringLiteral("LEN")), 1);
    EXPECT_EQ(CuentaPalabras(QStringLiteral("  SUM(a)\tAS\n total ")), 3);
}

// The shared access layer on a connection string of one kind of database,
// and back to none afterwards.
class ConnectionKind {
  public:
    explicit ConnectionKind(const QString& connectionString) {
        db::releaseSharedDb();
        db::sharedDb().gConnString = connectionString;
        db::sharedDb().gCnn->setConnectionString(connectionString);
    }
    ~ConnectionKind() { db::releaseSharedDb(); }
};

const QString kSqlServer =
    QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV01;Database =CONTAB;UId=sa;Pwd=;");
const QString kOracle =
    QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=CONTAB;User Id=a;Password=b;");
const QString kEmbedded = QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =contab.db;");

TEST(Brimcor2Text, FechaSqlWritesTheLiteralOfTheConnectionsDatabase) {
    struct Case {
        QString connection;
        Value date;
        const char* literal;
    };
    const std::vector<Case> cases = {
        // Day first in the text; the day above 12 and the one below it must
        // both reach the database as 13 and 5 February.
        {kSqlServer, QStringLiteral("13/02/2024"), "'20240213 00:00:00'"},
        {kSqlServer, QStringLiteral("05/02/2024"), "'20240205 00:00:00'"},
        {kSqlServer, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)), "'20231231 23:59:58'"},
        {kOracle, QStringLiteral("13/02/2024"), "TO_DATE('20240213 000000','YYYYMMDD HH24MISS')"},
        {kOracle, QStringLiteral("5/2/24 14:30"), "TO_DATE('20240205 143000','YYYYMMDD HH24MISS')"},
        {kEmbedded, QStringLiteral("13/02/2024"), "'2024-02-13 00:00:00'"},
        {kEmbedded, QDate(2024, 1, 2), "'2024-01-02 00:00:00'"},
    };
    for (const Case& c : cases) {
        ConnectionKind kind(c.connection);
        EXPECT_EQ(FechaSQL(c.date), QString::fromLatin1(c.literal))
            << c.connection.toStdString() << " " << c.date.toString().toStdString();
    }
}

TEST(Brimcor2Text, AStatementBuiltWithFechaSqlReachesTheDatabaseWhole) {
    const auto periodo = [] {
        return "SELECT PERIODO FROM MV_EJERCICIOS WHERE [FECHA DESDE] <= " +
               FechaSQL(QStringLiteral("13/02/2024")) +
               " AND [FECHA HASTA] >= " + FechaSQL(QStringLiteral("05/02/2024"));
    };
    {
        ConnectionKind kind(kSqlServer);
        EXPECT_EQ(periodo(),
                  "SELECT PERIODO FROM MV_EJERCICIOS WHERE [FECHA DESDE] <= '20240213 00:00:00' "
                  "AND [FECHA HASTA] >= '20240205 00:00:00'");
    }
    // On Oracle the statement is translated on its way; the dates keep their
    // day, month and time.
    ConnectionKind kind(kOracle);
    QString translated;
    ASSERT_FALSE(db::sharedDb().ORACLE_Dicc(periodo(), translated));
    EXPECT_EQ(translated,
              "SELECT PERIODO FROM MV_EJERCICIOS WHERE \"FECHA DESDE\" <= "
              "TO_DATE('20240213 000000','YYYYMMDD HH24MISS') AND \"FECHA HASTA\" >= "
              "TO_DATE('20240205 000000','YYYYMMDD HH24MISS')");
}

TEST(Brimcor2Text, FechaSqlOfWhatIsNotADateIsEmpty) {
    for (const Value& notADate : {Value(QStringLiteral("31/02/2024")), Value(QStringLiteral("")),
                                  Value::null(), Value(), Value(45000), Value(true)}) {
        EXPECT_EQ(FechaSQL(notADate), u"") << notADate.toString().toStdString();
    }
}

TEST(Brimcor2Text, DivideRutaKeepsFolderPlusFileEqualToThePath) {
    const auto check = [](const char* path, const char* folder, const char* file) {
        const PartesRuta parts = DivideRuta(QString::fromUtf8(path));
        EXPECT_EQ(parts.carpeta, QString::fromUtf8(folder)) << path;
        EXPECT_EQ(parts.archivo, QString::fromUtf8(file)) << path;
    };
    check("C:\\KL\\Fondos\\logo.wmf", "C:\\KL\\Fondos\\", "logo.wmf");
    check("/opt/kl/fondo.wmf", "/opt/kl/", "fondo.wmf");
    check("/fondo.wmf", "/", "fondo.wmf");
    check("fondo.wmf", "", "fondo.wmf");
    check("/opt/kl/", "/opt/kl/", "");
    check("", "", "");
}

// Windows-1252 text of the 256 byte values.
QString everyCharacter() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) bytes += char(b);
    return cp1252::decode(bytes);
}

void expectSafeForSharedFiles(const QString& encoded) {
    for (const QChar c : encoded) {
        const bool safe = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                          (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        ASSERT_TRUE(safe) << "unexpected character " << int(c.unicode()) << " in "
                          << encoded.toStdString();
    }
}

TEST(Brimcor2Encoding, EveryWindows1252CharacterRoundTrips) {
    const QString all = everyCharacter();
    for (const QChar c : all) {
        const QString encoded = CodificaTexto(QString(c));
        expectSafeForSharedFiles(encoded);
        EXPECT_EQ(DecodificaTexto(encoded), QString(c)) << "character " << int(c.unicode());
    }
    const QString encoded = CodificaTexto(all);
    expectSafeForSharedFiles(encoded);
    EXPECT_EQ(DecodificaTexto(encoded), all);
}

TEST(Brimcor2Encoding, RandomTextsRoundTrip) {
    const QString all = everyCharacter();
    std::mt19937 generator(20240305);
    std::uniform_int_distribution<int> length(0, 64);
    std::uniform_int_distribution<int> pick(0, 255);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int n = length(generator); n > 0; --n) text += all[pick(generator)];
        const QString encoded = CodificaTexto(text);
        expectSafeForSharedFiles(encoded);
        ASSERT_EQ(DecodificaTexto(encoded), text) << "round " << round;
    }
}

TEST(Brimcor2Encoding, HidesThePlainText) {
    EXPECT_EQ(CodificaTexto(QString()), u"");
    const QString encoded = CodificaTexto(QStringLiteral("aaaaaaaaaaaaaaaaaaaaaaaa"));
    EXPECT_FALSE(encoded.contains(QStringLiteral("aaa")));
    // Repeated characters do not give a repeated pattern.
    EXPECT_NE(encoded.left(8), encoded.mid(8, 8));
    EXPECT_NE(CodificaTexto(QStringLiteral("clave1")), CodificaTexto(QStringLiteral("clave2")));
}

TEST(Brimcor2Encoding, CharactersOutsideWindows1252ComeBackAsQuestionMarks) {
    EXPECT_EQ(DecodificaTexto(CodificaTexto(QString::fromUtf8("a\u4E2Db"))), u"a?b");
}

TEST(Brimcor2Encoding, BlanksAroundTheEncodedTextAreNotPartOfIt) {
    const QString encoded = CodificaTexto(QStringLiteral("clave secreta"));
    for (const QString& edited : {" " + encoded, encoded + "  ", "\t" + encoded + " "}) {
        EXPECT_EQ(DecodificaTexto(edited), u"clave secreta") << edited.toStdString();
    }
}

TEST(Brimcor2Encoding, TextsItDidNotWriteDecodeAsEmpty) {
    for (const char* foreign : {"a", "abc,", "ab'c", "a b", "====", "ñandú", "QUJD=", "AB+/"}) {
        EXPECT_EQ(DecodificaTexto(QString::fromUtf8(foreign)), u"") << foreign;
    }
}

TEST(Brimcor2Notice, AvisoErrorShowsTheFailureAndReturnsTheAnswer) {
    test::ScopedDialogs boxes;
    boxes.answer(answer::Retry);
    const RunError failure{3021, QStringLiteral("No hay ningún registro actual."),
                           QStringLiteral("ADODB.Recordset")};
    EXPECT_EQ(AvisoError(failure, kEstiloAvisoError, QStringLiteral("Cfg")), answer::Retry);
    ASSERT_EQ(boxes.shown().size(), 1u);
    const ShownBox& box = boxes.shown()[0];
    EXPECT_EQ(box.style, mb::AbortRetryIgnore | mb::Critical);
    EXPECT_TRUE(box.text.contains(u"3021")) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(failure.description)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(failure.source)) << box.text.toStdString();
    EXPECT_TRUE(box.title.contains(u"Cfg")) << box.title.toStdString();
}

TEST(Brimcor2Notice, AvisoErrorTakesOtherStylesAndNoRoutine) {
    test::ScopedDialogs boxes;
    boxes.answer(answer::Ok);
    EXPECT_EQ(AvisoError(RunError{5, QStringLiteral("Argumento no válido"), {}}, mb::OkOnly),
              answer::Ok);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].style, mb::OkOnly);
    EXPECT_EQ(boxes.shown()[0].text, u"Error 5: Argumento no válido");
}

TEST(Brimcor2Notice, TheRoutineNoticeDrivesRetryIgnoreAndAbort) {
    test::ScopedDialogs boxes;
    boxes.answer(answer::Retry).answer(answer::Ignore).answer(answer::Abort);
    int runs = 0;
    const Step failing = [&]() -> StepResult {
        ++runs;
        return RunError{91, QStringLiteral("Variable de objeto no establecida"), {}};
    };
    const Step unreached = [&]() -> StepResult {
        ADD_FAILURE() << "step after an abort ran";
        return std::nullopt;
    };
    const FailureNotice notice = avisoErrorPara(QStringLiteral("GrabaDfg"));
    EXPECT_EQ(runStep(failing, notice), StepOutcome::Ignored);
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(runSteps({failing, unreached}, notice));
    ASSERT_EQ(boxes.shown().size(), 3u);
    for (const ShownBox& box : boxes.shown()) EXPECT_TRUE(box.title.contains(u"GrabaDfg"));
}

TEST(Brimcor2Dates, SeleccionaFechaStartsAtTheTextAndGivesTheChosenDay) {
    test::ScopedDialogs boxes;
    boxes.date(QDate(2024, 12, 31));
    EXPECT_EQ(SeleccionaFecha(QStringLiteral("05/03/2024")), u"31/12/2024");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, BoxKind::Date);
    EXPECT_EQ(boxes.shown()[0].text, u"05/03/2024");
}

TEST(Brimcor2Dates, SeleccionaFechaStartsTodayWithoutADate) {
    test::ScopedDialogs boxes;
    boxes.date(QDate(2025, 1, 9));
    EXPECT_EQ(SeleccionaFecha(QString()), u"09/01/2025");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, conv::formatDate(QDate::currentDate()));
}

TEST(Brimcor2Dates, CancellingKeepsTheText) {
    test::ScopedDialogs boxes;
    boxes.date(std::nullopt).date(std::nullopt);
    EXPECT_EQ(SeleccionaFecha(QStringLiteral("01/02/2023")), u"01/02/2023");
    EXPECT_EQ(SeleccionaFecha(QStringLiteral("no es fecha")), u"no es fecha");
}

TEST(Brimcor2FileDialog, ShowOpenGivesTheChosenPath) {
    test::ScopedDialogs boxes;
    boxes.file(QStringLiteral("/datos/contab.mdb"));
    DialogoArchivo dialog;
    dialog.DialogTitle = QStringLiteral("Buscar Base de Datos");
    dialog.Filter = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
    dialog.FileName = QStringLiteral("/inicio/anterior.mdb");
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_EQ(dialog.FileName, u"/datos/contab.mdb");
    EXPECT_FALSE(dialog.DialogoCancelado());
    ASSERT_EQ(boxes.shown().size(), 1u);
    const ShownBox& box = boxes.shown()[0];
    EXPECT_EQ(box.kind, BoxKind::File);
    EXPECT_EQ(box.title, u"Buscar Base de Datos");
    EXPECT_EQ(box.text, u"Base de Datos de Microsoft Access |*.MDB");
    EXPECT_EQ(box.detail, u"/inicio/");
}

TEST(Brimcor2FileDialog, CancellingLeavesNoPath) {
    test::ScopedDialogs boxes;
    boxes.file(QString()).file(QString()).file(QStringLiteral("/x/y.wmf"));
    DialogoArchivo dialog;
    dialog.FileName = QStringLiteral("/viejo.mdb");
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_TRUE(dialog.DialogoCancelado());
    EXPECT_EQ(dialog.FileName, u"");

    dialog.CancelError = true;
    const StepResult cancelled = dialog.ShowOpen();
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->number, ado::err::DialogCancelled);
    EXPECT_TRUE(dialog.DialogoCancelado());

    // A later choice clears the cancelled state.
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_FALSE(dialog.DialogoCancelado());
    EXPECT_EQ(dialog.FileName, u"/x/y.wmf");
}

TEST(Brimcor2Text, FixedTexts) {
    EXPECT_FALSE(TextoPorDefecto().isEmpty());
    EXPECT_EQ(TextoLetra(QStringLiteral("a"), 1), u" A");
    EXPECT_EQ(TextoLetra(QStringLiteral(" B "), 1), u" B");
    EXPECT_EQ(TextoLetra(QStringLiteral("AB"), 1), u" A");
    EXPECT_EQ(TextoLetra(QStringLiteral("c"), 3), u" C  ");
    EXPECT_EQ(TextoLetra(QString(), 1), u"");
    EXPECT_EQ(TextoLetra(QStringLiteral("A"), 0), u"");
}

TEST(Brimcor2Screen, ModoEsperaIsBalanced) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ModoEspera(true);
    ModoEspera(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ModoEspera(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ModoEspera(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(Brimcor2Screen, AjustaVentanaKeepsTheWindowOnTheScreen) {
    QWidget window;
    const QRect available = window.screen()->availableGeometry();
    window.setGeometry(available.right() + 300, available.top() - 200, 100, 80);
    AjustaVentana(&window);
    EXPECT_TRUE(available.contains(window.frameGeometry())) << window.x() << "," << window.y();
    EXPECT_EQ(window.size(), QSize(100, 80));

    window.resize(available.width() + 500, available.height() + 400);
    AjustaVentana(&window);
    EXPECT_TRUE(available.contains(window.frameGeometry()));
    AjustaVentana(nullptr);
}

TEST(Brimcor2Screen, PreparaFormularioCentresWhenAsked) {
    QWidget window;
    const QRect available = window.screen()->availableGeometry();
    window.setGeometry(available.left(), available.top(), 200, 100);
    PreparaFormulario(&window, false);
    EXPECT_EQ(window.frameGeometry().topLeft(), available.topLeft());
    PreparaFormulario(&window, true);
    EXPECT_LE((window.frameGeometry().center() - available.center()).manhattanLength(), 2);
    EXPECT_EQ(window.font(), QApplication::font());
    PreparaFormulario(nullptr, true);
}

TEST(Brimcor2System, NamesAndFolders) {
    EXPECT_FALSE(NombreMaquina().isEmpty());
    const QByteArray saved = qgetenv("USERNAME");
    qputenv("USERNAME", "contador");
    EXPECT_EQ(UsuarioWindows(), u"contador");
    // Without any of the variables the account running the program answers.
    QList<QByteArray> others;
    for (const char* variable : {"USER", "LOGNAME"}) {
        others << qgetenv(variable);
        qunsetenv(variable);
    }
    qunsetenv("USERNAME");
    EXPECT_FALSE(UsuarioWindows().isEmpty());
    for (int i = 0; i < 2; ++i) {
        if (!others[i].isEmpty()) qputenv(i == 0 ? "USER" : "LOGNAME", others[i]);
    }
    if (!saved.isEmpty()) qputenv("USERNAME", saved);
    const QFileInfo folder(CarpetaSistema());
    EXPECT_TRUE(folder.isDir());
    EXPECT_TRUE(folder.isWritable());
}

// Catches what EjecutaDocumento hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(Brimcor2System, EjecutaDocumentoOpensThroughTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("klprueba"), &catcher, "open");
    EXPECT_TRUE(EjecutaDocumento(QStringLiteral(" klprueba://manual/indice "), 6));
    QDesktopServices::unsetUrlHandler(QStringLiteral("klprueba"));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), QUrl(QStringLiteral("klprueba://manual/indice")));

    EXPECT_FALSE(EjecutaDocumento(QString()));
    EXPECT_FALSE(EjecutaDocumento(QStringLiteral("   ")));
    QTemporaryDir dir;
    EXPECT_FALSE(EjecutaDocumento(dir.filePath(QStringLiteral("no-existe.pdf"))));
}

TEST(Brimcor2Settings, LeeIniReadsTheValueOrTheDefault) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kl000pr.ini"));
    ASSERT_TRUE(cp1252::writeFile(file, QStringLiteral("[Skin]\r\nNumero=4\r\n")));
    EXPECT_EQ(LeeIni(file, QStringLiteral("skin"), QStringLiteral("NUMERO"), QStringLiteral("0")),
              u"4");
    EXPECT_EQ(LeeIni(file, QStringLiteral("skin"), QStringLiteral("otro"), QStringLiteral("0")),
              u"0");
}

// A window with text boxes bound to configuration keys.
class FieldsWindow : public ::testing::Test {
  protected:
    QLineEdit* addBox(const char* dataField, const char* tag = "") {
        auto* box = new QLineEdit(&window);
        window.layout()->addWidget(box);
        box->setProperty(kDataField, QString::fromUtf8(dataField));
        box->setProperty(kTag, QString::fromUtf8(tag));
        boxes.push_back(box);
        return box;
    }
    void SetUp() override { new QVBoxLayout(&window); }

    QWidget window;
    std::vector<QLineEdit*> boxes;
};

TEST_F(FieldsWindow, BuscaIndiceFindsTheKeyIgnoringCase) {
    addBox("NOMBRE");
    addBox("PERIODO");
    addBox("CondIVA");
    addBox("FECHAOPERHasta", "FECHA");
    EXPECT_EQ(BuscaIndice(QStringLiteral("periodo"), boxes), 1);
    EXPECT_EQ(BuscaIndice(QStringLiteral("CONDIVA"), boxes), 2);
    EXPECT_EQ(BuscaIndice(QStringLiteral("FECHAOPERHASTA"), boxes), 3);
    EXPECT_EQ(BuscaIndice(QStringLiteral("CUIT"), boxes), -1);
    EXPECT_EQ(BuscaIndice(QStringLiteral("PERIODO "), boxes), -1);

    // Gaps in the array keep the positions of the elements after them.
    const QList<QWidget*> withGap{nullptr, boxes[0], nullptr, boxes[2]};
    EXPECT_EQ(BuscaIndice(QStringLiteral("condiva"), withGap), 3);
    EXPECT_EQ(BuscaIndice(QStringLiteral("x"), QList<QWidget*>{}), -1);
}

TEST(Brimcor2Fields, AdvanceKeys) {
    for (const int key :
         {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Up, Qt::Key_Backtab}) {
        EXPECT_TRUE(EsTeclaAvance(key)) << key;
    }
    for (const int key :
         {int(Qt::Key_A), int(Qt::Key_F5), int(Qt::Key_Escape), int(Qt::Key_Left), 13}) {
        EXPECT_FALSE(EsTeclaAvance(key)) << key;
    }
}

TEST_F(FieldsWindow, AvanzaCampoSkipsWhatCannotTakeTheFocus) {
    QLineEdit* first = addBox("NOMBRE");
    QLineEdit* disabled = addBox("PERIODO");
    QLineEdit* hidden = addBox("CUIT");
    QLineEdit* last = addBox("CondIVA");
    disabled->setEnabled(false);
    window.show();
    hidden->hide();
    first->setFocus();

    EXPECT_TRUE(AvanzaCampo(first, Qt::Key_Return));
    EXPECT_EQ(window.focusWidget(), last);
    EXPECT_TRUE(AvanzaCampo(last, Qt::Key_Up));
    EXPECT_EQ(window.focusWidget(), first);
    EXPECT_TRUE(AvanzaCampo(first, Qt::Key_Down));
    EXPECT_EQ(window.focusWidget(), last);

    EXPECT_FALSE(AvanzaCampo(last, Qt::Key_A));
    EXPECT_EQ(window.focusWidget(), last);
    EXPECT_FALSE(AvanzaCampo(nullptr, Qt::Key_Return));
}

TEST_F(FieldsWindow, AvanzaCampoWithNowhereToGoStays) {
    QLineEdit* only = addBox("NOMBRE");
    window.show();
    only->setFocus();
    EXPECT_FALSE(AvanzaCampo(only, Qt::Key_Return));
    EXPECT_EQ(window.focusWidget(), only);
}

TEST_F(FieldsWindow, FiltraTeclaSwallowsEnterAndGuardsDateFields) {
    QLineEdit* name = addBox("NOMBRE");
    QLineEdit* date = addBox("FECHAOPERDESDE", " fecha ");
    EXPECT_EQ(FiltraTecla(name, '\r'), 0);
    EXPECT_EQ(FiltraTecla(date, '\r'), 0);
    EXPECT_EQ(FiltraTecla(name, 'a'), 'a');
    EXPECT_EQ(FiltraTecla(name, 0xF1), 0xF1);
    for (const int accepted : {int('0'), int('9'), int('/'), int('-'), int('.'), 8}) {
        EXPECT_EQ(FiltraTecla(date, accepted), accepted) << accepted;
    }
    for (const int refused : {int('a'), int(' '), int(','), 0xF1}) {
        EXPECT_EQ(FiltraTecla(date, refused), 0) << refused;
    }
    EXPECT_EQ(FiltraTecla(nullptr, 'x'), 'x');
}

TEST(Brimcor2Component, EstableceRutaAplicacionKeepsTheFolder) {
    EstableceRutaAplicacion(QStringLiteral("/opt/kl/"));
    EXPECT_EQ(RutaAplicacion(), u"/opt/kl/");
}

}  // namespace
}  // namespace kl::Brimcor2

#include "test_brimcor2.moc"
