#include "tests/support/Files.h"
#include "tests/support/SheetFixture.h"
#include "tests/support/TestMain.h"

#include "printing/PosText.h"
#include "printing/Preview.h"
#include "printing/uPOSPrint.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "paysheet/ShownSheet.h"
#include "platform/preview/PPreview.h"

#include <QFile>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

using preview::TPPreview;

namespace {

// The row of the sheet holding that name.
int rowOf(const paysheet::ShownSheet& sheet, const QString& name)
{
    const int c = sheet.columnOfField("EmpName");
    for (int r = 0; r < sheet.rowCount(); ++r)
        if (sheet.texts[size_t(r)][c] == name)
            return r;
    return -1;
}

} // namespace

class TestSheetPreview : public QObject {
    Q_OBJECT
private slots:
    void controlGetsTheCellsOfTheSheet_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("whole amounts") << kWholeFormat;
        QTest::newRow("two decimals") << kDecimalFormat;
    }
    void controlGetsTheCellsOfTheSheet()
    {
        QFETCH(QString, format);
        SheetFixture f(format);
        f.dm.ADOLocal.execute("update TGZ set LOGTime=NULL where EmpName='李四'");
        f.rs.close();
        paysheet::OpenSheetRows(f.rs, "202612");
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        TfrmPreview w;
        w.ReadyData1("月度[202612]工资发放明细表", sheet);
        const TPPreview& p = *w.PPreview;
        const preview::PreviewTable& t = p.table();
        QCOMPARE(p.pPrintType(), 1);
        QCOMPARE(t.rowHeight, 16); // the grid has none of its own
        QCOMPARE(t.caption, QStringLiteral("月度[202612]工资发放明细表"));
        QCOMPARE(p.pColCount(), 44);
        QCOMPARE(p.pHeaderRowCount(), 2);
        QCOMPARE(p.pDataRowCount(), 3);

        const int gz1 = sheet.columnOfField("GZ1"), gz6 = sheet.columnOfField("GZ6"), name = sheet.columnOfField("EmpName");
        QCOMPARE(t.headers[0][gz1], QStringLiteral("应发工资"));
        QCOMPARE(t.headers[1][gz1], sheet.columns[size_t(gz1)].caption);
        QCOMPARE(t.headers[0][name], QStringLiteral("姓名"));
        QCOMPARE(t.headers[1][name], QStringLiteral("姓名"));
        QCOMPARE(t.widths[size_t(gz6)], 0); // disabled item: hidden, with all its cells
        QCOMPARE(t.widths[size_t(sheet.columnOfField("ID"))], 0);
        QCOMPARE(t.widths[size_t(name)], sheet.columns[size_t(name)].width);
        QCOMPARE(t.aligns[size_t(gz1)], 2);

        const int zhang = rowOf(sheet, "张三"), li = rowOf(sheet, "李四");
        QCOMPARE(t.rows[size_t(zhang)][gz6], FormatFloat(50, format));
        QCOMPARE(t.rows[size_t(li)][sheet.columnOfField("KK1")], format == kWholeFormat ? "0" : "0.00"); // empty amount
        QCOMPARE(t.rows[size_t(li)][sheet.columnOfField("LOGTime")], QString()); // no zero date
        QVERIFY(!t.rows[size_t(zhang)][sheet.columnOfField("LOGTime")].isEmpty());

        const QStringList& footer = t.rows[3];
        QCOMPARE(footer[sheet.columnOfField("SortIdx")], QStringLiteral("合计"));
        QCOMPARE(footer[name], QStringLiteral("3条"));
        QCOMPARE(footer[gz1], format == kWholeFormat ? "7000" : "7000.25");
        QVERIFY(footer[sheet.columnOfField("OneDayMOney")].isEmpty()); // a format, no aggregate
    }

    void emptySheetHasItsFooterAtRowZero()
    {
        SheetFixture f(kDecimalFormat);
        paysheet::OpenSheetRows(f.rs, "nothing");
        TfrmPreview w;
        w.ReadyData1("t", paysheet::ReadShownSheet(f.grid));
        QCOMPARE(w.PPreview->pDataRowCount(), 0);
        const QStringList& footer = w.PPreview->table().rows[0];
        QCOMPARE(footer[paysheet::ReadShownSheet(f.grid).columnOfField("EmpName")], QStringLiteral("0条"));
    }

    void closedSheetOpensNoWindow()
    {
        Session s;
        paysheet::ShownSheet closed;
        PreviewGrid("t", closed);
        QCOMPARE(s.ui.messages, QStringList{"无查询结果！"});
        QVERIFY(s.ui.dialogTitles.isEmpty());
    }

    void operationsOutsideTheBoundsFail_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("index");
        QTest::newRow("width of a column past the last") << 0 << 3 << 10;
        QTest::newRow("negative width") << 0 << 0 << -1;
        QTest::newRow("alignment 3") << 1 << 0 << 3;
        QTest::newRow("header row past the last") << 2 << 0 << 2;
        QTest::newRow("row after the footer row") << 3 << 0 << 6;
        QTest::newRow("negative column") << 3 << -1 << 0;
    }
    void operationsOutsideTheBoundsFail()
    {
        QFETCH(int, op);
        QFETCH(int, column);
        QFETCH(int, index);
        TPPreview p;
        p.setPColCount(3);
        p.setPHeaderRowCount(2);
        p.setPDataRowCount(5);
        p.SetPreviewDataCell(2, 5, "footer"); // the row after the data rows is taken
        auto run = [&] {
            switch (op) {
            case 0: p.SetPreviewColWidth(column, index); break;
            case 1: p.SetPreviewColAlign(column, index); break;
            case 2: p.SetPreviewTitleCell(column, index, "x"); break;
            default: p.SetPreviewDataCell(column, index, "x"); break;
            }
        };
        QVERIFY_THROWS_EXCEPTION(preview::PreviewError, run());
    }

    void equalHeaderCellsMerge()
    {
        preview::PreviewTable t;
        t.widths = {40, 40, 40, 40};
        t.headers = {{"应发工资", "应发工资", "姓名", "实发"}, {"基本", "奖金", "姓名", "实发"}};
        const auto blocks = preview::MergeHeaders(t, {0, 1, 2, 3});
        QStringList shown;
        for (const auto& b : blocks)
            shown << QStringLiteral("%1:r%2-%3:c%4-%5").arg(b.text).arg(b.firstRow).arg(b.lastRow).arg(b.firstCol).arg(b.lastCol);
        QCOMPARE(shown, (QStringList{"应发工资:r0-0:c0-1", "姓名:r0-1:c2-2", "实发:r0-1:c3-3", "基本:r1-1:c0-0", "奖金:r1-1:c1-1"}));
    }

    void sixtyRowsOnA4()
    {
        Session s;
        s.addMonth("202612");
        for (int i = 0; i < 60; ++i)
            s.addRow("202612", "部", QStringLiteral("员工%1").arg(i, 2, 10, QLatin1Char('0')), {{"GZ1", 1000 + i}});
        db::RecordSet rs(s.dm.ADOLocal);
        rs.addCalculatedField("SortIdx", db::FieldType::Integer, [](const db::RecordSet&, int row) { return QVariant(row + 1); });
        grid::DBGrid grid;
        grid.setColumns(paysheet::SheetColumns());
        grid.setRecordSet(&rs);
        paysheet::ApplyItemTitles(grid, paysheet::ReadItemTitles(s.dm.ADOLocal, "202612"));
        paysheet::ApplyDayColumns(grid, 0);
        paysheet::OpenSheetRows(rs, "202612");
        TfrmPreview w;
        w.ReadyData1("月度[202612]工资发放明细表", paysheet::ReadShownSheet(grid));

        const QString pdf = s.folder.file("sheet.pdf");
        w.PPreview->saveAsPdf(pdf);
        QPdfWriter probe(s.folder.file("probe.pdf"));
        probe.setResolution(300);
        probe.setPageSize(QPageSize(QPageSize::A4));
        probe.setPageOrientation(QPageLayout::Landscape);
        probe.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        const preview::PageLayout layout = w.PPreview->layoutFor(probe);
        QVERIFY(layout.pageCount() >= 2);
        QCOMPARE(layout.pages.front().first, 0);
        QCOMPARE(layout.pages.back().second, 61); // 60 rows and the footer
        for (size_t i = 1; i < layout.pages.size(); ++i)
            QCOMPARE(layout.pages[i].first, layout.pages[i - 1].second);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        const QStringList pages = PdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), layout.pageCount());
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY2(pages[i].contains("月度[202612]工资发放明细表"), qPrintable(pages[i]));
            QVERIFY(pages[i].contains("姓名")); // the header on every page
            QVERIFY(pages[i].contains(QStringLiteral("第 %1 页，共 %2 页").arg(i + 1).arg(pages.size())));
        }
        QVERIFY(pages.front().contains("员工00"));
        QVERIFY(pages.back().contains("员工59"));
        QVERIFY(pages.back().contains("合计"));
        QVERIFY(pages.back().contains("60条"));
        QVERIFY(pages.back().contains("61770")); // the sum of 1000..1059, whole
    }
};

