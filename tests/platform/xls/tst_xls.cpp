#include "tests/support/TestMain.h"
#include <TestPaths.h>

#include "platform/xls/Biff.h"
#include "platform/xls/Bytes.h"
#include "platform/xls/Cfb.h"
#include "platform/xls/XlsEdit.h"
#include "platform/xls/XlsTable.h"
#include "platform/xls/XlsWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace xls;

namespace {

QByteArray rec(quint16 id, const QByteArray& data) { return MakeRecord(id, data); }

QByteArray u16le(quint16 v)
{
    QByteArray b;
    put16(b, v);
    return b;
}
QByteArray u32le(quint32 v)
{
    QByteArray b;
    put32(b, v);
    return b;
}
QByteArray utf16(const QString& s)
{
    QByteArray b;
    for (QChar c : s)
        put16(b, c.unicode());
    return b;
}

// A cell record: row, col, xf and the rest.
QByteArray cell(quint16 id, int row, int col, const QByteArray& rest, int xf = 15)
{
    return rec(id, u16le(quint16(row)) + u16le(quint16(col)) + u16le(quint16(xf)) + rest);
}

QByteArray bofData(quint16 type) { return u16le(0x0600) + u16le(type) + QByteArray(12, '\0'); }

QByteArray xfData(int format) { return u16le(0) + u16le(quint16(format)) + QByteArray(16, '\0'); }

// A hand-made workbook: globals extra records (before the sheet's BOUNDSHEET) and one
// sheet "S" of the given cell records; XF 15 is General, XF 16 a date, XF 17 custom 164.
QByteArray handmade(const QByteArray& globalsExtra, const QByteArray& sheetCells, const QByteArray& afterBound = {})
{
    QByteArray fonts = rec(kFont, QByteArray(14, '\0') + QByteArray("\x01\x00" "A", 3));
    QByteArray g = rec(kBof, bofData(5)) + globalsExtra;
    for (int i = 0; i < 4; ++i)
        g += fonts;
    for (int i = 0; i < 16; ++i)
        g += rec(kXf, xfData(0));
    g += rec(kXf, xfData(14));
    g += rec(kXf, xfData(164));
    const qsizetype boundAt = g.size();
    g += rec(kBoundSheet, u32le(0) + QByteArray("\x00\x00\x01\x00" "S", 5));
    g += afterBound;
    g += rec(kEof, {});
    set32(g, boundAt + 4, quint32(g.size()));
    const QByteArray sheet = rec(kBof, bofData(0x10)) + sheetCells + rec(kEof, {});
    return CompoundFile::buildStreams({{QStringLiteral("Workbook"), g + sheet}});
}

// A string-table entry: cch, flags and the rest as given.
QByteArray sstHead(quint32 count) { return u32le(count) + u32le(count); }

QStringList sheetTexts(const Workbook& b, int sheet, int rows)
{
    QStringList out;
    for (int r = 0; r < rows; ++r)
        out << b.text(sheet, r, 0);
    return out;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString fixture(const char* name)
{
    return QStringLiteral(SLIP_SOURCE_DIR "/tests/platform/xls/fixtures/") + QString::fromLatin1(name);
}

// The sheet substream bytes of a workbook file's sheet, as stored.
QByteArray sheetBytes(const QByteArray& file, const QString& name)
{
    const CompoundFile cf = CompoundFile::parse(file);
    const QByteArray stream = cf.streamData(cf.find(QStringLiteral("Workbook")));
    const Workbook b = Workbook::fromStream(stream);
    const int i = b.sheetIndex(name);
    std::vector<quint32> starts;
    for (int k = 0; k < b.sheetCount(); ++k)
        starts.push_back(b.sheet(k).offset);
    std::sort(starts.begin(), starts.end());
    const quint32 start = b.sheet(i).offset;
    const auto next = std::upper_bound(starts.begin(), starts.end(), start);
    return stream.mid(start, (next == starts.end() ? stream.size() : qsizetype(*next)) - start);
}

// Records of a sheet substream, INDEX left out (its pointers move with the stream).
QByteArray withoutIndex(const QByteArray& sheet)
{
    QByteArray out;
    for (const Record& r : ReadRecords(sheet, 0, true))
        if (r.id != kIndex)
            out += MakeRecord(r.id, r.data);
    return out;
}

} // namespace

class TestXlsRead : public QObject {
    Q_OBJECT
private slots:
    void sharedStrings_data()
    {
        QTest::addColumn<QByteArray>("sst");
        QTest::addColumn<QStringList>("texts");
        // Split inside an 8-bit run: the CONTINUE starts with a flags byte.
        QTest::newRow("8-bit run split")
            << rec(kSst, sstHead(1) + u16le(8) + QByteArray("\x00" "ABC", 4)) + rec(kContinue, QByteArray("\x00" "DEFGH", 6))
            << QStringList{"ABCDEFGH"};
        QTest::newRow("16-bit run split")
            << rec(kSst, sstHead(1) + u16le(5) + QByteArray("\x01", 1) + utf16(QStringLiteral("工资")))
                   + rec(kContinue, QByteArray("\x01", 1) + utf16(QStringLiteral("条制作")))
            << QStringList{"工资条制作"};
        QTest::newRow("width changes across CONTINUE")
            << rec(kSst, sstHead(2) + u16le(5) + QByteArray("\x00" "ABC", 4))
                   + rec(kContinue, QByteArray("\x01", 1) + utf16(QStringLiteral("工资")) + u16le(2) + QByteArray("\x00" "ok", 3))
            << QStringList{"ABC工资", "ok"};
        QTest::newRow("a string starts a CONTINUE")
            << rec(kSst, sstHead(2) + u16le(2) + QByteArray("\x00" "ab", 3))
                   + rec(kContinue, u16le(2) + QByteArray("\x01", 1) + utf16(QStringLiteral("姓名")))
            << QStringList{"ab", "姓名"};
        // Rich runs and phonetic data continue without a flags byte.
        QTest::newRow("rich runs across a boundary")
            << rec(kSst, sstHead(2) + u16le(3) + QByteArray("\x08", 1) + u16le(2) + QByteArray("xyz", 3) + QByteArray(5, '\x01'))
                   + rec(kContinue, QByteArray(3, '\x02') + u16le(4) + QByteArray("\x00" "next", 5))
            << QStringList{"xyz", "next"};
        QTest::newRow("phonetic data across a boundary")
            << rec(kSst, sstHead(2) + u16le(1) + QByteArray("\x05", 1) + u32le(6) + utf16(QStringLiteral("工")) + QByteArray(2, '\x09'))
                   + rec(kContinue, QByteArray(4, '\x09') + u16le(1) + QByteArray("\x00" "z", 2))
            << QStringList{"工", "z"};
        const QString longText = QString(10000, QChar(0x8D44)) + QStringLiteral("尾");
        QTest::newRow("longer than 8224 bytes") << SstRecords({QStringLiteral("a"), longText, QStringLiteral("b")}, 3)
                                                << QStringList{"a", longText, "b"};
        QString latin(9000, QLatin1Char('q'));
        QTest::newRow("long 8-bit string") << SstRecords({latin, QStringLiteral("工")}, 2) << QStringList{latin, "工"};
    }
    void sharedStrings()
    {
        QFETCH(QByteArray, sst);
        QFETCH(QStringList, texts);
        QByteArray cells;
        for (int i = 0; i < texts.size(); ++i)
            cells += cell(kLabelSst, i, 0, u32le(quint32(i)));
        const Workbook b = Workbook::fromFile(handmade(sst, cells));
        QCOMPARE(sheetTexts(b, 0, int(texts.size())), texts);
    }

