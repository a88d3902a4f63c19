#include "platform/ui/widget_dialogs.h"

#include "platform/ui/date_picker.h"
#include "platform/ui/spanish.h"
#include "platform/ui/windows.h"
#include "support/scripted_dialogs.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kl {
namespace {

struct ButtonSet {
    QStringList captions;
    QList<int> answers;
};

// The classic sets, written out independently of the code under test.
ButtonSet expectedButtons(int buttons) {
    switch (buttons) {
        case 0:
            return {{"&Aceptar"}, {1}};
        case 1:
            return {{"&Aceptar", "&Cancelar"}, {1, 2}};
        case 2:
            return {{"&Anular", "&Reintentar", "&Omitir"}, {3, 4, 5}};
        case 3:
            return {{"&Sí", "&No", "&Cancelar"}, {6, 7, 2}};
        case 4:
            return {{"&Sí", "&No"}, {6, 7}};
        default:
            return {{"&Reintentar", "&Cancelar"}, {4, 2}};
    }
}

QMessageBox::Icon expectedIcon(int icon) {
    switch (icon) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The box's buttons from left to right, as the operator sees them.
QList<QAbstractButton*> buttonsOnScreen(QMessageBox& box) {
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [&box](QAbstractButton* a, QAbstractButton* b) {
        return a->mapTo(&box, QPoint()).x() < b->mapTo(&box, QPoint()).x();
    });
    return buttons;
}

QStringList captionsOf(const QList<QAbstractButton*>& buttons) {
    QStringList captions;
    for (const QAbstractButton* button : buttons) captions << button->text();
    return captions;
}

void pressEscape(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

using StyleParts = std::tuple<int, int, int>;  // buttons, icon, default button

class MessageBoxCombination : public testing::TestWithParam<StyleParts> {};

TEST_P(MessageBoxCombination, ButtonsIconDefaultAndEveryAnswer) {
    const auto [buttons, icon, defaultBit] = GetParam();
    const int style = buttons | icon | defaultBit;
    const ButtonSet expected = expectedButtons(buttons);
    const int defaultPosition = defaultBit / 256 < expected.answers.size() ? defaultBit / 256 : 0;

    for (int clicked = 0; clicked < expected.answers.size(); ++clicked) {
        SCOPED_TRACE(testing::Message() << "style " << style << ", clicking button " << clicked);
        test::ModalDriver modals([&](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Título"));
            EXPECT_EQ(box->text(), QStringLiteral("Primera línea\nSegunda <b>línea</b>"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), expectedIcon(icon));
            const QList<QAbstractButton*> onScreen = buttonsOnScreen(*box);
            EXPECT_EQ(captionsOf(onScreen), expected.captions);
            EXPECT_EQ(box->defaultButton(), onScreen.value(defaultPosition));
            if (onScreen.size() > clicked) onScreen[clicked]->click();
        });
        EXPECT_EQ(WidgetDialogs().messageBox(QStringLiteral("Primera línea\nSegunda <b>línea</b>"),
                                             style, QStringLiteral("Título")),
                  expected.answers[clicked]);
    }
}

INSTANTIATE_TEST_SUITE_P(AllStyles, MessageBoxCombination,
                         testing::Combine(testing::Range(0, 6), testing::Values(0, 16, 32, 48, 64),
                                          testing::Values(0, 256, 512)),
                         // Names without blanks: CTest keys its timings by name.
                         [](const testing::TestParamInfo<StyleParts>& info) {
                             return "buttons" + std::to_string(std::get<0>(info.param)) + "_icon" +
                                    std::to_string(std::get<1>(info.param)) + "_default" +
                                    std::to_string(std::get<2>(info.param));
                         });

// Escape gives Cancel where the box has it, No on a Yes/No box, OK on an
// OK box; Abort/Retry/Ignore must be answered with a button.
TEST(MessageBoxEscape, GivesCancelOrNoWhereTheBoxHasThem) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 2}, {3, 2}, {4, 7}, {5, 2}};
    for (const auto& [style, answer] : cases) {
        SCOPED_TRACE(style);
        test::ModalDriver modals([](QDialog& dialog) { pressEscape(dialog); });
        EXPECT_EQ(WidgetDialogs().messageBox(QStringLiteral("x"), style, QStringLiteral("t")),
                  answer);
    }
}

