#include "tests/support/SheetFixture.h"
#include "tests/support/TestMain.h"

#include "spreadsheet/Import.h"
#include "spreadsheet/uExcelLoadIn.h"

#include "common/Clock.h"
#include "common/Text.h"
#include "paysheet/ShownSheet.h"
#include "platform/xls/XlsWriter.h"
#include "TestPaths.h"

#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstring>

using spreadsheet::MappingRow;

namespace {

// A table of fixed texts, for the rules that only read column names.
class FakeTable : public xls::Table {
public:
    explicit FakeTable(QStringList names) : m_names(std::move(names)) {}
    QStringList columnNames() const override { return m_names; }
    int recordCount() const override { return 0; }
    void first() override {}
    void next() override {}
    bool eof() const override { return true; }
    QString value(int) const override { return {}; }

private:
    QStringList m_names;
};

// A workbook of the given sheets, each a list of rows of cells ("#n" writes the number n).
QString writeWorkbook(const QString& path, const QList<QPair<QString, QList<QStringList>>>& sheets)
{
    xls::WorkbookWriter w;
    for (const auto& [name, rows] : sheets) {
        const int s = w.addSheet(name);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c) {
                const QString& t = rows[r][c];
                if (t.startsWith(QLatin1Char('#')))
                    w.setNumber(s, r, c, t.mid(1).toDouble());
                else if (!t.isEmpty())
                    w.setText(s, r, c, t);
            }
    }
    w.save(path);
    return path;
}

QString itemCaption(Session& s, const QString& month, const QString& field)
{
    return s.dm.GetDataBySQL(QStringLiteral("select GZName from TGZSet where GZMonth=? and GZField1=?"), {month, field});
}

// This executable run again as the importing process that the kill test ends midway:
// "--import-child FOLDER FILE MONTH". It says "started" once 1,000 rows are stored and
// then slows down.
const char* const kImportChild = "--import-child";

int importChild(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    TDM dm;
    if (!dm.ConnectTo(args[2]))
        return 2;
    xls::XlsConnection source;
    source.open(spreadsheet::SourceConnectionString(args[3]));
    auto table = source.openTable(source.tableNames().first());
    auto rows = spreadsheet::ParseFieldList(QStringLiteral("部门 DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n"));
    spreadsheet::MatchAutomatically(rows, *table);
    spreadsheet::ImportRows(dm.ADOLocal, *table, rows, args[4], QDateTime::currentDateTime(), [](int done, int) {
        if (done >= 1000) {
            std::printf("started\n");
            std::fflush(stdout);
            QThread::msleep(50);
        }
    });
    return 0;
}

} // namespace

class TestImportRules : public QObject {
    Q_OBJECT
private slots:
    void fieldListHoldsTheVisibleColumns_data()
    {
        QTest::addColumn<int>("printDays");
        QTest::newRow("days hidden") << 0;
        QTest::newRow("days shown") << 1;
    }
    void fieldListHoldsTheVisibleColumns()
    {
        QFETCH(int, printDays);
        SheetFixture f(kDecimalFormat);
        paysheet::ApplyDayColumns(f.grid, printDays);
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        const QStringList lines = spreadsheet::ImportFieldList(sheet).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList fields;
        for (const QString& l : lines) {
            QVERIFY(l.endsWith(QStringLiteral(" CHAR N N")));
            fields << l.section(QLatin1Char(' '), 1, 1);
        }
        QStringList expected{"DepartName", "EmpName", "ZWName"};
        if (printDays)
            expected << "WorkDays" << "OneDayMOney";
        for (const auto& c : sheet.columns) // enabled items, as the sheet shows them
            if (c.visible && QRegularExpression("^(GZ|KK)[0-9]+$").match(c.field).hasMatch())
                expected << c.field;
        QCOMPARE(fields, expected);
        QVERIFY(!fields.contains("GZ6")); // disabled in the fixture
        QCOMPARE(lines.first(), QStringLiteral("部门 DepartName CHAR N N"));
        const int gz1 = sheet.columnOfField("GZ1");
        QVERIFY(lines.contains(sheet.columns[gz1].title + " GZ1 CHAR N N"));
        QVERIFY(sheet.columns[gz1].title.startsWith(QStringLiteral("应发工资|")));
    }