    void rkNumbers_data()
    {
        QTest::addColumn<quint32>("rk");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << quint32((5 << 2) | 2) << 5.0 << "5";
        QTest::newRow("integer / 100") << quint32((12345 << 2) | 3) << 123.45 << "123.45";
        QTest::newRow("negative integer") << quint32((-7 * 4) | 2) << -7.0 << "-7";
        QTest::newRow("negative integer / 100") << quint32((-250 * 4) | 3) << -2.5 << "-2.5";
        QTest::newRow("double") << quint32(0x3FF80000) << 1.5 << "1.5";
        QTest::newRow("double / 100") << quint32(0x3FF80001) << 0.015 << "0.015";
        QTest::newRow("negative double") << quint32(0xC0040000) << -2.5 << "-2.5";
    }
    void rkNumbers()
    {
        QFETCH(quint32, rk);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(RkValue(rk), value);
        const Workbook b = Workbook::fromFile(handmade({}, cell(kRk, 0, 0, u32le(rk))));
        QCOMPARE(b.text(0, 0, 0), text);
    }

    void cellKinds()
    {
        QByteArray cells;
        cells += rec(kMulRk, u16le(0) + u16le(1) + u16le(15) + u32le((1 << 2) | 2) + u16le(15) + u32le((2 << 2) | 2) + u16le(2));
        cells += cell(kNumber, 1, 0, [] { QByteArray b; putF64(b, 0.1 + 0.2); return b; }());
        cells += cell(kLabel, 2, 0, u16le(2) + QByteArray("\x01", 1) + utf16(QStringLiteral("标签")));
        cells += cell(kRString, 3, 0, u16le(3) + QByteArray("\x00" "rts", 4) + u16le(0));
        cells += cell(kBoolErr, 4, 0, QByteArray("\x01\x00", 2));
        cells += cell(kBoolErr, 4, 1, QByteArray("\x07\x01", 2));
        cells += cell(kBlank, 5, 0, {});
        cells += rec(kMulBlank, u16le(5) + u16le(1) + u16le(15) + u16le(15) + u16le(2));
        const Workbook b = Workbook::fromFile(handmade({}, cells));
        QCOMPARE(b.text(0, 0, 1), QStringLiteral("1"));
        QCOMPARE(b.text(0, 0, 2), QStringLiteral("2"));
        QCOMPARE(b.text(0, 1, 0), QStringLiteral("0.3"));
        QCOMPARE(b.text(0, 2, 0), QStringLiteral("标签"));
        QCOMPARE(b.text(0, 3, 0), QStringLiteral("rts"));
        QCOMPARE(b.text(0, 4, 0), QStringLiteral("TRUE"));
        QCOMPARE(b.text(0, 4, 1), QStringLiteral("#DIV/0!"));
        QVERIFY(!b.sheet(0).cells.at({5, 2}).hasValue);
    }

