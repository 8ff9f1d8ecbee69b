#include "tests/support/TestMain.h"

#include "common/IniFile.h"
#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "platform/shell/Shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void normalizeNumText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks around") << "  12.5 " << "12.5";
        QTest::newRow("empty mask") << "   .  " << "0.0";
        QTest::newRow("43 in the mask") << "43 .  " << "43";
        QTest::newRow("point zero") << ".0" << "0.0";
        QTest::newRow("trailing point") << "5." << "5";
        QTest::newRow("leading point kept") << ".5" << ".5";
        QTest::newRow("blanks only") << "     " << "0";
        QTest::newRow("empty") << "" << "0";
        QTest::newRow("zero point zero") << "0.0" << "0.0";
        QTest::newRow("sign kept") << "-3" << "-3";
        QTest::newRow("not a number passes") << "1-2" << "1-2";
    }
    void normalizeNumText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(NormalizeNumText(text), expected);
    }

    void padding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("left");
        QTest::newRow("two Chinese characters") << "张三" << 8 << "张三    " << "0000张三";
        QTest::newRow("ascii") << "7" << 3 << "7  " << "007";
        QTest::newRow("already as wide") << "4567" << 4 << "4567" << "4567";
        QTest::newRow("wider than width") << "4567" << 3 << "4567" << "4567";
        QTest::newRow("mixed") << "A部" << 4 << "A部 " << "0A部";
        QTest::newRow("empty") << "" << 2 << "  " << "00";
    }
    void padding()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, right);
        QFETCH(QString, left);
        QCOMPARE(PadRightSpaces(text, width), right);
        QCOMPARE(PadLeftZeros(text, width), left);
    }

    void countSubStr_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("one separator") << "|" << "应发工资|GZ1" << 1;
        QTest::newRow("none") << "|" << "实发工资" << 0;
        QTest::newRow("no overlap") << "aa" << "aaaa" << 2;
        QTest::newRow("odd run") << "aa" << "aaa" << 1;
        QTest::newRow("empty part") << "" << "abc" << 0;
        QTest::newRow("two") << "|" << "a|b|c" << 2;
    }
    void countSubStr()
    {
        QFETCH(QString, part);
        QFETCH(QString, text);
        QFETCH(int, count);
        QCOMPARE(CountSubStr(part, text), count);
    }

    void gbk()
    {
        QCOMPARE(GbkLength(QStringLiteral("工资a")), 5);
        QCOMPARE(ToGbk(QStringLiteral("工")), QByteArray("\xB9\xA4"));
        QCOMPARE(FromGbk(ToGbk(QStringLiteral("鹪鹩工资条"))), QStringLiteral("鹪鹩工资条"));
    }

    void amountFormat()
    {
        startValues().showFloat = 0;
        QCOMPARE(AmountFormat(), QStringLiteral("0"));
        startValues().showFloat = 1;
        QCOMPARE(AmountFormat(), QStringLiteral("0.00"));
        startValues().showFloat = 2; // any non-zero value
        QCOMPARE(AmountFormat(), QStringLiteral("0.00"));
        startValues().showFloat = 0;
        QCOMPARE(FormatFloat(1234.5, kCountFormat), QStringLiteral("1235条"));
    }

    void copyFileData()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("a.bin"));
        const QString dst = dir.filePath(QStringLiteral("b.bin"));
        QByteArray bytes;
        for (int i = 0; i < 200000; ++i)
            bytes.append(char(i * 7));
        writeBytes(src, bytes);
        writeBytes(dst, QByteArray("old content that is longer than nothing"));
        CopyFileData(src, dst);
        QCOMPARE(readBytes(dst), bytes);
        QVERIFY_THROWS_EXCEPTION(FileError, CopyFileData(dir.filePath(QStringLiteral("missing")), dst));
        QCOMPARE(readBytes(dst), bytes); // a failed copy leaves the target alone
        QVERIFY_THROWS_EXCEPTION(FileError, CopyFileData(src, dir.filePath(QStringLiteral("no/such/dir/x"))));
    }

    void deleteFolderFiles()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + QStringLiteral("/DB/ContractFile/");
        writeBytes(root + QStringLiteral("a.txt"), "a");
        writeBytes(root + QStringLiteral(".hidden"), "h");
        writeBytes(root + QStringLiteral("sub/b.txt"), "b");
        writeBytes(root + QStringLiteral("sub/deeper/c.txt"), "c");
        QDir().mkpath(root + QStringLiteral("empty"));
        DeleteFolderFiles(root);
        QVERIFY(QDir(root + QStringLiteral("sub/deeper")).exists());
        QVERIFY(QDir(root + QStringLiteral("empty")).exists());
        const auto left = [](const QString& d) {
            return QDir(d).entryList(QDir::Files | QDir::Hidden | QDir::System);
        };
        QVERIFY(left(root).isEmpty());
        QVERIFY(left(root + QStringLiteral("sub")).isEmpty());
        QVERIFY(left(root + QStringLiteral("sub/deeper")).isEmpty());
        DeleteFolderFiles(dir.path() + QStringLiteral("/missing/")); // lists nothing, no fault
    }

    void iniFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("brand");
        QTest::newRow("utf-8") << QByteArray("[Last]\r\nBrand=鹪鹩\r\n") << "鹪鹩";
        QTest::newRow("gbk") << ToGbk(QStringLiteral("[Last]\r\nBrand=小鸟\r\n")) << "小鸟";
        QTest::newRow("letter case of names") << QByteArray("[LAST]\nbrand = X \n") << "X";
        QTest::newRow("empty value") << QByteArray("[Last]\nBrand=\n") << "";
        QTest::newRow("key missing") << QByteArray("[Last]\nEntName=A\n") << "default";
        QTest::newRow("other section") << QByteArray("[First]\nBrand=B\n") << "default";
        QTest::newRow("comment and BOM") << QByteArray("\xEF\xBB\xBF; note\n[Last]\nBrand=C\n") << "C";
    }
    void iniFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, brand);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("IIS.INI")), content);
        const IniFile ini(dir.filePath(QStringLiteral("IIS.INI")));
        QCOMPARE(ini.value(QStringLiteral("Last"), QStringLiteral("Brand"), QStringLiteral("default")), brand);
    }

    void iniFileMissing()
    {
        const IniFile ini(QStringLiteral("/nonexistent/IIS.INI"));
        QCOMPARE(ini.value(QStringLiteral("Last"), QStringLiteral("Brand"), QStringLiteral("d")), QStringLiteral("d"));
    }

    void shellCallsGoThroughTheSeam()
    {
        shell::RecordingShell rec;
        shell::ScopedShell scope(rec);
        OpenInBrowser(QStringLiteral("/opt/x/Help/WrenGZ.htm"));
        RunFile(QStringLiteral("calc"), QString());
        RunFile(QStringLiteral("/opt/x/SlipRenew"), QStringLiteral("-a"));
        QCOMPARE(rec.opened, QStringList{QStringLiteral("/opt/x/Help/WrenGZ.htm")});
        QCOMPARE(rec.started.size(), size_t(2));
        QCOMPARE(rec.started[1].first, QStringLiteral("/opt/x/SlipRenew"));
        QCOMPARE(rec.started[1].second, QStringLiteral("-a"));
    }

    void waitWithMessagesProcessesEvents()
    {
        bool fired = false;
        QTimer::singleShot(0, this, [&fired] { fired = true; });
        WaitWithMessages(20);
        QVERIFY(fired);
    }
};

SLIP_TEST_MAIN(TestCommon)

#include "tst_common.moc"