class TestPosSlips : public QObject {
    Q_OBJECT
private slots:
    void linesOfAPayslip_data()
    {
        QTest::addColumn<int>("showFloat");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("empty");
        QTest::newRow("decimals on") << 1 << "856.50" << "0.00";
        QTest::newRow("decimals off") << 0 << "857" << "0";
    }
    void linesOfAPayslip()
    {
        QFETCH(int, showFloat);
        QFETCH(QString, amount);
        QFETCH(QString, empty);
        SheetFixture f(kWholeFormat);
        // A long caption of a hidden (disabled) item widens every caption.
        f.dm.ADOLocal.execute("update TGZSet set GZName='非常非常长的补贴项目' where GZMonth='202612' and GZField1='GZ6'");
        f.dm.ADOLocal.execute("update TGZ set GZ1=856.5 where EmpName='张三'");
        f.rs.close();
        paysheet::ApplyItemTitles(f.grid, paysheet::ReadItemTitles(f.dm.ADOLocal, "202612"));
        paysheet::OpenSheetRows(f.rs, "202612");
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        const QStringList lines = printing::BuildPosLines(sheet, showFloat);
        const int w = 29; // "应发工资|非常非常长的补贴项目"
        const QString heading = QString((w - 3) / 2, ' ') + "   工资条";
        QCOMPARE(lines.count(heading), 3);
        const int start = int(lines.indexOf(heading, lines.indexOf("姓名" + QString(w - 4, ' ') + "\t张三") - 10));
        const QStringList slip = lines.mid(start, int(lines.indexOf(heading, start + 1)) - start);
        QCOMPARE(slip.first(), heading);
        QVERIFY(slip.contains("姓名" + QString(w - 4, ' ') + "\t张三"));
        const QString gz1 = sheet.columns[size_t(sheet.columnOfField("GZ1"))].caption;
        QVERIFY(slip.contains(PadRightSpaces(gz1, w) + "\t" + amount));
        QVERIFY(slip.contains(PadRightSpaces(sheet.columns[size_t(sheet.columnOfField("KK2"))].caption, w) + "\t" + empty));
        QVERIFY(!slip.join('\n').contains("非常非常长的补贴项目")); // hidden: no line
        QVERIFY(!slip.join('\n').contains("电子邮件地址"));
        const qsizetype total = slip.indexOf(PadRightSpaces("合计", w) + "\t" + FormatFloat(3906.5, AmountFormatFor(showFloat)));
        QVERIFY(total < 0 || slip.at(total + 1) == "-----------");
        QCOMPARE(slip.count("-----------"), 2); // the two totals
        QCOMPARE(slip.mid(slip.size() - 3), (QStringList{"", QString(39, '-'), ""}));
        QVERIFY(slip.contains(PadRightSpaces("序号", w) + "\t" + QString::number(rowOf(sheet, "张三") + 1)));
    }