    void formulaResults()
    {
        auto formula = [](int row, const QByteArray& result) {
            return cell(kFormula, row, 0, result + u16le(0) + u32le(0) + u16le(0));
        };
        QByteArray num;
        putF64(num, 42.5);
        QByteArray cells;
        cells += formula(0, num);
        cells += formula(1, QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8));
        cells += rec(kShrFmla, QByteArray(10, '\0')); // may stand between a formula and its text
        cells += rec(kString, u16le(3) + QByteArray("\x01", 1) + utf16(QStringLiteral("结果串")));
        cells += formula(2, QByteArray("\x01\x00\x01\x00\x00\x00\xFF\xFF", 8));
        cells += formula(3, QByteArray("\x02\x00\x2A\x00\x00\x00\xFF\xFF", 8));
        cells += formula(4, QByteArray("\x03\x00\x00\x00\x00\x00\xFF\xFF", 8));
        const Workbook b = Workbook::fromFile(handmade({}, cells));
        QCOMPARE(sheetTexts(b, 0, 5), (QStringList{"42.5", "结果串", "TRUE", "#N/A", ""}));
    }

    void dates_data()
    {
        QTest::addColumn<bool>("is1904");
        QTest::addColumn<int>("xf");
        QTest::addColumn<double>("serial");
        QTest::addColumn<QString>("text");
        QTest::newRow("built-in date") << false << 16 << 46361.0 << "2026-12-05";
        QTest::newRow("with time") << false << 16 << 46361.75 << "2026-12-05 18:00:00";
        QTest::newRow("custom Chinese date") << false << 17 << 46361.0 << "2026-12-05";
        QTest::newRow("before the leap-year error") << false << 16 << 59.0 << "1900-02-28";
        QTest::newRow("the day that never was") << false << 16 << 60.0 << "1900-02-29";
        QTest::newRow("after it") << false << 16 << 61.0 << "1900-03-01";
        QTest::newRow("first day") << false << 16 << 1.0 << "1900-01-01";
        QTest::newRow("1904 system") << true << 16 << 0.0 << "1904-01-01";
        QTest::newRow("1904, later") << true << 16 << 44899.0 << "2026-12-05";
        QTest::newRow("general number") << false << 15 << 46361.0 << "46361";
    }
    void dates()
    {
        QFETCH(bool, is1904);
        QFETCH(int, xf);
        QFETCH(double, serial);
        QFETCH(QString, text);
        QByteArray v;
        putF64(v, serial);
        const QByteArray formats = rec(kFormat, u16le(164) + u16le(9) + QByteArray("\x01", 1)
                                                    + utf16(QStringLiteral("yyyy\"年\"m\"月\"d")));
        const QByteArray mode = rec(kDateMode, u16le(is1904 ? 1 : 0));
        const Workbook b = Workbook::fromFile(handmade(mode + formats, cell(kNumber, 0, 0, v, xf)));
        QCOMPARE(b.text(0, 0, 0), text);
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = handmade(rec(kSst, sstHead(1) + u16le(1) + QByteArray("\x00" "a", 2)),
                                         cell(kLabelSst, 0, 0, u32le(0)));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("部门,姓名\n财务部,张三\n").repeated(100);
        QTest::newRow("truncated header") << good.left(100);
        QTest::newRow("truncated body") << good.left(1100);
        QByteArray loop = good;
        set32(loop, 512, 0); // FAT entry of sector 0 points at itself... and beyond
        set32(loop, 512 + 4 * 1, 1);
        QTest::newRow("chain loops") << loop;
        QByteArray far = good;
        set32(far, 48, 99999);
        QTest::newRow("directory outside the file") << far;
        QByteArray bigFat = good;
        set32(bigFat, 44, 0x7FFFFFFF);
        QTest::newRow("absurd FAT count") << bigFat;
        QByteArray difat = good;
        set32(difat, 44, 200); // more FAT sectors than the header lists: needs a DIFAT chain
        set32(difat, 68, 0);
        set32(difat, 72, 1);
        QTest::newRow("broken DIFAT") << difat;
        QTest::newRow("BIFF5 book") << CompoundFile::buildStreams({{QStringLiteral("Book"), QByteArray(5000, '\0')}});
        QTest::newRow("no workbook") << CompoundFile::buildStreams({{QStringLiteral("Other"), QByteArray(100, 'x')}});
        QTest::newRow("encrypted") << handmade(rec(kFilePass, QByteArray(54, '\x01')), {});
        QTest::newRow("bad shared string index") << handmade({}, cell(kLabelSst, 0, 0, u32le(7)));
        QTest::newRow("bad XF index") << handmade({}, cell(kRk, 0, 0, u32le(2), 99));
        QTest::newRow("truncated record") << handmade({}, rec(kNumber, QByteArray(3, '\0')));
        QTest::newRow("string past its record") << handmade(rec(kSst, sstHead(1) + u16le(50) + QByteArray("\x00" "ab", 3)),
                                                            cell(kLabelSst, 0, 0, u32le(0)));
        QTest::newRow("MULRK of a bad length") << handmade({}, rec(kMulRk, QByteArray(9, '\0')));
        QTest::newRow("MULRK columns do not add up")
            << handmade({}, rec(kMulRk, u16le(0) + u16le(1) + u16le(15) + u32le(2) + u16le(9)));
        QTest::newRow("text formula without its STRING")
            << handmade({}, cell(kFormula, 0, 0, QByteArray("\x00\x00\x00\x00\x00\x00\xFF\xFF", 8) + QByteArray(8, '\0')));
        QTest::newRow("not BIFF8") << CompoundFile::buildStreams(
            {{QStringLiteral("Workbook"), rec(kBof, u16le(0x0500) + u16le(5) + QByteArray(12, '\0')) + rec(kEof, {})}});
        QByteArray noEof = handmade({}, {});
        QTest::newRow("no EOF") << CompoundFile::buildStreams({{QStringLiteral("Workbook"), rec(kBof, bofData(5))}});
        QByteArray outside = CompoundFile::buildStreams(
            {{QStringLiteral("Workbook"),
              rec(kBof, bofData(5)) + rec(kBoundSheet, u32le(100000) + QByteArray("\x00\x00\x01\x00" "S", 5)) + rec(kEof, {})}});
        QTest::newRow("sheet outside the stream") << outside;
        Q_UNUSED(noEof);
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, file);
        QVERIFY_THROWS_EXCEPTION(XlsError, Workbook::fromFile(file));
    }

    void definedNamesAreTables()
    {
        const QString name = QStringLiteral("工资表");
        const QByteArray externSheet = rec(kExternSheet, u16le(1) + u16le(0) + u16le(0) + u16le(0));
        const QByteArray rgce = QByteArray("\x3B", 1) + u16le(0) + u16le(0) + u16le(2) + u16le(1) + u16le(2);
        const QByteArray definedName = rec(kName, u16le(0) + QByteArray("\x00", 1) + QByteArray(1, char(name.size()))
                                                      + u16le(quint16(rgce.size())) + QByteArray(8, '\0')
                                                      + QByteArray("\x01", 1) + utf16(name) + rgce);
        QByteArray cells;
        const char* texts[3][3] = {{"x", "姓名", "金额"}, {"y", "张三", "10"}, {"z", "李四", "20"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                cells += cell(kLabel, r, c, u16le(quint16(QString::fromUtf8(texts[r][c]).size())) + QByteArray("\x01", 1)
                                               + utf16(QString::fromUtf8(texts[r][c])));
        cells += cell(kLabel, 0, 0, u16le(1) + QByteArray("\x00" "x", 2));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("named.xls"));
        SaveFileAtomically(path, handmade({}, cells, externSheet + definedName));
        QCOMPARE(TableNames(Workbook::open(path)), (QStringList{"S$", "工资表"}));
        XlsTable t = XlsTable::open(path, name);
        QCOMPARE(t.columnNames(), (QStringList{"姓名", "金额"}));
        QCOMPARE(t.recordCount(), 2);
        t.first();
        t.next();
        QCOMPARE(t.value(0), QStringLiteral("李四"));
        QCOMPARE(t.value(1), QStringLiteral("20"));
        XlsTable whole = XlsTable::open(path, QStringLiteral("S$"));
        QCOMPARE(whole.columnNames(), (QStringList{"x", "姓名", "金额"}));
    }

    void foreignWriters_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("xlwt") << fixture("xlwt-basic.xls") << "工资"
                              << QStringList{"部门|姓名|基本工资|发放日期|合计", "财务部|张三|3000|2026-12-05|",
                                             "销售部|李四|4500.5|2026-11-30|", "生产部|王五|-120|1900-01-01|"};
        QTest::newRow("LibreOffice") << fixture("libreoffice-recalculated.xls") << "工资"
                                     << QStringList{"部门|姓名|基本工资|发放日期|合计", "财务部|张三|3000|2026-12-05|3100",
                                                    "销售部|李四|4500.5|2026-11-30|4600.5", "生产部|王五|-120|1900-01-01|-20"};
        QTest::newRow("SheetJS, workbook in the mini stream")
            << fixture("sheetjs-ministream.xls") << "明细"
            << QStringList{"部门|姓名|金额|日期|公式", "财务部|张三|3000.25|2026-12-05|6000.5", "销售部|李四|42|2026-01-31|x李四"};
    }
    void foreignWriters()
    {
        QFETCH(QString, file);
        QFETCH(QString, sheet);
        QFETCH(QStringList, rows);
        const Workbook b = Workbook::open(file);
        const int s = b.sheetIndex(sheet);
        QVERIFY(s >= 0);
        QStringList got;
        for (int r = 0; r < rows.size(); ++r) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << b.text(s, r, c);
            got << cells.join(QLatin1Char('|'));
        }
        QCOMPARE(got, rows);
    }

    void foreignFormats()
    {
        const Workbook b = Workbook::open(fixture("xlwt-basic.xls"));
        const CellFormat head = b.format(0, 0, 0);
        QVERIFY(head.bold);
        QVERIFY(head.wrap);
        QCOMPARE(head.halign, HAlign::Center);
        QCOMPARE(head.borders[0], 1);
        QCOMPARE(b.sheet(0).colWidths.at(1), 20 * 256);
        const SheetData& other = b.sheet(b.sheetIndex(QStringLiteral("Other")));
        QCOMPARE(other.merges.size(), size_t(1));
        QCOMPARE(other.merges[0].lastCol, 2);
        QCOMPARE(b.text(1, 3, 0), QString(300, QLatin1Char('x')));
    }
};

