#include "tests/support/SheetFixture.h"
#include "tests/support/TestMain.h"

#include "spreadsheet/Export.h"
#include "spreadsheet/Payslips.h"
#include "spreadsheet/uEleGZBill.h"

#include "common/StartValues.h"
#include "common/Text.h"
#include "payitems/TemplateChoice.h"
#include "paysheet/ShownSheet.h"
#include "platform/sheetapp/SheetApp.h"
#include "platform/xls/XlsTable.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using spreadsheet::Replacement;

namespace {

// Every operation of the export, as the spreadsheet application would receive it.
class RecordingApplication : public sheetapp::Application {
public:
    explicit RecordingApplication(QStringList& log) : m_log(log) {}
    void addWorkbook() override { m_log << "Workbooks.Add"; }
    void setCellValue(int row, int column, const QString& text) override
    {
        m_log << QStringLiteral("Cells(%1,%2)=%3").arg(row).arg(column).arg(text);
    }
    void mergeRange(const QString& address) override { m_log << "Merge " + address; }
    void setCellFormat(int row, int column, const sheetapp::CellFormat& f) override
    {
        m_log << QStringLiteral("Format(%1,%2) h%3 v%4 %5%6").arg(row).arg(column).arg(f.horizontalAlignment)
                     .arg(f.verticalAlignment).arg(f.fontName).arg(f.fontStyle);
    }
    void setCaption(const QString& c) override { m_log << "Caption=" + c; }
    void setDisplayAlerts(bool on) override { m_log << QStringLiteral("DisplayAlerts=%1").arg(on); }
    void setSheetsInNewWorkbook(int n) override { m_log << QStringLiteral("SheetsInNewWorkbook=%1").arg(n); }
    void setVisible(bool on) override { m_log << QStringLiteral("Visible=%1").arg(on); }

private:
    QStringList& m_log;
};

// Reads a workbook with python3-xlrd: each row's texts joined by "|", merges and bold cells.
QString xlrdDump(const QString& path)
{
    QProcess py;
    py.start("/usr/bin/python3", {"-c", R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
for r in range(s.nrows):
    print('|'.join(str(v) for v in s.row_values(r)))
print('merged', sorted(s.merged_cells))
f = b.xf_list[s.cell_xf_index(min(2, s.nrows - 1), 0)]
print('bold', b.font_list[f.font_index].bold, 'border', f.border.left_line_style)
)", path});
    py.waitForFinished(30000);
    return QString::fromUtf8(py.readAllStandardOutput()) + QString::fromUtf8(py.readAllStandardError());
}

} // namespace

class TestPayslipRules : public QObject {
    Q_OBJECT
private slots:
    void replacementRules()
    {
        QStringList cells{"[EmpName]和[EmpName]", "[GZ1]", "[工资项目2]:[GZ2]", "[GZ3]", "[未知]", "[KK1]", "[WorkDays]天"};
        spreadsheet::PayValues row{{"EMPNAME", "张三"}, {"GZ1", 3000.5}, {"GZ2", 100.0}, {"KK1", QVariant()}, {"WORKDAYS", 21.5}};
        std::vector<payitems::PayItem> items(4);
        items[0].field = "GZ1", items[0].name = "基本工资";
        items[1].field = "GZ2", items[1].name = "奖金", items[1].showStu = 1; // disabled
        items[2].field = "GZ3", items[2].name = "   ";                        // blank caption
        items[3].field = "KK1", items[3].name = "社保";
        spreadsheet::ApplyReplacements(cells, spreadsheet::PayslipReplacements(row, items, "某公司", "202612", 7, "0.00"));
        QCOMPARE(cells, (QStringList{"张三和[EmpName]", "3000.50", "-:-", "0.00", "[未知]", "0.00", "21.5天"}));
    }