TEST(MessageBoxEscape, AbortRetryIgnoreIgnoresEscapeAndTheCloseButton) {
    test::ModalDriver modals([](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        pressEscape(box);
        EXPECT_TRUE(box.isVisible());
        EXPECT_FALSE(box.close());
        EXPECT_TRUE(box.isVisible());
        buttonsOnScreen(box)[2]->click();
    });
    EXPECT_EQ(WidgetDialogs().messageBox(QStringLiteral("x"), mb::AbortRetryIgnore | mb::Critical,
                                         QStringLiteral("t")),
              5);
}

TEST(InputBoxWidget, SpanishButtonsPromptAndDefaultText) {
    test::ModalDriver modals;
    modals
        .then([](QDialog& dialog) {
            auto* input = qobject_cast<QInputDialog*>(&dialog);
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->windowTitle(), QStringLiteral("Ingreso"));
            EXPECT_EQ(input->labelText(), QStringLiteral("Usuario:\nde la base"));
            EXPECT_EQ(input->textValue(), QStringLiteral("sa"));
            QStringList captions;
            for (const QPushButton* button : input->findChildren<QPushButton*>()) {
                captions << button->text();
            }
            captions.sort();
            EXPECT_EQ(captions, QStringList({"&Aceptar", "&Cancelar"}));
            input->setTextValue(QStringLiteral("ADMIN"));
            input->accept();
        })
        .then([](QDialog& dialog) { pressEscape(dialog); });
    WidgetDialogs service;
    EXPECT_EQ(service.inputBox(QStringLiteral("Usuario:\nde la base"), QStringLiteral("Ingreso"),
                               QStringLiteral("sa")),
              QStringLiteral("ADMIN"));
    EXPECT_EQ(service.inputBox(QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("sa")),
              std::nullopt);
}

TEST(DatePickerWidget, StartsOnTheGivenDateInSpanishAndReturnsTheChosenOne) {
    test::ModalDriver modals;
    modals
        .then([](QDialog& dialog) {
            auto* picker = qobject_cast<DatePickerDialog*>(&dialog);
            ASSERT_NE(picker, nullptr);
            EXPECT_EQ(picker->calendar().selectedDate(), QDate(2026, 12, 31));
            EXPECT_EQ(picker->calendar().locale().name(), QStringLiteral("es_AR"));
            EXPECT_EQ(picker->calendar().firstDayOfWeek(), Qt::Monday);
            QStringList captions;
            for (const QPushButton* button : picker->findChildren<QPushButton*>()) {
                captions << button->text();
            }
            EXPECT_TRUE(captions.contains(QStringLiteral("&Aceptar")))
                << captions.join(',').toStdString();
            EXPECT_TRUE(captions.contains(QStringLiteral("&Cancelar")));
            picker->calendar().setSelectedDate(QDate(2027, 1, 15));
            picker->accept();
        })
        .then([](QDialog& dialog) {
            auto& picker = static_cast<DatePickerDialog&>(dialog);
            EXPECT_EQ(picker.calendar().selectedDate(), QDate::currentDate());
            Q_EMIT picker.calendar().activated(QDate(2026, 2, 28));
        })
        .then([](QDialog& dialog) { dialog.reject(); });
    WidgetDialogs service;
    EXPECT_EQ(service.pickDate(QDate(2026, 12, 31)), QDate(2027, 1, 15));
    EXPECT_EQ(service.pickDate(QDate()), QDate::currentDate());
    EXPECT_EQ(service.pickDate(QDate(2026, 12, 31)), std::nullopt);
}

TEST(DatePickerWidget, ShowsAllSixWeeksUnderASkinThatFramesItsGrid) {
    QWidget skinned;
    // The skins draw the grid's frame themselves.
    skinned.setStyleSheet(QStringLiteral("QTableView { border: 1px solid #7a8aa6; }"));
    // August 2026 starts on a Saturday: its 31 days span six weeks.
    DatePickerDialog picker(QDate(2026, 8, 31), &skinned);
    picker.show();
    auto* grid = picker.calendar().findChild<QTableView*>();
    ASSERT_NE(grid, nullptr);
    const int lastRow = grid->model()->rowCount() - 1;
    ASSERT_EQ(lastRow, 6);
    // The rows stretch to the grid but never below the header's smallest
    // section: below that height the last week falls outside.
    EXPECT_GE(grid->viewport()->height(),
              (lastRow + 1) * grid->verticalHeader()->minimumSectionSize());
    EXPECT_LE(grid->rowViewportPosition(lastRow) + grid->rowHeight(lastRow),
              grid->viewport()->height());
}