    void lineParsing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("plain") << "部门 DepartName CHAR N N" << QStringList{"部门", "DepartName", "CHAR", "N", "N"};
        QTest::newRow("two-level caption") << "应发工资|岗位工资 GZ3 CHAR N N"
                                           << QStringList{"应发工资|岗位工资", "GZ3", "CHAR", "N", "N"};
        QTest::newRow("caption with a blank shifts the fields")
            << "应发工资|岗位 工资 GZ3 CHAR N N" << QStringList{"应发工资|岗位", "工资", "GZ3", "CHAR", "N"};
        QTest::newRow("short line") << "部门 DepartName" << QStringList{"部门", "", "", "", ""};
    }
    void lineParsing()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, cells);
        const auto rows = spreadsheet::ParseFieldList(line + "\r\n");
        QCOMPARE(rows.size(), size_t(1));
        const MappingRow& r = rows[0];
        QCOMPARE((QStringList{r.caption, r.field, r.type, r.unique, r.required}), cells);
        QVERIFY(r.source.isEmpty());
    }

    void matchingIgnoresCaseAndKeepsTheRest()
    {
        std::vector<MappingRow> rows = spreadsheet::ParseFieldList("Dept DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n职务 ZWName CHAR N N\r\n");
        rows[2].source = "Post";
        FakeTable table({"x", "DEPT", "姓名", "Post"});
        QCOMPARE(spreadsheet::FindField(table, "dept"), 1);
        QCOMPARE(spreadsheet::FindField(table, "nothing"), -1);
        spreadsheet::MatchAutomatically(rows, table);
        QCOMPARE(rows[0].source, QStringLiteral("DEPT"));
        QCOMPARE(rows[1].source, QStringLiteral("姓名"));
        QCOMPARE(rows[2].source, QStringLiteral("Post")); // no match: kept
    }

    void connectionString()
    {
        const QString cs = spreadsheet::SourceConnectionString("/data/工资.xls");
        QVERIFY(cs.startsWith("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/data/工资.xls;Mode=Share Deny None;"
                              "Extended Properties=Excel 8.0;Persist Security Info=False;Jet OLEDB:System database=\"\";"));
        QVERIFY(cs.endsWith("Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False"));
        QCOMPARE(cs.count(';'), 18);
    }

    void summary_data()
    {
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QString>("text");
        QTest::newRow("none skipped") << 0 << "导入数据结束！\n共导入5条，跳过0条。";
        QTest::newRow("two skipped") << 2 << "导入数据结束！\n共导入5条，跳过2条（Excel表中第2、3行）。";
        QTest::newRow("more than twenty") << 25
                                          << "导入数据结束！\n共导入5条，跳过25条（Excel表中第2、3、4、5、6、7、8、9、10、11、"
                                             "12、13、14、15、16、17、18、19、20、21行…）。";
    }
    void summary()
    {
        QFETCH(int, skipped);
        QFETCH(QString, text);
        spreadsheet::ImportResult r;
        r.imported = 5;
        r.skipped = skipped;
        for (int i = 0; i < skipped; ++i)
            r.skippedRows << i + 2;
        QCOMPARE(spreadsheet::ImportSummary(r), text);
    }
};

class TestImportDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }

    void importsEveryKindOfRow()
    {
        Session s;
        s.addMonth("202612");
        const QString gz1 = "应发工资|" + itemCaption(s, "202612", "GZ1");
        const QString kk1 = "应扣/代扣工资|" + itemCaption(s, "202612", "KK1");
        // A row entered by hand with a stale total is recomputed too.
        s.addRow("202612", "行政部", "钱七", {{"GZ1", 100}, {"YFTotal", 999}});
        const QString file = writeWorkbook(s.folder.file("in.xls"), {{"工资", {
            {"部门", "姓名", "职务", gz1, kk1, "备注"},
            {"财务部", "张三", "会计", "#3000.5", "#200", "x"},
            {"技术部", "李四", "", "", "", ""},
            {"销售部", "王五", "经理", "abc", "#1", ""},
            {"销售部", "赵六", "职员", "#-150", "#10", ""},
            {"销售部", QString(30, QChar(0x738B)), "职员", "#1", "#1", ""},
        }}});
        const QString list = QStringLiteral("部门 DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n职务 ZWName CHAR N N\r\n")
                             + gz1 + " GZ1 CHAR N N\r\n" + kk1 + " KK1 CHAR N N\r\n";
        TfrmExcelLoadIn dlg(s.dm, "202612", list);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Excel数据导入工具"));
        QVERIFY(!dlg.Button4->isEnabled());
        QVERIFY(!dlg.cmbTables->isEnabled());
        s.ui.answerFile(file);
        dlg.Button6->click();
        QCOMPARE(s.ui.prompts, QStringList{kImportFileCaption});
        QCOMPARE(s.ui.filters, QStringList{kImportFilter});
        QVERIFY(dlg.Button4->isEnabled());
        QCOMPARE(dlg.cmbTables->currentText(), QStringLiteral("工资$"));
        QCOMPARE(dlg.sgMap->rowCount(), 5);
        for (const MappingRow& r : dlg.mapping()) // all matched by caption
            QCOMPARE(r.source, r.caption);
        QCOMPARE(dlg.PopupMenu1->actions().size(), 6);

        dlg.Button4->click();
        QVERIFY(!dlg.Button4->isEnabled());
        QCOMPARE(s.ui.messages, QStringList{"导入数据结束！\n共导入3条，跳过2条（Excel表中第4、6行）。"});
        const QStringList stored = s.column(
            "select EmpName||':'||ifnull(ZWName,'-')||':'||ifnull(GZ1,'-')||':'||ifnull(KK1,'-')||':'||YFTotal||':'||KKTotal||':'||GZTotal||':'||ifnull(QM,'-') "
            "from TGZ where GZMonth='202612' order by ID");
        QCOMPARE(stored, (QStringList{"钱七:-:100.0:-:100.0:0.0:100.0:-", "张三:会计:3000.5:200.0:3000.5:200.0:2800.5:-",
                                      "李四:-:-:-:0.0:0.0:0.0:-", "赵六:职员:-150.0:10.0:-150.0:10.0:-160.0:-"}));
        QCOMPARE(s.column("select LOGTime from TGZ where EmpName='张三'"), QStringList{"2026-12-10 09:00:00"});
    }

    void anotherSheetKeepsTheMapping()
    {
        Session s;
        s.addMonth("202612");
        const QString file = writeWorkbook(s.folder.file("in.xls"), {
            {"A", {{"部门", "姓名"}, {"财务部", "张三"}}},
            {"B", {{"Dept", "Name"}, {"技术部", "李四"}, {"技术部", "王五"}}}});
        TfrmExcelLoadIn dlg(s.dm, "202612", "部门 DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n");
        QVERIFY(dlg.OpenSource(file));
        dlg.cmbTables->setCurrentIndex(1);
        dlg.cmbTablesClick();
        QCOMPARE(dlg.mapping()[0].source, QStringLiteral("部门"));
        QCOMPARE(dlg.PopupMenu1->actions().size(), 2);
        QCOMPARE(dlg.PopupMenu1->actions()[1]->text(), QStringLiteral("Name"));
        dlg.Button4->click(); // the sheet lacks the mapped columns
        QCOMPARE(s.ui.messages.last(), QStringLiteral("导入数据结束！\n共导入0条，跳过2条（Excel表中第2、3行）。"));
        QCOMPARE(s.column("select count(*) from TGZ"), QStringList{"0"});

        // Mapped by hand through the column menu.
        dlg.sgMap->selectRow(0);
        dlg.PopupMenu1->actions()[0]->trigger();
        dlg.sgMap->selectRow(1);
        dlg.PopupMenu1->actions()[1]->trigger();
        QCOMPARE(dlg.sgMap->item(1, 5)->text(), QStringLiteral("Name"));
        QVERIFY(dlg.UpdateData());
        QCOMPARE(s.column("select EmpName from TGZ order by ID"), (QStringList{"李四", "王五"}));
    }

    void refusals()
    {
        Session s;
        s.addMonth("202612");
        TfrmExcelLoadIn dlg(s.dm, "202612", "部门 DepartName CHAR N N\r\n");
        dlg.Button1->click();
        QCOMPARE(s.ui.messages, QStringList{"请首先选择源Excel数据文件，然后再指定列对应关系。"});
        s.folder.writeFile("text.xls", "不是工作簿");
        QVERIFY(!dlg.OpenSource(s.folder.file("text.xls")));
        QCOMPARE(s.ui.messages.last(), QStringLiteral("确认选择的数据文件是正确的数据文件！"));
        QVERIFY(!dlg.Button4->isEnabled());
    }

    void workbooksOfOtherWritersImport_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("xlwt") << "xlwt-basic.xls";
        QTest::newRow("SheetJS") << "sheetjs-ministream.xls";
        QTest::newRow("LibreOffice") << "libreoffice-recalculated.xls";
    }
    void workbooksOfOtherWritersImport()
    {
        QFETCH(QString, fixture);
        Session s;
        s.addMonth("202612");
        TfrmExcelLoadIn dlg(s.dm, "202612", "部门 DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n");
        QVERIFY(dlg.OpenSource(QStringLiteral(SLIP_SOURCE_DIR "/tests/platform/xls/fixtures/") + fixture));
        QVERIFY(dlg.UpdateData());
        const QStringList names = s.column("select EmpName from TGZ order by ID");
        QVERIFY(names.size() >= 2);
        QCOMPARE(names.mid(0, 2), (QStringList{"张三", "李四"}));
    }

    void killedImportLeavesTheMonthAsItWas()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "行政部", "钱七");
        QList<QStringList> rows{{"部门", "姓名"}};
        for (int i = 0; i < 10000; ++i)
            rows << QStringList{"部", QStringLiteral("员工%1").arg(i)};
        const QString file = writeWorkbook(s.folder.file("big.xls"), {{"S", rows}});
        const QStringList before = s.dump("TGZ");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {kImportChild, s.folder.path(), file, "202612"});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("started"));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        s.dm.ADOLocal.close();
        QVERIFY(s.folder.connect(s.dm));
        QCOMPARE(s.dump("TGZ"), before);
        QCOMPARE(s.column("PRAGMA integrity_check"), QStringList{"ok"});
    }
};

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], kImportChild) == 0)
        return importChild(argc, argv);
    return slip_test::runTests<TestImportRules, TestImportDialog>(argc, argv);
}

#include "tst_spreadsheet.moc"