    void fixedPlaceholders_data()
    {
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("text");
        QTest::newRow("company") << "[单位名称]" << "某公司";
        QTest::newRow("empty name") << "[EmpName]" << "-";
        QTest::newRow("month") << "[GZMonth]" << "202612";
        QTest::newRow("day rate, whole") << "[OneDayMOney]" << "231";
        QTest::newRow("sequence") << "[SortIdx]" << "12";
        QTest::newRow("net pay, whole with decimals off") << "[GZTotal]" << "2850";
        QTest::newRow("empty total") << "[KKTotal]" << "0";
    }
    void fixedPlaceholders()
    {
        QFETCH(QString, placeholder);
        QFETCH(QString, text);
        QStringList cells{placeholder};
        spreadsheet::PayValues row{{"EMPNAME", ""}, {"ONEDAYMONEY", 230.5}, {"GZTOTAL", 2849.5}};
        spreadsheet::ApplyReplacements(cells, spreadsheet::PayslipReplacements(row, {}, "某公司", "202612", 12, "0"));
        QCOMPARE(cells.first(), text);
    }

    void fileNames_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("padded") << 1 << "张三" << "0001_张三.xls";
        QTest::newRow("empty name") << 12 << "" << "0012_.xls";
        QTest::newRow("slash") << 3 << "../../etc/x" << "0003_.._.._etc_x.xls";
        QTest::newRow("past four digits") << 12345 << "李四" << "12345_李四.xls";
    }
    void fileNames()
    {
        QFETCH(int, sequence);
        QFETCH(QString, name);
        QFETCH(QString, file);
        QCOMPARE(spreadsheet::PayslipFileName(sequence, name), file);
    }
};

class TestPayslipFiles : public QObject {
    Q_OBJECT
private slots:
    void eachTemplateYieldsReadableFiles_data()
    {
        QTest::addColumn<int>("printDays");
        QTest::addColumn<int>("earnings");
        QTest::addColumn<int>("deductions");
        QTest::addColumn<QString>("stem");
        QTest::newRow("days") << 1 << 3 << 2 << "GZBillWithDay";
        QTest::newRow("no deductions") << 0 << 3 << 0 << "GZBillNoKK";
        QTest::newRow("10 and 5") << 0 << 10 << 5 << "GZBill";
        QTest::newRow("20 and 5") << 0 << 12 << 5 << "GZBill20_5";
        QTest::newRow("10 and 10") << 0 << 4 << 7 << "GZBill10_10";
        QTest::newRow("20 and 10") << 0 << 20 << 10 << "GZBill20_10";
    }
    void eachTemplateYieldsReadableFiles()
    {
        QFETCH(int, printDays);
        QFETCH(int, earnings);
        QFETCH(int, deductions);
        QFETCH(QString, stem);
        Session s;
        s.addMonth("202612");
        s.completeItemSet("202612");
        s.dm.ADOLocal.execute("update TGZSet set ShowStu=1 where GZMonth='202612'");
        s.dm.ADOLocal.execute("update TGZSet set ShowStu=0, GZName='收入'||substr(GZField1,3) where GZMonth='202612' and GZType=0 and "
                              "cast(substr(GZField1,3) as integer)<=?", {earnings});
        s.dm.ADOLocal.execute("update TGZSet set ShowStu=0, GZName='扣款'||substr(GZField1,3) where GZMonth='202612' and GZType=1 and "
                              "cast(substr(GZField1,3) as integer)<=?", {deductions});
        const payitems::TemplateChoice choice = payitems::ChooseMonthTemplate(s.dm.ADOLocal, "202612", printDays);
        QCOMPARE(choice.stem, stem);
        s.addRow("202612", "财务部", "张三", {{"GZ1", 3000.5}, {"KK1", 100}, {"YFTotal", 3000.5}, {"KKTotal", 100}, {"GZTotal", 2900.5}, {"WorkDays", 21.5}});
        s.addRow("技术部", "技术部", "李四"); // another month: not written
        s.addRow("202612", "技术部", "张三");
        QDir().mkpath(s.folder.file("out"));
        const spreadsheet::PayslipRun run = spreadsheet::WritePayslips(
            s.dm.ADOLocal, "202612", s.folder.file("RPT/" + stem + ".xls"), s.folder.file("out"), "某公司", "0.00");
        QCOMPARE(run.written, 2);
        QVERIFY(run.failed.isEmpty());
        QCOMPARE(QDir(s.folder.file("out")).entryList(QDir::Files), (QStringList{"0001_张三.xls", "0002_张三.xls"}));
        const QString dump = xlrdDump(s.folder.file("out/0001_张三.xls"));
        QVERIFY2(dump.contains("某公司工资单"), qPrintable(dump));
        QVERIFY(dump.contains("张三"));
        QVERIFY(dump.contains("收入1|收入2"));
        QVERIFY(dump.contains("3000.50|0.00"));
        QCOMPARE(dump.contains("扣款1"), deductions > 0);
        QVERIFY(dump.contains("2900.50"));
        QCOMPARE(dump.contains("21.5"), printDays == 1);
        QVERIFY2(!dump.section("merged", 0, 0).contains('['), qPrintable(dump)); // every placeholder replaced
        QVERIFY(dump.contains("bold 1 border 1"));
    }

