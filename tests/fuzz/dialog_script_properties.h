#pragma once

// What the reader of a script of answers (KL_GUION_AVISOS) promises for any
// text whatever, checked by the fuzz target and by the tests' runs of its
// seeds: every line that is neither blank nor a comment gives one answer or
// one problem naming it, the answers written back as a script read back the
// same, and the boxes take them in order. The check gives an empty text when
// the promise holds and says what broke otherwise.

#include "platform/dialogs.h"
#include "platform/scripted_dialogs.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace kl::properties {

inline QString scriptLine(const ScriptedAnswer& answer) {
    switch (answer.kind) {
        case BoxKind::Message:
            return QString::number(answer.button);
        case BoxKind::Input:
            return QStringLiteral("texto:") + answer.text.value_or(QString());
        case BoxKind::File:
            return QStringLiteral("archivo:") + answer.text.value_or(QString());
        case BoxKind::Date:
            return QStringLiteral("fecha:") +
                   (answer.date ? answer.date->toString(u"dd/MM/yyyy") : QString());
    }
    return QString();
}

// A message box whose buttons include the answer (1 Ok, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No).
inline int styleWith(int button) {
    switch (button) {
        case 1:
            return mb::OkOnly;
        case 2:
            return mb::OkCancel;
        case 4:
            return mb::RetryCancel;
        case 6:
        case 7:
            return mb::YesNo;
    }
    return mb::AbortRetryIgnore;
}

// The answer the box of the answer's kind got from the service.
inline bool taken(ScriptedDialogs& boxes, const ScriptedAnswer& answer) {
    switch (answer.kind) {
        case BoxKind::Message:
            return boxes.messageBox(QStringLiteral("?"), styleWith(answer.button), QString()) ==
                   answer.button;
        case BoxKind::Input:
            return boxes.inputBox(QStringLiteral("?"), QString(), QStringLiteral("\x01")) ==
                   answer.text;
        case BoxKind::File:
            return boxes.openFile({}) == answer.text.value_or(QString());
        case BoxKind::Date:
            return boxes.pickDate(QDate(2000, 1, 1)) == answer.date;
    }
    return false;
}

inline QString dialogScriptViolation(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    const DialogScript script = parseDialogScript(text);

    qsizetype lines = 0;
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& line : normalized.split(u'\n'))
        lines += !line.trimmed().isEmpty() && !line.trimmed().startsWith(u'#');
    if (qsizetype(script.answers.size()) + script.problems.size() != lines)
        return QStringLiteral("%1 answers and %2 problems for %3 lines")
            .arg(script.answers.size())
            .arg(script.problems.size())
            .arg(lines);
    static const QRegularExpression named(QStringLiteral("^línea [1-9][0-9]*: "));
    for (const QString& problem : script.problems) {
        if (!named.match(problem).hasMatch()) return QStringLiteral("unnamed: ") + problem;
    }

    QStringList written;
    for (const ScriptedAnswer& answer : script.answers) written << scriptLine(answer);
    const DialogScript again = parseDialogScript(written.join(u'\n'));
    if (!again.problems.isEmpty() || again.answers.size() != script.answers.size())
        return QStringLiteral("written back as a script with problems: ") + written.join(u'|');
    for (std::size_t i = 0; i < again.answers.size(); ++i) {
        if (scriptLine(again.answers[i]) != written[qsizetype(i)])
            return QStringLiteral("[%1] read back as [%2]")
                .arg(written[qsizetype(i)], scriptLine(again.answers[i]));
    }

    ScriptedDialogs boxes;
    QString unexpected;
    boxes.setUnexpectedHandler(
        [&](const ShownBox&, const QString& reason) { unexpected = reason; });
    boxes.queue(script.answers);
    for (const ScriptedAnswer& answer : script.answers) {
        if (!taken(boxes, answer) || !unexpected.isEmpty())
            return QStringLiteral("the box did not take ") + describe(answer) + u' ' + unexpected;
    }
    return QString();
}

}  // namespace kl::properties
