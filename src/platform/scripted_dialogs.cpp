#include "platform/scripted_dialogs.h"

#include <QFile>

#include <cstdio>

namespace kl {

namespace {

constexpr auto kDateFormat = u"dd/MM/yyyy";

QString kindName(BoxKind kind) {
    switch (kind) {
        case BoxKind::Message:
            return QStringLiteral("aviso");
        case BoxKind::Input:
            return QStringLiteral("ingreso de texto");
        case BoxKind::File:
            return QStringLiteral("selección de archivo");
        case BoxKind::Date:
            return QStringLiteral("selección de fecha");
    }
    return QString();
}

void reportToConsole(const ShownBox& box, const QString& reason) {
    const QString line =
        QStringLiteral("Aviso sin respuesta prevista (%1): %2\n").arg(reason, describe(box));
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace

QString describe(const ShownBox& box) {
    QString text =
        QStringLiteral("%1 \"%2\" título \"%3\"").arg(kindName(box.kind), box.text, box.title);
    if (box.kind == BoxKind::Message) text += QStringLiteral(" estilo %1").arg(box.style);
    return text;
}

QString describe(const ScriptedAnswer& answer) {
    switch (answer.kind) {
        case BoxKind::Message:
            return QStringLiteral("respuesta %1").arg(answer.button);
        case BoxKind::Input:
            return answer.text ? QStringLiteral("texto \"%1\"").arg(*answer.text)
                               : QStringLiteral("texto cancelado");
        case BoxKind::File:
            return QStringLiteral("archivo \"%1\"").arg(answer.text.value_or(QString()));
        case BoxKind::Date:
            return answer.date ? QStringLiteral("fecha %1").arg(answer.date->toString(kDateFormat))
                               : QStringLiteral("fecha cancelada");
    }
    return QString();
}

ScriptedDialogs::ScriptedDialogs() : unexpected_(reportToConsole) {}

void ScriptedDialogs::queue(const ScriptedAnswer& answer) {
    pending_.push_back(answer);
}

void ScriptedDialogs::queue(const std::vector<ScriptedAnswer>& answers) {
    pending_.insert(pending_.end(), answers.begin(), answers.end());
}

void ScriptedDialogs::queueButton(int answer) {
    queue({BoxKind::Message, answer, std::nullopt, std::nullopt});
}

void ScriptedDialogs::queueText(const QString& text) {
    queue({BoxKind::Input, 0, text, std::nullopt});
}

void ScriptedDialogs::queueInputCancelled() {
    queue({BoxKind::Input, 0, std::nullopt, std::nullopt});
}

void ScriptedDialogs::queueFile(const QString& path) {
    queue({BoxKind::File, 0, path, std::nullopt});
}

void ScriptedDialogs::queueDate(const std::optional<QDate>& date) {
    queue({BoxKind::Date, 0, std::nullopt, date});
}

void ScriptedDialogs::setUnexpectedHandler(UnexpectedHandler handler) {
    unexpected_ = std::move(handler);
}

std::optional<ScriptedAnswer> ScriptedDialogs::take(BoxKind kind, int style) {
    QString reason;
    if (pending_.empty()) {
        reason = QStringLiteral("no queda ninguna respuesta");
    } else if (pending_.front().kind != kind) {
        reason = QStringLiteral("la próxima respuesta es %1").arg(describe(pending_.front()));
    } else if (kind == BoxKind::Message && !answersOf(style).contains(pending_.front().button)) {
        reason =
            QStringLiteral("el aviso no tiene el botón de la %1").arg(describe(pending_.front()));
    } else {
        const ScriptedAnswer answer = pending_.front();
        pending_.pop_front();
        return answer;
    }
    if (unexpected_) unexpected_(shown_.back(), reason);
    return std::nullopt;
}

int ScriptedDialogs::messageBox(const QString& text, int style, const QString& title) {
    shown_.push_back({BoxKind::Message, text, style, title, QString()});
    const std::optional<ScriptedAnswer> answer = take(BoxKind::Message, style);
    return answer ? answer->button : defaultAnswer(style);
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    shown_.push_back({BoxKind::Input, prompt, 0, title, defaultText});
    const std::optional<ScriptedAnswer> answer = take(BoxKind::Input);
    return answer ? answer->text : defaultText;
}

QString ScriptedDialogs::openFile(const FileDialogRequest& request) {
    shown_.push_back({BoxKind::File, request.filter, 0, request.title, request.initialDir});
    const std::optional<ScriptedAnswer> answer = take(BoxKind::File);
    return answer ? answer->text.value_or(QString()) : QString();
}

std::optional<QDate> ScriptedDialogs::pickDate(const QDate& initial) {
    shown_.push_back({BoxKind::Date, initial.toString(kDateFormat), 0, QString(), QString()});
    const std::optional<ScriptedAnswer> answer = take(BoxKind::Date);
    if (answer) return answer->date;
    if (!initial.isValid()) return std::nullopt;
    return initial;
}

namespace {

// The answer one script line stands for, or the problem with it.
std::optional<ScriptedAnswer> parseLine(const QString& line, QString& problem) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        bool isNumber = false;
        const int button = line.trimmed().toInt(&isNumber);
        if (isNumber && button >= 1 && button <= 7) {
            return ScriptedAnswer{BoxKind::Message, button, std::nullopt, std::nullopt};
        }
        problem = QStringLiteral(
                      "se esperaba una respuesta de 1 a 7, \"texto:\", \"archivo:\" o "
                      "\"fecha:\" y dice \"%1\"")
                      .arg(line);
        return std::nullopt;
    }
    const QString kind = line.left(colon).trimmed().toLower();
    const QString value = line.mid(colon + 1);
    if (kind == u"texto") return ScriptedAnswer{BoxKind::Input, 0, value, std::nullopt};
    if (kind == u"archivo") return ScriptedAnswer{BoxKind::File, 0, value.trimmed(), std::nullopt};
    if (kind == u"fecha") {
        const QString written = value.trimmed();
        if (written.isEmpty()) return ScriptedAnswer{BoxKind::Date, 0, std::nullopt, std::nullopt};
        const QDate date = QDate::fromString(written, kDateFormat);
        if (date.isValid()) return ScriptedAnswer{BoxKind::Date, 0, std::nullopt, date};
        problem = QStringLiteral("la fecha \"%1\" no es válida (dd/mm/aaaa)").arg(written);
        return std::nullopt;
    }
    problem = QStringLiteral("tipo de respuesta desconocido \"%1\"").arg(line.left(colon));
    return std::nullopt;
}

}  // namespace

DialogScript parseDialogScript(const QString& text) {
    DialogScript script;
    const QStringList lines = normalizeLineBreaks(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        QString problem;
        if (const std::optional<ScriptedAnswer> answer = parseLine(line, problem)) {
            script.answers.push_back(*answer);
        } else {
            script.problems << QStringLiteral("línea %1: %2").arg(i + 1).arg(problem);
        }
    }
    return script;
}

DialogScript loadDialogScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, {QStringLiteral("no se puede leer el guion de avisos \"%1\"").arg(path)}};
    }
    return parseDialogScript(QString::fromUtf8(file.readAll()));
}

std::shared_ptr<ScriptedDialogs> installScriptFromEnvironment() {
    const QString path = qEnvironmentVariable("KL_GUION_AVISOS");
    if (path.isEmpty()) return nullptr;
    auto service = std::make_shared<ScriptedDialogs>();
    const DialogScript script = loadDialogScript(path);
    if (script.problems.isEmpty()) {
        service->queue(script.answers);
    } else {
        const QString report = QStringLiteral("KL_GUION_AVISOS rechazado:\n  %1\n")
                                   .arg(script.problems.join(QLatin1String("\n  ")));
        std::fputs(report.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
    installDialogs(service);
    return service;
}

}  // namespace kl