    void fileIsGbkWithCrLf()
    {
        Session s;
        const QString path = s.folder.file("tmp.Txt");
        printing::WritePosFile(path, {"   工资条", "姓名\t张三", ""});
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("   \xB9\xA4\xD7\xCA\xCC\xF5\r\n\xD0\xD5\xC3\xFB\t\xD5\xC5\xC8\xFD\r\n\r\n"));
        TfrmPosPrint dlg(s.folder.path());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("POS打印机打印"));
        QCOMPARE(dlg.Memo1->toPlainText(), QStringLiteral("   工资条\n姓名\t张三\n\n"));
        QCOMPARE(dlg.size(), QSize(308, 551));
    }

    void withoutADefaultPrinterTheOperatorIsTold()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer is set up; the print queue test prints on it");
        Session s;
        printing::WritePosFile(s.folder.file("tmp.Txt"), {"姓名\t张三"});
        TfrmPosPrint dlg(s.folder.path());
        QVERIFY(!dlg.Button4Click());
        QCOMPARE(s.ui.messages, QStringList{"没有设置默认打印机，无法打印！请在系统中设置默认打印机。"});
        TPPreview preview;
        QVERIFY(!preview.print());
        QCOMPARE(s.ui.messages.last(), QStringLiteral("没有可用的打印机，请先安装打印机！"));
    }

    void emptySheetWritesAnEmptyFile()
    {
        SheetFixture f(kWholeFormat);
        paysheet::OpenSheetRows(f.rs, "nothing");
        const QString path = f.folder.file("tmp.Txt");
        f.folder.writeFile("tmp.Txt", "old slips");
        printing::WritePosFile(path, printing::BuildPosLines(paysheet::ReadShownSheet(f.grid), 0));
        QCOMPARE(QFileInfo(path).size(), 0);
        TfrmPosPrint dlg(f.folder.path());
        QVERIFY(dlg.Memo1->toPlainText().isEmpty());
    }
};