class TestXlsWrite : public QObject {
    Q_OBJECT
private slots:
    void newWorkbookReadsBack()
    {
        WorkbookWriter w;
        const int s = w.addSheet(QStringLiteral("工资表"));
        Format title;
        title.bold = true;
        title.halign = HAlign::CenterAcross;
        title.valign = VAlign::Center;
        Format boxed;
        boxed.border = true;
        boxed.wrap = true;
        boxed.halign = HAlign::Right;
        w.setText(s, 0, 0, QStringLiteral("月度[202612]工资发放明细表"), title);
        w.setText(s, 1, 0, QStringLiteral("应发工资"), boxed);
        w.merge(s, {1, 1, 0, 2});
        w.setNumber(s, 2, 0, 3000.5, boxed);
        w.setNumber(s, 2, 1, -12, boxed);
        w.setColumnWidth(s, 0, 12.5);
        const int t = w.addSheet(QStringLiteral("Two"));
        w.setText(t, 0, 0, QStringLiteral("二"));
        const Workbook b = Workbook::fromFile(w.fileBytes());
        QCOMPARE(b.sheetCount(), 2);
        QCOMPARE(b.sheet(0).name, QStringLiteral("工资表"));
        QCOMPARE(b.text(0, 0, 0), QStringLiteral("月度[202612]工资发放明细表"));
        QCOMPARE(b.text(0, 2, 0), QStringLiteral("3000.5"));
        QCOMPARE(b.text(0, 2, 1), QStringLiteral("-12"));
        QCOMPARE(b.text(1, 0, 0), QStringLiteral("二"));
        const CellFormat f0 = b.format(0, 0, 0);
        QVERIFY(f0.bold);
        QCOMPARE(f0.halign, HAlign::CenterAcross);
        QCOMPARE(f0.valign, VAlign::Center);
        const CellFormat f1 = b.format(0, 1, 0);
        QVERIFY(!f1.bold && f1.wrap);
        QCOMPARE(f1.halign, HAlign::Right);
        for (int side = 0; side < 4; ++side)
            QCOMPARE(b.format(0, 1, 2).borders[side], 1); // hidden merged cells keep the borders
        QCOMPARE(b.sheet(0).merges.size(), size_t(1));
        QCOMPARE(b.sheet(0).colWidths.at(0), 3200);
    }