TEST(FileDialogWidget, TitleFiltersIndexAndChosenFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = QDir(folder.path()).filePath(QStringLiteral("Contab.mdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    test::ModalDriver modals;
    modals
        .then([&](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->windowTitle(), QStringLiteral("Seleccionar la Base de Datos"));
            EXPECT_EQ(files->nameFilters(),
                      QStringList({"Texto (*.txt)", "Bases Access (*.mdb *.mde)"}));
            // The descriptions alone are shown, as in the classic dialog.
            EXPECT_EQ(files->selectedNameFilter(), QStringLiteral("Bases Access"));
            EXPECT_TRUE(files->testOption(QFileDialog::HideNameFilterDetails));
            EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(QDir(files->directory()).canonicalPath(),
                      QDir(folder.path()).canonicalPath());
            // As the operator types it: the folder is still loading.
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("Contab.mdb"));
            dialog.accept();
        })
        .then([](QDialog& dialog) { dialog.reject(); });
    WidgetDialogs service;
    FileDialogRequest request;
    request.title = QStringLiteral("Seleccionar la Base de Datos");
    request.filter = QStringLiteral("Texto|*.txt|Bases Access|*.mdb;*.mde");
    request.filterIndex = 2;
    request.initialDir = folder.path();
    EXPECT_EQ(QFileInfo(service.openFile(request)).canonicalFilePath(),
              QFileInfo(path).canonicalFilePath());
    EXPECT_EQ(service.openFile(request), QString());
}

TEST(FileDialogWidget, EveryTextIsSpanishTheListIncluded) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QDir(folder.path()).mkdir(QStringLiteral("Logos"));
    const QString image = QDir(folder.path()).filePath(QStringLiteral("fondo.wmf"));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'x'));
    file.close();
    const QDateTime modified(QDate(2026, 11, 28), QTime(17, 5));
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();

    test::ModalDriver modals([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
        const auto text = [&](const char* name) {
            const QObject* child = files.findChild<QObject*>(QLatin1String(name));
            if (const auto* label = qobject_cast<const QLabel*>(child)) return label->text();
            if (const auto* action = qobject_cast<const QAction*>(child)) return action->text();
            if (const auto* button = qobject_cast<const QToolButton*>(child))
                return button->toolTip();
            return QStringLiteral("(sin %1)").arg(QLatin1String(name));
        };
        const std::pair<const char*, const char*> texts[] = {
            {"lookInLabel", "Buscar en:"},
            {"fileNameLabel", "Nombre de archivo:"},
            {"fileTypeLabel", "Tipo de archivo:"},
            {"qt_rename_action", "Cambiar &nombre"},
            {"qt_delete_action", "&Eliminar"},
            {"qt_show_hidden_action", "Mostrar archivos &ocultos"},
            {"qt_new_folder_action", "&Nueva carpeta"},
            {"backButton", "Atrás"},
            {"toParentButton", "Subir un nivel"},
            {"detailModeButton", "Detalles"},
        };
        for (const auto& [name, expected] : texts)
            EXPECT_EQ(text(name), QString::fromUtf8(expected)) << name;
        QStringList buttons;
        for (const QPushButton* button :
             files.findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
            buttons << button->text();
        buttons.sort();
        EXPECT_EQ(buttons, QStringList({"&Abrir", "Cancelar"}));

        const QAbstractProxyModel* list = files.proxyModel();
        ASSERT_NE(list, nullptr);
        const auto* model = qobject_cast<const QFileSystemModel*>(list->sourceModel());
        ASSERT_NE(model, nullptr);
        const auto row = [&](const QString& path) {
            const QModelIndex name = list->mapFromSource(model->index(path));
            QStringList cells;
            for (int column = 1; column < 4; ++column)
                cells << list->index(name.row(), column, name.parent()).data().toString();
            return cells;
        };
        EXPECT_EQ(row(image), QStringList({"2 kB", "Archivo WMF", "28/11/2026 17:05"}));
        EXPECT_EQ(row(QDir(folder.path()).filePath(QStringLiteral("Logos"))).mid(0, 2),
                  QStringList({"", "Carpeta"}));
        QStringList headers;
        for (int column = 0; column < 4; ++column)
            headers << list->headerData(column, Qt::Horizontal).toString();
        EXPECT_EQ(headers, QStringList({"Nombre", "Tamaño", "Tipo", "Fecha de modificación"}));
        dialog.reject();
    });
    WidgetDialogs().openFile({QStringLiteral("Seleccionar la Base de Datos"),
                              QStringLiteral("Windows Metafiles(*.wmf)|*.wmf"),
                              1,
                              folder.path(),
                              {}});
}

