#include "platform/ui/spanish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kl {

bool installSpanishTranslations() {
    const QLocale argentina(QLocale::Spanish, QLocale::Argentina);
    QLocale::setDefault(argentina);
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return false;
    auto* translator = new QTranslator(application);
    if (!translator->load(argentina, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace kl
