#pragma once

#include "platform/dialogs.h"

#include <QStringList>

namespace kl {

// The dialogs a person answers, built with Qt Widgets and shown through
// showModal(), so the modal hook can drive them in tests.
class WidgetDialogs final : public DialogService {
  public:
    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    // The chosen path with the platform's separators.
    QString openFile(const FileDialogRequest& request) override;
    std::optional<QDate> pickDate(const QDate& initial) override;
};

// The caption of a message-box button by its answer code ("&Aceptar" ...).
QString buttonText(int answer);

// "Descripción|*.ext|Otra|*.a;*.b" as Qt name filters: "Descripción (*.ext)",
// "Otra (*.a *.b)". A description without patterns is dropped; empty
// patterns mean every file.
QStringList qtNameFilters(const QString& filter);

// The program's dialogs: the scripted ones when KL_GUION_AVISOS names a
// script (automated tests), otherwise the widget ones.
void installProgramDialogs();

}  // namespace kl