    void dialogWritesAndTells()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三", {{"GZ1", 10}});
        startValues().companyName = "某公司";
        TfrmEleEleGZBill dlg(s.dm, "202612", s.folder.file("RPT/GZBill.xls"));
        dlg.Button2->click();
        QCOMPARE(s.ui.messages, QStringList{"请指定电子工资条的存放路径！"});
        QDir().mkpath(s.folder.file("out"));
        s.ui.answerFile(s.folder.file("out"));
        dlg.Button1->click();
        QCOMPARE(s.ui.prompts.last(), QStringLiteral("选择电子工资条存放路径"));
        QCOMPARE(dlg.EditPath->text(), s.folder.file("out"));
        dlg.Button2->click();
        QCOMPARE(s.ui.messages.last(), QStringLiteral("生成工资条结束！"));
        QCOMPARE(dlg.lblHint->text(), QStringLiteral("1/1"));
        QVERIFY(!dlg.Button2->isEnabled());
        QCOMPARE(s.shell.started.size(), size_t(1));
        QCOMPARE(s.shell.started[0].first, s.folder.file("out"));
        QVERIFY(QFile::exists(s.folder.file("out/0001_张三.xls")));
    }

    void missingTemplateWritesNoFileAndNamesThem()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三");
        startValues().companyName = "某公司";
        QDir().mkpath(s.folder.file("out"));
        TfrmEleEleGZBill dlg(s.dm, "202612", s.folder.file("RPT/NoSuch.xls"));
        s.ui.answerFile(s.folder.file("out"));
        dlg.Button1->click();
        dlg.Button2->click();
        QCOMPARE(s.ui.messages, QStringList{"生成工资条结束！\n1个文件没有生成：0001_张三.xls"});
        QVERIFY(QDir(s.folder.file("out")).entryList(QDir::Files).isEmpty());
        QCOMPARE(s.shell.started.size(), size_t(1)); // the folder opens all the same
    }

    void unwritableFilesAreNamed()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三");
        s.addRow("202612", "财务部", "李四");
        QDir().mkpath(s.folder.file("out/0002_张三.xls")); // a folder where the file should go
        const spreadsheet::PayslipRun run = spreadsheet::WritePayslips(
            s.dm.ADOLocal, "202612", s.folder.file("RPT/GZBill.xls"), s.folder.file("out"), "", "0");
        QCOMPARE(run.written, 1);
        QCOMPARE(run.failed, QStringList{"0002_张三.xls"});
    }
};

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void columnNames_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::newRow("A") << 1 << "A";
        QTest::newRow("Z") << 26 << "Z";
        QTest::newRow("AA") << 27 << "AA";
        QTest::newRow("AZ") << 52 << "AZ";
        QTest::newRow("BA") << 53 << "BA";
    }
    void columnNames()
    {
        QFETCH(int, column);
        QFETCH(QString, name);
        QCOMPARE(sheetapp::ColumnName(column), name);
    }

    void operationsFollowTheSheet()
    {
        SheetFixture f(kWholeFormat);
        f.completeItemSet("202612");
        // Enough enabled items for more than 26 columns; no deduction enabled.
        f.dm.ADOLocal.execute("update TGZSet set ShowStu=0 where GZMonth='202612' and GZType=0");
        f.dm.ADOLocal.execute("update TGZSet set ShowStu=1 where GZMonth='202612' and GZType=1");
        f.rs.close();
        paysheet::ApplyItemTitles(f.grid, paysheet::ReadItemTitles(f.dm.ADOLocal, "202612"));
        paysheet::OpenSheetRows(f.rs, "202612");
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        QStringList log;
        sheetapp::SetFactory([&] { return std::make_unique<RecordingApplication>(log); });
        SendGridToExcel("工资条制作打印软件", sheet);
        sheetapp::SetFactory({});

        QCOMPARE(log.first(), QStringLiteral("Workbooks.Add"));
        QCOMPARE(log.at(1), QStringLiteral("Cells(1,1)=工资条制作打印软件"));
        QVERIFY(log.contains("Merge A1:A2")); // 序号
        int visible = 0, yf = 0;
        for (const auto& c : sheet.columns)
            if (c.visible) {
                ++visible;
                if (c.title == "应发工资|合计")
                    yf = visible;
            }
        QVERIFY(visible > 26);
        const int firstGz = [&] { int n = 0; for (const auto& c : sheet.columns) { if (c.visible) ++n; if (c.visible && c.field == "GZ1") return n; } return 0; }();
        QVERIFY(log.contains("Merge " + sheetapp::ColumnName(firstGz) + "1:" + sheetapp::ColumnName(yf) + "1"));
        QCOMPARE(log.filter(QRegularExpression("^Merge [A-Z]+1:[A-Z]+1$")).size(), 1); // no deduction group
        QVERIFY(!log.join('\n').contains("电子邮件地址")); // hidden columns left out
        QVERIFY(log.contains("Format(1,1) h7 v-4108 宋体 加粗 "));
        QVERIFY(log.contains(QStringLiteral("Format(3,%1) h1 v-4108 宋体 加粗 ").arg(visible)));
        QCOMPARE(log.filter(QRegularExpression("^Cells\\(5,")).size(), visible); // three pay rows: rows 3 to 5
        QVERIFY(log.filter(QRegularExpression("^Cells\\(6,")).isEmpty());
        const int zhang = [&] { for (int r = 0; r < sheet.rowCount(); ++r) if (sheet.texts[size_t(r)][sheet.columnOfField("EmpName")] == "李四") return r; return -1; }();
        QVERIFY(log.contains(QStringLiteral("Cells(%1,%2)=4000.25").arg(zhang + 3).arg(firstGz)));
        QCOMPARE(log.mid(log.size() - 4), (QStringList{"Caption=工资条制作打印软件", "DisplayAlerts=0", "SheetsInNewWorkbook=1", "Visible=1"}));
    }

    void refusals()
    {
        Session s;
        paysheet::ShownSheet closed;
        SendGridToExcel("t", closed);
        SheetFixture f(kWholeFormat);
        f.shell.fails = true; // no spreadsheet program
        SendGridToExcel("t", paysheet::ReadShownSheet(f.grid));
        QCOMPARE(s.ui.messages + f.ui.messages,
                 (QStringList{"查询过程没有执行，没有数据库可以发送！", kNoSpreadsheetProgram}));
    }

    void realWorkbookReadsBack()
    {
        SheetFixture f(kDecimalFormat);
        sheetapp::WorkbookApplication* made = nullptr;
        sheetapp::SetFactory([&] {
            auto app = std::make_unique<sheetapp::WorkbookApplication>();
            made = app.get();
            return app;
        });
        SendGridToExcel("工资条制作打印软件", paysheet::ReadShownSheet(f.grid));
        sheetapp::SetFactory({});
        QVERIFY(made);
        const QString file = f.shell.started.back().first;
        QVERIFY(file.endsWith(".xls"));
        QVERIFY(file.startsWith(QDir::tempPath()));
        const QString dump = xlrdDump(file);
        QFile::remove(file);
        QVERIFY2(dump.startsWith("序号|月度|部门|姓名|职务|应发工资|"), qPrintable(dump));
        QVERIFY(dump.contains("(0, 2, 0, 1)")); // 序号 over two rows
        QVERIFY(dump.contains("4000.25"));
        QVERIFY(dump.contains("bold 1 border 1"));
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestPayslipRules, TestPayslipFiles, TestExport>(argc, argv);
}

#include "tst_payslips.moc"
