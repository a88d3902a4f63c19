#include "platform/ui/widget_dialogs.h"

#include "platform/scripted_dialogs.h"
#include "platform/ui/date_picker.h"
#include "platform/ui/spanish_file_dialog.h"
#include "platform/ui/windows.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace kl {

namespace {

QMessageBox::Icon iconOf(int style) {
    switch (style & mb::IconMask) {
        case mb::Critical:
            return QMessageBox::Critical;
        case mb::Question:
            return QMessageBox::Question;
        case mb::Exclamation:
            return QMessageBox::Warning;
        case mb::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QString buttonText(int answer) {
    switch (answer) {
        case 1:
            return QStringLiteral("&Aceptar");
        case 2:
            return QStringLiteral("&Cancelar");
        case 3:
            return QStringLiteral("&Anular");
        case 4:
            return QStringLiteral("&Reintentar");
        case 5:
            return QStringLiteral("&Omitir");
        case 6:
            return QStringLiteral("&Sí");
        case 7:
            return QStringLiteral("&No");
        default:
            return QString();
    }
}

int WidgetDialogs::messageBox(const QString& text, int style, const QString& title) {
    QMessageBox box(iconOf(style), title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    // Messages quote names and values; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    std::map<const QAbstractButton*, int> answerOf;
    std::map<int, QPushButton*> buttonOf;
    for (const int answer : answersOf(style)) {
        // One role for all keeps the buttons in the classic order on every
        // platform's button layout.
        QPushButton* button = box.addButton(buttonText(answer), QMessageBox::ActionRole);
        answerOf[button] = answer;
        buttonOf[answer] = button;
    }
    box.setDefaultButton(buttonOf[defaultAnswer(style)]);
    const std::optional<int> escape = escapeAnswer(style);
    // Without an escape button, Escape and the window's close button do nothing.
    if (escape) box.setEscapeButton(buttonOf[*escape]);
    // Centred, as the module's operators know them.
    if (auto* bar = box.findChild<QDialogButtonBox*>()) bar->setCenterButtons(true);
    showModal(box);
    const auto clicked = answerOf.find(box.clickedButton());
    if (clicked != answerOf.end()) return clicked->second;
    return escape.value_or(defaultAnswer(style));
}

std::optional<QString> WidgetDialogs::inputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("&Aceptar"));
    dialog.setCancelButtonText(QStringLiteral("&Cancelar"));
    if (showModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

QString WidgetDialogs::openFile(const FileDialogRequest& request) {
    SpanishFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir);
    // The classic dialog lists the descriptions alone.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                              ? request.filterIndex - 1
                              : 0;
        dialog.selectNameFilter(filters[index]);
    }
    if (!request.initialFile.isEmpty()) dialog.selectFile(request.initialFile);
    if (showModal(dialog) != QDialog::Accepted) return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().value(0));
}

std::optional<QDate> WidgetDialogs::pickDate(const QDate& initial) {
    DatePickerDialog dialog(initial, QApplication::activeWindow());
    if (showModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.selectedDate();
}

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        const QString description = parts[i].trimmed();
        const QString patternText = patterns.join(QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description.isEmpty() ? patternText : description,
                                                 patternText);
    }
    return filters;
}

void installProgramDialogs() {
    if (!installScriptFromEnvironment()) installDialogs(std::make_shared<WidgetDialogs>());
}

}  // namespace kl
