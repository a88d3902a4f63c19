#include "platform/dialogs.h"

#include "platform/trace_file.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace kl {

QList<int> answersOf(int style) {
    switch (style & mb::ButtonsMask) {
        case mb::OkCancel:
            return {1, 2};
        case mb::AbortRetryIgnore:
            return {3, 4, 5};
        case mb::YesNoCancel:
            return {6, 7, 2};
        case mb::YesNo:
            return {6, 7};
        case mb::RetryCancel:
            return {4, 2};
        default:
            return {1};
    }
}

int defaultAnswer(int style) {
    const QList<int> answers = answersOf(style);
    const int position = (style & mb::DefaultButtonMask) / mb::DefaultButton2;
    return position < answers.size() ? answers[position] : answers.first();
}

std::optional<int> escapeAnswer(int style) {
    const QList<int> answers = answersOf(style);
    for (const int candidate : {2, 7, 1}) {
        if (answers.contains(candidate)) return candidate;
    }
    return std::nullopt;
}

namespace {

QString describeStyle(int style) {
    static const char* const names[] = {"",           "Aceptar", "Cancelar", "Anular",
                                        "Reintentar", "Omitir",  "Sí",       "No"};
    QStringList buttons;
    for (const int answer : answersOf(style)) buttons << QString::fromUtf8(names[answer]);
    return buttons.join(QLatin1Char('/'));
}

void writeToConsole(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Nobody is there to answer: every box takes its default.
class ConsoleDialogs final : public DialogService {
  public:
    int messageBox(const QString& text, int style, const QString& title) override {
        const int answer = defaultAnswer(style);
        writeToConsole(QStringLiteral("[%1] %2 (%3) -> %4")
                           .arg(title, text, describeStyle(style))
                           .arg(answer));
        return answer;
    }
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        writeToConsole(QStringLiteral("[%1] %2 -> \"%3\"").arg(title, prompt, defaultText));
        return defaultText;
    }
    QString openFile(const FileDialogRequest& request) override {
        writeToConsole(QStringLiteral("[%1] %2 -> (ninguno)").arg(request.title, request.filter));
        return QString();
    }
    std::optional<QDate> pickDate(const QDate& initial) override {
        writeToConsole(QStringLiteral("[Fecha] %1").arg(initial.toString(u"dd/MM/yyyy")));
        if (!initial.isValid()) return std::nullopt;
        return initial;
    }
};

std::shared_ptr<DialogService>& installedService() {
    static std::shared_ptr<DialogService> service;
    return service;
}

QString escapeForTrace(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    escaped.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return escaped;
}

void traceBox(const QString& title, int style, const QString& text, int answer) {
    if (qEnvironmentVariableIsEmpty("KL_TRAZA_AVISOS")) return;
    const QString line = QStringList{escapeForTrace(title), QString::number(style),
                                     escapeForTrace(text), QString::number(answer)}
                             .join(QLatin1Char('\t'));
    trace::appendLine("KL_TRAZA_AVISOS", line);
}

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? defaultTitle() : title;
}

}  // namespace

DialogService& dialogs() {
    static ConsoleDialogs console;
    DialogService* service = installedService().get();
    return service ? *service : console;
}

std::shared_ptr<DialogService> installDialogs(std::shared_ptr<DialogService> service) {
    std::shared_ptr<DialogService> previous = std::move(installedService());
    installedService() = std::move(service);
    return previous;
}

int MsgBox(const QString& text, int style, const QString& title) {
    const QString shownTitle = titleOrDefault(title);
    const QString shownText = normalizeLineBreaks(text);
    const int answer = dialogs().messageBox(shownText, style, shownTitle);
    traceBox(shownTitle, style, shownText, answer);
    return answer;
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return dialogs()
        .inputBox(normalizeLineBreaks(prompt), titleOrDefault(title), defaultText)
        .value_or(QString());
}

QString defaultTitle() {
    // Qt names the application after its executable unless told otherwise.
    const QString name =
        QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? QStringLiteral("klconfig") : name;
}

QString normalizeLineBreaks(const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized;
}

void DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

}  // namespace kl
