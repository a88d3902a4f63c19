#pragma once

// What the skin control promises for any skin file whatever, checked by the
// fuzz target and by the tests' runs of its seeds: a file with a NUL byte
// (another skin engine's binary skin) is refused and the skin loaded before
// stays; any other is the skin, as text, and dresses a window without
// breaking it. The check gives an empty text when the promise holds and says
// what broke otherwise.

#include "platform/ui/skin.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace kl::properties {

inline bool writeSkin(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A window with the controls skins dress, made once: a window made anew
// for every skin would cost more than the skin.
class SkinnedWindow : public QWidget {
  public:
    SkinnedWindow() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLineEdit(QStringLiteral("texto")));
        layout->addWidget(new QPushButton(QStringLiteral("&Aceptar")));
    }
};

// `folder` receives the skin loaded before and the one under test.
inline QString skinViolation(const QDir& folder, QWidget& window, const QByteArray& bytes) {
    const QString before = QStringLiteral("QLabel { color: red; }");
    const QString path = folder.filePath(QStringLiteral("Vista.cjstyles"));
    if (!writeSkin(folder.filePath(QStringLiteral("antes.qss")), before.toUtf8()) ||
        !writeSkin(path, bytes))
        return QStringLiteral("no file");
    SkinFramework skin;
    if (skin.LoadSkin(folder.filePath(QStringLiteral("antes.qss"))))
        return QStringLiteral("the skin before was refused");
    const StepResult failed = skin.LoadSkin(path);
    if (bytes.contains('\0')) {
        if (!failed || failed->number != 321) return QStringLiteral("a binary skin was taken");
        if (skin.styleSheet() != before) return QStringLiteral("a refused skin replaced the skin");
        return QString();
    }
    if (failed) return QStringLiteral("refused: ") + failed->description;
    if (skin.styleSheet() != QString::fromUtf8(bytes)) return QStringLiteral("not the file's text");

    skin.ApplyWindow(window);
    for (QWidget* child : window.findChildren<QWidget*>()) child->ensurePolished();
    window.adjustSize();
    return QString();
}

}  // namespace kl::properties
