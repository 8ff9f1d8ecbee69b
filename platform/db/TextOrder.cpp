#include "platform/db/TextOrder.h"
#include "platform/db/DbError.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QStringEncoder>

#include <algorithm>
#include <unordered_map>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace db {

namespace {

// Pinyin order of single Chinese characters, from the Chinese collation of the
// toolkit's ICU. Each character's key is made once.
class HanOrder {
public:
    int compare(char32_t a, char32_t b)
    {
        return key(a).compare(key(b));
    }

private:
    const QCollatorSortKey& key(char32_t c)
    {
        auto it = m_keys.find(c);
        if (it == m_keys.end())
            it = m_keys.emplace(c, m_collator.sortKey(QString::fromUcs4(&c, 1))).first;
        return it->second;
    }

    QCollator m_collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::unordered_map<char32_t, QCollatorSortKey> m_keys;
};

HanOrder& hanOrder()
{
    static HanOrder order;
    return order;
}

bool isHan(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han;
}

int compareUnits(char32_t a, char32_t b)
{
    if (a == b)
        return 0;
    const bool ha = isHan(a), hb = isHan(b);
    if (ha != hb)
        return ha ? 1 : -1; // digits and letters first
    if (ha) {
        const int c = hanOrder().compare(a, b);
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return a < b ? -1 : 1;
}

std::vector<char32_t> foldedUnits(const QString& text)
{
    std::vector<char32_t> units;
    units.reserve(text.size());
    for (char32_t c : text.toCaseFolded().toUcs4())
        units.push_back(c);
    return units;
}

int compareUnitLists(const std::vector<char32_t>& a, const std::vector<char32_t>& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (const int c = compareUnits(a[i], b[i]))
            return c;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString fromSqlite(const void* data, int bytes)
{
    return QString::fromUtf8(static_cast<const char*>(data), bytes);
}

void gbklengthFn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = sqlite3_value_text(argv[0]);
    const int bytes = sqlite3_value_bytes(argv[0]);
    sqlite3_result_int(ctx, gbkLength(fromSqlite(text, bytes)));
}

// Reads one code point of valid UTF-8 (as SQLite hands it over) and moves on.
char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra && p < end; ++i)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

// Compares the two UTF-8 texts in place, without making strings of them: the engine
// calls this for every comparison of a sort.
int collate(void*, int lenA, const void* a, int lenB, const void* b)
{
    auto* pa = static_cast<const unsigned char*>(a);
    auto* pb = static_cast<const unsigned char*>(b);
    const unsigned char* const endA = pa + lenA;
    const unsigned char* const endB = pb + lenB;
    while (pa < endA && pb < endB) {
        const char32_t x = QChar::toCaseFolded(nextCodePoint(pa, endA));
        const char32_t y = QChar::toCaseFolded(nextCodePoint(pb, endB));
        if (const int c = compareUnits(x, y))
            return c;
    }
    return pa < endA ? 1 : (pb < endB ? -1 : 0);
}

} // namespace

int compareChinese(const QString& a, const QString& b)
{
    return compareUnitLists(foldedUnits(a), foldedUnits(b));
}

ChineseKey::ChineseKey(const QString& text)
    : m_units(foldedUnits(text))
{
}

int ChineseKey::compare(const ChineseKey& other) const
{
    return compareUnitLists(m_units, other.m_units);
}

int gbkLength(const QString& text)
{
    int n = 0;
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
        ++n;
    }
    if (ascii)
        return n;
    QStringEncoder gbk("GBK", QStringEncoder::Flag::Default);
    return int(QByteArray(gbk.encode(text)).size());
}

void registerTextFunctions(sqlite3* db)
{
    if (sqlite3_create_collation(db, kChineseCollation, SQLITE_UTF8, nullptr, collate) != SQLITE_OK
        || sqlite3_create_function(db, "gbklength", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, gbklengthFn,
                                   nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace db
