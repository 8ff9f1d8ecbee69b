#pragma once
#include <QString>

#include <vector>

struct sqlite3;

namespace db {

// The order a Chinese operator expects: character by character, digits and letters
// (without regard to case) before Chinese characters, Chinese characters by pinyin.
// Texts that differ in letter case only are equal.
int compareChinese(const QString& a, const QString& b);

// A text prepared for many comparisons in that order (sorting many rows).
class ChineseKey {
public:
    explicit ChineseKey(const QString& text);
    int compare(const ChineseKey& other) const;

private:
    std::vector<char32_t> m_units; // case-folded characters
};

// Length in the GBK code page: an ASCII character counts 1, a Chinese character 2; a
// character GBK lacks counts as its replacement "?".
int gbkLength(const QString& text);

// Name of the collation the name columns are declared with.
inline constexpr const char* kChineseCollation = "CHINESE";

// Registers the collation CHINESE and the function gbklength(text) on a connection; every
// connection to the payroll file needs them, since its schema uses both.
void registerTextFunctions(sqlite3* db);

} // namespace db