TEST(FileFilterConversion, ClassicPairsBecomeQtNameFilters) {
    EXPECT_EQ(qtNameFilters(QStringLiteral("Descripción|*.ext|Otra|*.a;*.b")),
              QStringList({"Descripción (*.ext)", "Otra (*.a *.b)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Bases (*.mdb)|*.mdb")),
              QStringList({"Bases (*.mdb) (*.mdb)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral(" Todos | *.* ; ")), QStringList({"Todos (*.*)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("|*.txt")), QStringList({"*.txt (*.txt)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Todos|")), QStringList({"Todos (*)"}));
    // A description left without its patterns is dropped.
    EXPECT_EQ(qtNameFilters(QStringLiteral("Texto|*.txt|Otra")), QStringList({"Texto (*.txt)"}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}

TEST(FileDialogWidget, FilterIndexOutOfRangeSelectsTheFirst) {
    for (const int index : {0, 3, -1}) {
        test::ModalDriver modals([](QDialog& dialog) {
            EXPECT_EQ(static_cast<QFileDialog&>(dialog).selectedNameFilter(), QStringLiteral("A"));
            dialog.reject();
        });
        WidgetDialogs().openFile(
            {QStringLiteral("t"), QStringLiteral("A|*.a|B|*.b"), index, {}, {}});
    }
}

TEST(ModalHook, ReplacesExecAndComesBackOnRestore) {
    QDialog dialog;
    const ModalHook previous = installModalHook([](QDialog&) { return 42; });
    EXPECT_EQ(showModal(dialog), 42);
    const ModalHook mine = installModalHook(previous);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine(dialog), 42);
}

TEST(ModalDriver, UnexpectedWindowAndWindowLeftOpenFailLoudly) {
    EXPECT_NONFATAL_FAILURE(
        {
            test::ModalDriver modals;
            QMessageBox box(QMessageBox::Warning, QStringLiteral("t"),
                            QStringLiteral("No hay conexión"));
            showModal(box);
        },
        "No hay conexión");
    EXPECT_NONFATAL_FAILURE(
        {
            test::ModalDriver modals([](QDialog&) {});
            QDialog dialog;
            dialog.setWindowTitle(QStringLiteral("frmAcceso"));
            EXPECT_EQ(showModal(dialog), QDialog::Rejected);
        },
        "quedó abierta");
    EXPECT_NONFATAL_FAILURE({ test::ModalDriver modals([](QDialog&) {}); }, "no se abrieron");
}

TEST(ScreenTwips, FifteenTwipsAPixelAt96Dpi) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_DOUBLE_EQ(screen->logicalDotsPerInchX(), 96.0);
    EXPECT_EQ(twipsPerPixelX(), 15);
    EXPECT_EQ(twipsPerPixelY(), 15);
    EXPECT_EQ(screenWidthTwips(), screen->geometry().width() * 15);
    EXPECT_EQ(screenHeightTwips(), screen->geometry().height() * 15);
}

TEST(SpanishTranslations, QtTextsAndFormatsBecomeArgentine) {
    const QLocale saved;
    EXPECT_TRUE(installSpanishTranslations());
    EXPECT_EQ(QLocale().name(), QStringLiteral("es_AR"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Abrir"));
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace kl
