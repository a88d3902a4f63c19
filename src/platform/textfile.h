#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Text files shared with the module's other programs are Windows-1252.
namespace kl::cp1252 {

QString decode(const QByteArray& bytes);
// Characters Windows-1252 cannot hold become '?'.
QByteArray encode(const QString& text);
bool canEncode(const QString& text);

// Reads the whole file; nullopt when it cannot be opened.
std::optional<QString> readFile(const QString& path);
// Replaces the file's content (written to a temporary file, then renamed,
// so a failure never leaves half a file).
bool writeFile(const QString& path, const QString& text);

// Who may read a file the program creates. Files holding passwords or the
// statements of failed work are the user's own business; an existing file
// keeps the permissions it has.
enum class FileAccess { Shared, OwnerOnly };
bool appendToFile(const QString& path, const QString& text, FileAccess access = FileAccess::Shared);

}  // namespace kl::cp1252