    void manyStringsAndLargeFiles()
    {
        WorkbookWriter w;
        const int s = w.addSheet(QStringLiteral("大"));
        for (int r = 0; r < 3000; ++r)
            w.setText(s, r, 0, QStringLiteral("职员%1的工资条说明文字").arg(r));
        const QByteArray file = w.fileBytes();
        QVERIFY(file.size() > 100000);
        const Workbook b = Workbook::fromFile(file);
        QCOMPARE(b.text(0, 2999, 0), QStringLiteral("职员2999的工资条说明文字"));
    }

    void compoundFileRoundTrip_data()
    {
        QTest::addColumn<int>("bigSize");
        QTest::newRow("small") << 5000;
        QTest::newRow("over 109 FAT sectors (DIFAT chain)") << 8 * 1024 * 1024;
    }
    void compoundFileRoundTrip()
    {
        QFETCH(int, bigSize);
        QByteArray big(bigSize, '\0');
        for (int i = 0; i < bigSize; i += 997)
            big[i] = char(i);
        const QByteArray small("\x05SummaryInformation-like bytes", 30);
        const QByteArray file = CompoundFile::buildStreams(
            {{QStringLiteral("Workbook"), big}, {QStringLiteral("\x05SummaryInformation"), small}});
        const CompoundFile cf = CompoundFile::parse(file);
        QCOMPARE(cf.streamData(cf.find(QStringLiteral("Workbook"))), big);
        QCOMPARE(cf.streamData(cf.find(QStringLiteral("\x05SummaryInformation"))), small);
    }

