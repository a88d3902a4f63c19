#include "dblayer/application_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kl::db {

namespace {

SessionLink& currentSessionLink() {
    static SessionLink link;
    return link;
}

// Without a login window the connection data cannot be asked for.
class NoLoginWindow final : public LoginPrompt {
  public:
    LoginAnswer show(const LoginBoxes& initial) override { return {false, initial}; }
};

class NoLookupWindows final : public LookupWindows {
  public:
    bool consulta(const QString&, QString&, const QString&, const QString&,
                  const QString&) override {
        return false;
    }
    bool grilla(const QString&, QString&, QString*, QString*) override { return false; }
};

std::shared_ptr<LookupWindows>& currentLookupWindows() {
    static std::shared_ptr<LookupWindows> windows = std::make_shared<NoLookupWindows>();
    return windows;
}

std::shared_ptr<LoginPrompt>& currentLoginPrompt() {
    static std::shared_ptr<LoginPrompt> prompt = std::make_shared<NoLoginWindow>();
    return prompt;
}

void exitAtOnce() {
    std::fflush(nullptr);
    std::exit(1);
}

ProgramEnd& currentProgramEnd() {
    static ProgramEnd hook = exitAtOnce;
    return hook;
}

}  // namespace

SessionLink installSessionLink(SessionLink link) {
    return std::exchange(currentSessionLink(), std::move(link));
}

QString usuarioLogeado() {
    const SessionLink& link = currentSessionLink();
    return link.usuarioLogeado ? link.usuarioLogeado() : QString();
}

bool confidencialidad() {
    const SessionLink& link = currentSessionLink();
    return link.confidencialidad && link.confidencialidad();
}

LoginPrompt& loginPrompt() {
    return *currentLoginPrompt();
}

std::shared_ptr<LoginPrompt> installLoginPrompt(std::shared_ptr<LoginPrompt> prompt) {
    if (!prompt) prompt = std::make_shared<NoLoginWindow>();
    return std::exchange(currentLoginPrompt(), std::move(prompt));
}

LookupWindows& lookupWindows() {
    return *currentLookupWindows();
}

std::shared_ptr<LookupWindows> installLookupWindows(std::shared_ptr<LookupWindows> windows) {
    if (!windows) windows = std::make_shared<NoLookupWindows>();
    return std::exchange(currentLookupWindows(), std::move(windows));
}

void endProgram() {
    currentProgramEnd()();
}

ProgramEnd installProgramEnd(ProgramEnd hook) {
    if (!hook) hook = exitAtOnce;
    return std::exchange(currentProgramEnd(), std::move(hook));
}

}  // namespace kl::db
