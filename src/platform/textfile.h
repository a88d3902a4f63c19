#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

class QFile;

// Text files shared with the module's other programs are Windows-1252.
namespace kl::cp1252 {

QString decode(const QByteArray& bytes);
// Characters Windows-1252 cannot hold become '?'.
QByteArray encode(const QString& text);
bool canEncode(const QString& text);

// Reads the whole file; nullopt when it cannot be opened.
std::optional<QString> readFile(const QString& path);
// Reads the file's lines that end within its first `limit` bytes, for files
// whose real size is known: a longer one is no file the module writes (a
// runaway copy, another file under the name), and reading it all would stall
// the program for seconds. Its first lines are read, and a note that the
// rest was left is logged (category "kl.archivos", once a file).
std::optional<QString> readFile(const QString& path, qint64 limit);
// Replaces the file's content (written to a temporary file, then renamed,
// so a failure never leaves half a file).
bool writeFile(const QString& path, const QString& text);

// Who may read a file the program creates. Files holding passwords or the
// statements of failed work are the user's own business; an existing file
// keeps the permissions it has.
enum class FileAccess { Shared, OwnerOnly };
bool appendToFile(const QString& path, const QString& text, FileAccess access = FileAccess::Shared);
// Opens `file` for appending, creating it with the permissions `access`
// gives when it is missing: the one rule for every file the program or
// klbase creates, whatever its content.
bool openToAppend(QFile& file, FileAccess access);

}  // namespace kl::cp1252