    void atomicSave()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("taken")));
        QVERIFY_THROWS_EXCEPTION(XlsError, SaveFileAtomically(dir.filePath(QStringLiteral("taken")), "x"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken"))).isDir());
        QVERIFY_THROWS_EXCEPTION(XlsError, SaveFileAtomically(dir.filePath(QStringLiteral("no/such/dir/a.xls")), "x"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }
};

class TestXlsEdit : public QObject {
    Q_OBJECT
private slots:
    void templateEditKeepsEverythingElse()
    {
        WorkbookWriter w;
        const int s = w.addSheet(QStringLiteral("Sheet1"));
        Format boxed;
        boxed.border = true;
        boxed.bold = true;
        w.setText(s, 0, 0, QStringLiteral("F1"));
        w.setText(s, 1, 0, QStringLiteral("[单位名称]工资条"), boxed);
        w.setText(s, 1, 1, QStringLiteral("[EmpName]"));
        w.setText(s, 2, 0, QStringLiteral("[EmpName]")); // shares the string with B2
        w.merge(s, {3, 3, 0, 1});
        w.setColumnWidth(s, 1, 30);
        const int t = w.addSheet(QStringLiteral("Sheet2"));
        w.setText(t, 0, 0, QStringLiteral("[EmpName]"));
        QByteArray stream = w.workbookStream();
        const QByteArray summary(300, '\x07');
        const QByteArray file = CompoundFile::buildStreams(
            {{QStringLiteral("Workbook"), stream}, {QStringLiteral("\x05SummaryInformation"), summary}});

        const QByteArray edited = ReplaceCellTexts(file, QStringLiteral("sheet1"),
                                                   {{{1, 0}, QStringLiteral("某某公司工资条")}, {{1, 1}, QStringLiteral("张三")}});
        const Workbook b = Workbook::fromFile(edited);
        QCOMPARE(b.text(0, 1, 0), QStringLiteral("某某公司工资条"));
        QCOMPARE(b.text(0, 1, 1), QStringLiteral("张三"));
        QCOMPARE(b.text(0, 2, 0), QStringLiteral("[EmpName]"));
        QCOMPARE(b.text(1, 0, 0), QStringLiteral("[EmpName]"));
        QVERIFY(b.format(0, 1, 0).bold);
        QCOMPARE(b.format(0, 1, 0).borders[3], 1);
        QCOMPARE(b.sheet(0).merges.size(), size_t(1));
        QCOMPARE(b.sheet(0).colWidths.at(1), 30 * 256);
        const CompoundFile cf = CompoundFile::parse(edited);
        QCOMPARE(cf.streamData(cf.find(QStringLiteral("\x05SummaryInformation"))), summary);
        QCOMPARE(sheetBytes(edited, QStringLiteral("Sheet2")), sheetBytes(file, QStringLiteral("Sheet2")));
        // The edited sheet keeps its size: only string numbers changed.
        QCOMPARE(sheetBytes(edited, QStringLiteral("Sheet1")).size(), sheetBytes(file, QStringLiteral("Sheet1")).size());
    }

    void editOfAFileWithIndexRecords()
    {
        const QByteArray file = readFile(fixture("libreoffice-recalculated.xls"));
        QVERIFY(!file.isEmpty());
        std::map<std::pair<int, int>, QString> texts;
        for (int r = 1; r <= 3; ++r)
            texts[{r, 1}] = QStringLiteral("新名字%1").arg(r) + QString(3000, QChar(0x5B57)); // grows the table a lot
        const QByteArray edited = ReplaceCellTexts(file, QStringLiteral("工资"), texts);
        const Workbook b = Workbook::fromFile(edited);
        QCOMPARE(b.text(0, 2, 1), texts.at(std::make_pair(2, 1)));
        QCOMPARE(b.text(0, 2, 4), QStringLiteral("4600.5"));
        QCOMPARE(b.text(1, 0, 0), QStringLiteral("合并的标题"));
        QCOMPARE(sheetBytes(edited, QStringLiteral("Other")), sheetBytes(file, QStringLiteral("Other")));
    }

    void indexPointersMoveWithTheStream()
    {
        // A workbook whose last sheet carries an INDEX pointing at its DEFCOLWIDTH and DBCELL.
        WorkbookWriter w;
        const int s1 = w.addSheet(QStringLiteral("Sheet1"));
        w.setText(s1, 0, 0, QStringLiteral("[EmpName]"));
        const int s2 = w.addSheet(QStringLiteral("Sheet2"));
        w.setText(s2, 0, 0, QStringLiteral("other"));
        QByteArray stream = w.workbookStream();
        const Workbook plain = Workbook::fromStream(stream);
        const qsizetype start = plain.sheet(1).offset;
        QByteArray body;
        for (const Record& r : ReadRecords(stream, start, true))
            if (r.id != kBof && r.id != kEof)
                body += MakeRecord(r.id, r.data);
        const QByteArray bofRec = MakeRecord(kBof, bofData(0x10));
        const qsizetype indexLen = 4 + 20;
        const quint32 defColAt = quint32(start + bofRec.size() + indexLen);
        const QByteArray defCol = MakeRecord(0x0055, u16le(8));
        const quint32 dbCellAt = quint32(defColAt + defCol.size() + body.size());
        const QByteArray index = MakeRecord(kIndex, u32le(0) + u32le(0) + u32le(1) + u32le(defColAt) + u32le(dbCellAt));
        const QByteArray dbCell = MakeRecord(kDbCell, u32le(0));
        stream = stream.left(start) + bofRec + index + defCol + body + dbCell + MakeRecord(kEof, {});
        const QByteArray file = CompoundFile::buildStreams({{QStringLiteral("Workbook"), stream}});
        QCOMPARE(u16(stream, dbCellAt), quint16(kDbCell));

        const QByteArray edited = ReplaceCellTexts(file, QStringLiteral("Sheet1"), {{{0, 0}, QString(9000, QChar(0x5F20))}});
        const CompoundFile cf = CompoundFile::parse(edited);
        const QByteArray out = cf.streamData(cf.find(QStringLiteral("Workbook")));
        const Workbook b = Workbook::fromStream(out);
        QCOMPARE(b.text(0, 0, 0), QString(9000, QChar(0x5F20)));
        QCOMPARE(b.text(1, 0, 0), QStringLiteral("other"));
        QVERIFY(b.sheet(1).offset > quint32(start));
        const Record idx = ReadRecords(out, b.sheet(1).offset, true).at(1);
        QCOMPARE(idx.id, quint16(kIndex));
        QCOMPARE(u16(out, u32(idx.data, 12)), quint16(0x0055));
        QCOMPARE(u16(out, u32(idx.data, 16)), quint16(kDbCell));
        QCOMPARE(withoutIndex(sheetBytes(edited, QStringLiteral("Sheet2"))), withoutIndex(sheetBytes(file, QStringLiteral("Sheet2"))));
    }

    void inlineLabelsAreRewritten()
    {
        const QByteArray file = readFile(fixture("sheetjs-ministream.xls"));
        const QByteArray edited = ReplaceCellTexts(file, QStringLiteral("明细"),
                                                   {{{1, 1}, QStringLiteral("赵六")}, {{2, 0}, QStringLiteral("[部门]")}});
        const Workbook b = Workbook::fromFile(edited);
        QCOMPARE(b.text(0, 1, 1), QStringLiteral("赵六"));
        QCOMPARE(b.text(0, 2, 0), QStringLiteral("[部门]"));
        QCOMPARE(b.text(0, 2, 1), QStringLiteral("李四"));
        QCOMPARE(b.text(0, 1, 2), QStringLiteral("3000.25"));
        QCOMPARE(b.text(0, 1, 3), QStringLiteral("2026-12-05"));
    }

    void refusedEdits()
    {
        const QByteArray file = readFile(fixture("xlwt-basic.xls"));
        QVERIFY_THROWS_EXCEPTION(XlsError, ReplaceCellTexts(file, QStringLiteral("Nope"), {{{0, 0}, QStringLiteral("x")}}));
        // A number cell is no text to replace.
        QVERIFY_THROWS_EXCEPTION(XlsError, ReplaceCellTexts(file, QStringLiteral("工资"), {{{1, 2}, QStringLiteral("x")}}));
        QVERIFY_THROWS_EXCEPTION(XlsError, ReplaceCellTexts(QByteArray("junk"), QStringLiteral("工资"), {}));
    }

    void tables()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("copy.xls"));
        QVERIFY(QFile::copy(fixture("xlwt-basic.xls"), path));
        QCOMPARE(TableNames(Workbook::open(path)), (QStringList{"工资$", "Other$"}));
        XlsTable t = XlsTable::open(path, QStringLiteral("工资$"));
        QCOMPARE(t.columnNames(), (QStringList{"部门", "姓名", "基本工资", "发放日期", "合计"}));
        QCOMPARE(t.recordCount(), 3);
        QCOMPARE(t.columnIndex(QStringLiteral("姓名")), 1);
        t.first();
        QCOMPARE(t.value(1), QStringLiteral("张三"));
        t.next();
        t.setValue(1, QStringLiteral("李四四"));
        QCOMPARE(t.value(1), QStringLiteral("李四四"));
        t.post();
        QCOMPARE(Workbook::open(path).text(0, 2, 1), QStringLiteral("李四四"));
        t.next();
        t.next();
        QVERIFY(t.eof());
        QCOMPARE(t.value(0), QString());
        QVERIFY_THROWS_EXCEPTION(XlsError, XlsTable::open(path, QStringLiteral("Missing$")));
        XlsTable other = XlsTable::open(path, QStringLiteral("Other$"));
        QCOMPARE(other.columnNames(), QStringList{"合并的标题"});
    }
};

