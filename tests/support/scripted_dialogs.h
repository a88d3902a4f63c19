#pragma once

#include "platform/scripted_dialogs.h"

#include <QDate>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;

namespace kl::test {

// Answers the boxes of the code under test from a queue while it lives:
//
//     kl::test::ScopedDialogs boxes;
//     boxes.answer(kl::answer::Yes).text("ADMIN");
//     ... code that shows a Yes/No box and an input box ...
//     EXPECT_EQ(boxes.shown()[0].text, "¿Desea continuar?");
//
// A box with no fitting answer queued is a test failure that quotes the box;
// so is an answer still queued at the end (a box that never appeared).
// The service in force before comes back on destruction.
class ScopedDialogs {
  public:
    ScopedDialogs();
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

    ScopedDialogs& answer(int button);
    ScopedDialogs& text(const QString& typed);
    ScopedDialogs& cancelInput();
    // An empty path cancels the file dialog.
    ScopedDialogs& file(const QString& path);
    // nullopt cancels the date picker.
    ScopedDialogs& date(const std::optional<QDate>& chosen);

    // Every box shown so far, in order.
    const std::vector<ShownBox>& shown() const { return service_->shown(); }
    ScriptedDialogs& service() { return *service_; }

  private:
    std::shared_ptr<ScriptedDialogs> service_;
    std::shared_ptr<DialogService> previous_;
};

// Drives the modal windows the code under test opens through showModal(),
// one queued step each, in order:
//
//     kl::test::ModalDriver modals([](QDialog& window) {
//         window.findChild<QLineEdit*>("txtUsuario")->setText("sa");
//         window.accept();
//     });
//
// The window is shown (not run) before its step; the step fills it and
// closes it (accept(), reject(), done() or a button's click()). A window
// with no step queued, a window its step left open, and a step never used
// are test failures. The hook in force before comes back on destruction.
class ModalDriver {
  public:
    using WindowStep = std::function<void(QDialog&)>;

    ModalDriver();
    explicit ModalDriver(WindowStep first);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    ModalDriver& then(WindowStep step);
    // How many windows were driven.
    int driven() const { return driven_; }

  private:
    int drive(QDialog& dialog);

    std::deque<WindowStep> steps_;
    int driven_ = 0;
    std::function<int(QDialog&)> previous_;
};

}  // namespace kl::test