// Printing through a real print queue: a private CUPS daemon started by ./test, whose
// default printer writes what it gets to a PDF file (SLIP_PRINT_OUTPUT).
class TestPrintQueue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || qEnvironmentVariableIsEmpty("SLIP_PRINT_OUTPUT"))
            QSKIP("no private print queue: run through ./test, which starts one");
        if (QPrinterInfo::defaultPrinter().isNull())
            QSKIP("the private print queue has no default printer");
    }

    void posSlipsAndPreviewPrint()
    {
        const QString out = qEnvironmentVariable("SLIP_PRINT_OUTPUT");
        Session s;
        printing::WritePosFile(s.folder.file("tmp.Txt"), {"      工资条", "姓名\t张三", "应发工资\t856.50"});
        TfrmPosPrint dlg(s.folder.path());
        QFile::remove(out);
        QVERIFY(dlg.Button4Click());
        QString text;
        for (int i = 0; i < 300 && text.isEmpty(); ++i) {
            QThread::msleep(100);
            if (QFileInfo(out).size() > 0)
                text = PdfText(out);
        }
        QVERIFY2(text.contains("张三") && text.contains("856.50"), qPrintable(text));

        // The preview prints through the same queue.
        TPPreview p;
        p.setPColCount(2);
        p.SetPreviewColWidth(0, 80);
        p.SetPreviewColWidth(1, 80);
        p.setPDataRowCount(1);
        p.setPCaption("月度[202612]工资发放明细表");
        p.SetPreviewTitleCell(0, 0, "姓名");
        p.SetPreviewDataCell(0, 0, "李四");
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        QFile::remove(out);
        p.paintAll(printer);
        text.clear();
        for (int i = 0; i < 300 && text.isEmpty(); ++i) {
            QThread::msleep(100);
            if (QFileInfo(out).size() > 0)
                text = PdfText(out);
        }
        QVERIFY2(text.contains("李四") && text.contains("工资发放明细表"), qPrintable(text));
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestSheetPreview, TestPosSlips, TestPrintQueue>(argc, argv);
}

#include "tst_printing.moc"
