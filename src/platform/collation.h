#pragma once

// Text comparison the way SQL Server's default Spanish collation does it:
// letter case ignored (ñ/Ñ and accented letters included), accents count
// ("á" <> "a"), trailing blanks ignored. Accented letters sort next to their
// base letter and Ñ after N, so ordered lists read as people expect.

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

namespace kl::collation {

// <0, 0, >0.
int compareCi(QStringView a, QStringView b);
// Same order for UTF-8 texts, with a fast path for plain ASCII.
int compareCiUtf8(const char* a, int aLength, const char* b, int bLength);

// Upper case, one character for one (so positions survive folding).
QString foldCase(QStringView text);

// SQL Server's LIKE: % any run, _ one character, [abc] [a-f] [^...] sets,
// an optional escape character; compared as compareCi compares letters.
bool likeMatch(QStringView pattern, QStringView text, std::optional<QChar> escape = {});

// Position (from 0) of `needle` in `text` at or after `from`, letters
// compared as compareCi does; -1 when absent.
qsizetype indexOfCi(QStringView needle, QStringView text, qsizetype from = 0);

}  // namespace kl::collation