class TestXlsOutside : public QObject {
    Q_OBJECT
private:
    static QString python() { return QStringLiteral("/usr/bin/python3"); }
    static bool haveXlrd()
    {
        return QProcess::execute(python(), {QStringLiteral("-c"), QStringLiteral("import xlrd")}) == 0;
    }
    // What xlrd reads: every cell "row,col=text", bold and borders of each cell, merges, widths.
    static QStringList xlrdSees(const QString& path)
    {
        const QString script = QStringLiteral(R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for s in b.sheets():
    print('sheet', s.name)
    for r in range(s.nrows):
        for c in range(s.ncols):
            v = s.cell(r, c)
            if v.ctype == 0: continue
            x = b.xf_list[v.xf_index]
            val = v.value if v.ctype != 2 else ('%g' % v.value)
            print('%d,%d=%s bold=%d wrap=%d h=%d border=%d' % (r, c, val, b.font_list[x.font_index].bold,
                  x.alignment.text_wrapped, x.alignment.hor_align, x.border.left_line_style))
    for m in s.merged_cells: print('merge', m)
    for c, i in sorted(s.colinfo_map.items()): print('width', c, i.width)
)");
        QProcess p;
        p.start(python(), {QStringLiteral("-c"), script, path});
        p.waitForFinished(60000);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (!err.isEmpty())
            qWarning("%s", qPrintable(err));
        return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void xlrdReadsOurWorkbooks()
    {
        if (!haveXlrd())
            QSKIP("python3-xlrd is not installed");
        QTemporaryDir dir;
        WorkbookWriter w;
        const int s = w.addSheet(QStringLiteral("工资表"));
        Format boxed;
        boxed.border = true;
        boxed.bold = true;
        boxed.wrap = true;
        boxed.halign = HAlign::Center;
        w.setText(s, 0, 0, QStringLiteral("标题"), boxed);
        w.merge(s, {0, 0, 0, 2});
        w.setNumber(s, 1, 0, 12.5);
        w.setColumnWidth(s, 1, 10);
        const QString path = dir.filePath(QStringLiteral("new.xls"));
        w.save(path);
        const QStringList seen = xlrdSees(path);
        QVERIFY2(seen.contains(QStringLiteral("0,0=标题 bold=1 wrap=1 h=2 border=1")), qPrintable(seen.join(QLatin1Char('\n'))));
        QVERIFY(seen.contains(QStringLiteral("1,0=12.5 bold=0 wrap=0 h=0 border=0")));
        QVERIFY(seen.contains(QStringLiteral("merge (0, 1, 0, 3)")));
        QVERIFY(seen.contains(QStringLiteral("width 1 2560")));
    }

    void xlrdReadsOurEdits()
    {
        if (!haveXlrd())
            QSKIP("python3-xlrd is not installed");
        QTemporaryDir dir;
        for (const char* name : {"libreoffice-recalculated.xls", "sheetjs-ministream.xls"}) {
            const QByteArray file = readFile(fixture(name));
            const Workbook before = Workbook::fromFile(file);
            const QByteArray edited = ReplaceCellTexts(file, before.sheet(0).name,
                                                       {{{1, 0}, QStringLiteral("改过的") + QString(5000, QChar(0x5B57))}});
            const QString path = dir.filePath(QString::fromLatin1(name));
            SaveFileAtomically(path, edited);
            const QStringList seen = xlrdSees(path);
            const QString expected = QStringLiteral("1,0=改过的") + QString(5000, QChar(0x5B57));
            bool found = false;
            for (const QString& line : seen)
                found = found || line.startsWith(expected + QLatin1Char(' '));
            QVERIFY2(found, name);
            QVERIFY2(seen.contains(QStringLiteral("sheet ") + before.sheet(before.sheetCount() - 1).name), name);
            QVERIFY2(std::any_of(seen.begin(), seen.end(),
                                 [](const QString& l) { return l.startsWith(QStringLiteral("2,1=李四")); }),
                     qPrintable(seen.filter(QStringLiteral("2,1")).join(QLatin1Char('|'))));
        }
    }

    void xlsdumpTool()
    {
        const QString tool = QStringLiteral(SLIP_STAGE_DIR "/xlsdump");
        QProcess p;
        p.start(tool, {fixture("sheetjs-ministream.xls")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')),
                 (QStringList{"sheets: 明细", "部门\t姓名\t金额\t日期\t公式", "财务部\t张三\t3000.25\t2026-12-05\t6000.5",
                              "销售部\t李四\t42\t2026-01-31\tx李四", ""}));
        p.start(tool, {fixture("xlwt-basic.xls"), QStringLiteral("Other")});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).startsWith(QStringLiteral("sheets: 工资, Other\n合并的标题\n")));
        p.start(tool, {fixture("make-fixtures.sh")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        const QStringList err = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(err.size(), 1);
        QVERIFY(err.first().startsWith(QStringLiteral("xlsdump: ")));
    }
};

SLIP_TEST_MAIN(TestXlsRead, TestXlsWrite, TestXlsEdit, TestXlsOutside)

#include "tst_xls.moc"
