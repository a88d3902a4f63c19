#include "platform/collation.h"

#include <vector>

namespace kl::collation {

namespace {

QChar fold(QChar c) {
    return c.toUpper();
}

// Primary weight: the base letter, Ñ right after N.
unsigned primaryWeight(QChar folded) {
    if (folded == QChar(0x00D1)) return (unsigned(u'N') << 1) | 1u;
    unsigned base = folded.unicode();
    if (base >= 0x80 && folded.decompositionTag() == QChar::Canonical) {
        const QString parts = folded.decomposition();
        if (!parts.isEmpty()) base = parts.at(0).unicode();
    }
    return base << 1;
}

QStringView withoutTrailingBlanks(QStringView text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    return text.left(n);
}

int sign(long long v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

bool isAscii(const char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

}  // namespace

int compareCi(QStringView a, QStringView b) {
    a = withoutTrailingBlanks(a);
    b = withoutTrailingBlanks(b);
    const qsizetype n = std::min(a.size(), b.size());
    int secondary = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar fa = fold(a[i]);
        const QChar fb = fold(b[i]);
        if (fa == fb) continue;
        const unsigned pa = primaryWeight(fa);
        const unsigned pb = primaryWeight(fb);
        if (pa != pb) return pa < pb ? -1 : 1;
        if (secondary == 0) secondary = fa.unicode() < fb.unicode() ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return secondary;
}

int compareCiUtf8(const char* a, int aLength, const char* b, int bLength) {
    if (isAscii(a, aLength) && isAscii(b, bLength)) {
        while (aLength > 0 && a[aLength - 1] == ' ') --aLength;
        while (bLength > 0 && b[bLength - 1] == ' ') --bLength;
        const int n = std::min(aLength, bLength);
        for (int i = 0; i < n; ++i) {
            const char ca = upperAscii(a[i]);
            const char cb = upperAscii(b[i]);
            if (ca != cb)
                return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        }
        return sign(static_cast<long long>(aLength) - bLength);
    }
    return compareCi(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength));
}

QString foldCase(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) out.append(fold(c));
    return out;
}

namespace {

// One element of a LIKE pattern.
struct PatternItem {
    enum class Kind { Literal, One, Any, Set } kind = Kind::Literal;
    QChar literal;
    bool negated = false;
    std::vector<std::pair<QChar, QChar>> ranges;  // folded, inclusive

    bool matches(QChar folded) const {
        switch (kind) {
            case Kind::Literal:
                return folded == literal;
            case Kind::One:
                return true;
            case Kind::Any:
                return true;
            case Kind::Set: {
                bool inside = false;
                for (const auto& [low, high] : ranges) {
                    if (primaryWeight(folded) >= primaryWeight(low) &&
                        primaryWeight(folded) <= primaryWeight(high) &&
                        (low != high || folded == low)) {
                        inside = true;
                        break;
                    }
                }
                return inside != negated;
            }
        }
        return false;
    }
};

std::vector<PatternItem> parsePattern(QStringView pattern, std::optional<QChar> escape) {
    std::vector<PatternItem> items;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        PatternItem item;
        if (escape && c == *escape && i + 1 < pattern.size()) {
            item.literal = fold(pattern[++i]);
        } else if (c == u'%') {
            item.kind = PatternItem::Kind::Any;
            if (!items.empty() && items.back().kind == PatternItem::Kind::Any) continue;
        } else if (c == u'_') {
            item.kind = PatternItem::Kind::One;
        } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i + 1) {
            const qsizetype close = pattern.indexOf(u']', i + 2);
            qsizetype j = i + 1;
            item.kind = PatternItem::Kind::Set;
            if (pattern[j] == u'^' && close > j + 1) {
                item.negated = true;
                ++j;
            }
            for (; j < close; ++j) {
                const QChar low = fold(pattern[j]);
                if (j + 2 < close && pattern[j + 1] == u'-') {
                    item.ranges.emplace_back(low, fold(pattern[j + 2]));
                    j += 2;
                } else {
                    item.ranges.emplace_back(low, low);
                }
            }
            i = close;
        } else {
            item.literal = fold(c);
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

bool likeMatch(QStringView pattern, QStringView text, std::optional<QChar> escape) {
    const std::vector<PatternItem> items = parsePattern(pattern, escape);
    const QString folded = foldCase(text);
    // Classic wildcard matching: on a mismatch, let the last % swallow one
    // more character.
    size_t p = 0;
    qsizetype t = 0;
    size_t starItem = items.size();
    qsizetype starText = 0;
    while (t < folded.size()) {
        if (p < items.size() && items[p].kind == PatternItem::Kind::Any) {
            starItem = p++;
            starText = t;
        } else if (p < items.size() && items[p].matches(folded[t])) {
            ++p;
            ++t;
        } else if (starItem != items.size()) {
            p = starItem + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Kind::Any) ++p;
    return p == items.size();
}

qsizetype indexOfCi(QStringView needle, QStringView text, qsizetype from) {
    if (from < 0) from = 0;
    return foldCase(text).indexOf(foldCase(needle), from);
}

}  // namespace kl::collation
