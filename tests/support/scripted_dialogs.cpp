#include "support/scripted_dialogs.h"

#include "platform/ui/windows.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace kl::test {

ScopedDialogs::ScopedDialogs() : service_(std::make_shared<ScriptedDialogs>()) {
    service_->setUnexpectedHandler([](const ShownBox& box, const QString& reason) {
        ADD_FAILURE() << "Aviso inesperado (" << reason.toStdString()
                      << "): " << describe(box).toStdString();
    });
    previous_ = installDialogs(service_);
}

ScopedDialogs::~ScopedDialogs() {
    installDialogs(previous_);
    for (const ScriptedAnswer& left : service_->pending()) {
        ADD_FAILURE() << "Respuesta preparada para un aviso que no apareció: "
                      << describe(left).toStdString();
    }
}

ScopedDialogs& ScopedDialogs::answer(int button) {
    service_->queueButton(button);
    return *this;
}

ScopedDialogs& ScopedDialogs::text(const QString& typed) {
    service_->queueText(typed);
    return *this;
}

ScopedDialogs& ScopedDialogs::cancelInput() {
    service_->queueInputCancelled();
    return *this;
}

ScopedDialogs& ScopedDialogs::file(const QString& path) {
    service_->queueFile(path);
    return *this;
}

ScopedDialogs& ScopedDialogs::date(const std::optional<QDate>& chosen) {
    service_->queueDate(chosen);
    return *this;
}

namespace {

std::string describeWindow(const QDialog& dialog) {
    QString text =
        QStringLiteral("%1 \"%2\"")
            .arg(QString::fromLatin1(dialog.metaObject()->className()), dialog.windowTitle());
    if (const auto* box = qobject_cast<const QMessageBox*>(&dialog)) {
        text += QStringLiteral(": \"%1\"").arg(box->text());
    }
    return text.toStdString();
}

}  // namespace

ModalDriver::ModalDriver() {
    previous_ = installModalHook([this](QDialog& dialog) { return drive(dialog); });
}

ModalDriver::ModalDriver(WindowStep first) : ModalDriver() {
    then(std::move(first));
}

ModalDriver::~ModalDriver() {
    installModalHook(previous_);
    if (!steps_.empty()) {
        ADD_FAILURE() << steps_.size() << " paso(s) preparados para ventanas que no se abrieron";
    }
}

ModalDriver& ModalDriver::then(WindowStep step) {
    steps_.push_back(std::move(step));
    return *this;
}

int ModalDriver::drive(QDialog& dialog) {
    dialog.show();
    QCoreApplication::processEvents();
    if (steps_.empty()) {
        ADD_FAILURE() << "Ventana modal inesperada: " << describeWindow(dialog);
        dialog.reject();
        return dialog.result();
    }
    const WindowStep step = std::move(steps_.front());
    steps_.pop_front();
    ++driven_;
    step(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "La ventana quedó abierta después de su paso: " << describeWindow(dialog);
        dialog.reject();
    }
    return dialog.result();
}

}  // namespace kl::test
