#include "tests/support/Files.h"
#include "tests/support/SheetFixture.h"
#include "tests/support/TestMain.h"

#include "printing/StripTemplates.h"
#include "printing/Strips.h"

#include "common/Text.h"
#include "paysheet/ShownSheet.h"
#include "platform/report/ReportUi.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QThread>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

using report::Component;

namespace {

// Gives the month `earnings` and `deductions` enabled items (all thirty exist).
void enableItems(Session& s, const QString& month, int earnings, int deductions)
{
    s.completeItemSet(month);
    s.dm.ADOLocal.execute("update TGZSet set ShowStu=1 where GZMonth=?", {month});
    s.dm.ADOLocal.execute("update TGZSet set ShowStu=0 where GZMonth=? and GZType=0 and SortIdx<=?", {month, earnings});
    s.dm.ADOLocal.execute("update TGZSet set ShowStu=0 where GZMonth=? and GZType=1 and SortIdx<=?", {month, deductions});
}

Component* on(report::Project& p, const QString& name)
{
    Component* page = p.findComponent("Report1.Page1");
    return page ? page->find(name) : nullptr;
}

report::Project opened(const QString& path)
{
    report::Project p;
    p.setProjectFile(path);
    p.open();
    return p;
}

} // namespace

class TestStripEdits : public QObject {
    Q_OBJECT
private slots:
    void fittedGeometry()
    {
        Session s;
        s.addMonth("202612");
        enableItems(s, "202612", 4, 2);
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        QVERIFY(p.projectFile().endsWith("RPT/GZBill.RAV"));
        QCOMPARE(on(p, "RectangleA2")->left, 2.2);
        QCOMPARE(on(p, "RectangleA2")->width, 1.5);
        QCOMPARE(on(p, "RectangleB2")->left, 2.2);
        Component* amount = on(p, "DataTextA2");
        QCOMPARE(amount->left + amount->width, 3.7);
        QCOMPARE(amount->dataField, QStringLiteral("GZ2"));
        Component* caption = on(p, "TextA2");
        QCOMPARE(caption->left, (1.5 - caption->shownWidth()) / 2 + 1.5 + 0.7);
        for (int k = 5; k <= 10; ++k) {
            QCOMPARE(on(p, QStringLiteral("TextA%1").arg(k))->text, QStringLiteral(" "));
            QCOMPARE(on(p, QStringLiteral("DataTextA%1").arg(k))->dataField, QStringLiteral(" "));
            QVERIFY(!on(p, QStringLiteral("RectangleA%1").arg(k))->visible);
            QVERIFY(!on(p, QStringLiteral("RectangleB%1").arg(k))->visible);
        }
        // Deductions: 3.0 in shared by two.
        QCOMPARE(on(p, "RectangleC2")->left, 2.2);
        QCOMPARE(on(p, "DataTextC2")->left + on(p, "DataTextC2")->width, 3.7);
        QCOMPARE(on(p, "TextTitle")->text, QStringLiteral("示例科技有限公司工资单"));
    }

    void fixedLayoutKeepsTheTemplatesPositions()
    {
        Session s;
        s.addMonth("202612");
        enableItems(s, "202612", 12, 3);
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        QVERIFY(p.projectFile().endsWith("RPT/GZBill20_5.RAV"));
        const report::Project designed = opened(p.projectFile());
        for (int k = 1; k <= 20; ++k) {
            const QString r = QStringLiteral("RectangleA%1").arg(k);
            QCOMPARE(on(p, r)->left, designed.findComponent("Report1.Page1")->find(r)->left);
            QCOMPARE(on(p, r)->visible, k <= 12);
            QCOMPARE(on(p, QStringLiteral("DataTextA%1").arg(k))->dataField, k <= 12 ? QStringLiteral("GZ%1").arg(k) : " ");
        }
        QCOMPARE(on(p, "TextA12")->text, QStringLiteral("项目"));
    }

    void noDeductionKeepsTheDesign()
    {
        Session s;
        s.addMonth("202612");
        s.dm.ADOLocal.execute("update TPara set PrintDays=1");
        enableItems(s, "202612", 3, 0);
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        QVERIFY(p.projectFile().endsWith("RPT/GZBillWithDay.RAV"));
        const report::Project designed = opened(p.projectFile());
        for (const QString name : {"TextC1", "DataTextC1", "RectangleC1", "RectangleD1"}) {
            const Component* now = on(p, name);
            const Component* was = designed.findComponent("Report1.Page1")->find(name);
            QCOMPARE(now->text, was->text);
            QCOMPARE(now->dataField, was->dataField);
            QCOMPARE(now->left, was->left);
            QCOMPARE(now->visible, was->visible);
        }
        QCOMPARE(on(p, "RectangleA1")->width, 2.0); // fitted: three earnings in 6.0 in
    }

    void emptyHeightUsesA4()
    {
        Session s;
        s.dm.ADOLocal.execute("update TPara set BillHeight=NULL");
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), QString());
        const Component* page = p.findComponent("Report1.Page1");
        QCOMPARE(page->height, 11.693132);
        QVERIFY(page->customSize);
        QCOMPARE(on(p, "Region1")->top, 0.2);
        QVERIFY(qFuzzyCompare(on(p, "Region1")->height, 11.683132));
    }

    void captionSizeRule_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("size");
        QTest::newRow("eight bytes keep the size") << "基本工资" << 9.0;
        QTest::newRow("nine bytes shrink") << "基本工资A" << 8.0;
        QTest::newRow("twelve bytes shrink") << "交通通讯补贴" << 8.0;
    }
    void captionSizeRule()
    {
        QFETCH(QString, caption);
        QFETCH(double, size);
        Session s;
        s.addMonth("202612");
        enableItems(s, "202612", 1, 1);
        s.dm.ADOLocal.execute("update TGZSet set GZName=? where GZMonth='202612' and GZField1='GZ1'", {caption});
        s.dm.ADOLocal.execute("update TPara set EntName='一个名字很长很长很长的有限责任公司'");
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        QCOMPARE(on(p, "TextA1")->fontSize, size);
        QCOMPARE(on(p, "TextTitle")->fontSize, 13.0); // the title is never resized
    }

    void captionWiderThanItsColumnWrapsInside()
    {
        Session s;
        s.addMonth("202612");
        enableItems(s, "202612", 10, 1);
        s.dm.ADOLocal.execute("update TGZSet set GZName='独生子女及交通通讯补贴' where GZMonth='202612' and GZField1='GZ3'");
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        const Component* c = on(p, "TextA3");
        QCOMPARE(c->fontSize, 8.0);
        QVERIFY(c->shownWidth() <= 0.6 + 1e-9);
        QCOMPARE(c->left, 0.7 + 2 * 0.6);
        QVERIFY(on(p, "TextA2")->shownWidth() < 0.6); // short captions keep their own width
    }

    void missingComponentSkipsOnlyItsEdit()
    {
        Session s;
        s.addMonth("202612");
        enableItems(s, "202612", 3, 1);
        report::Project t = opened(s.folder.file("RPT/GZBill.RAV"));
        Component* band = t.findComponent("Report1.Page1")->find("DataBand1");
        auto& kids = band->children;
        kids.erase(std::remove_if(kids.begin(), kids.end(), [](const auto& c) { return c->name == "TextA2"; }), kids.end());
        t.save(s.folder.file("RPT/GZBill.RAV"));
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        QVERIFY(!on(p, "TextA2"));
        QCOMPARE(on(p, "RectangleA2")->width, 2.0);
        QCOMPARE(on(p, "DataTextA3")->dataField, QStringLiteral("GZ3"));
    }

    void secondPrintStartsFromTheFile()
    {
        Session s;
        s.addMonth("A");
        s.addMonth("B");
        enableItems(s, "A", 4, 1);
        enableItems(s, "B", 2, 1);
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "A");
        QCOMPARE(on(p, "RectangleA4")->width, 1.5);
        printing::PrepareStrips(p, s.dm, s.folder.path(), "B");
        QCOMPARE(on(p, "RectangleA1")->width, 3.0);
        QVERIFY(!on(p, "RectangleA3")->visible);
        QCOMPARE(on(p, "TextA4")->text, QStringLiteral(" "));
    }

    void templateRefusals()
    {
        Session s;
        QFile::remove(s.folder.file("RPT/GZBill.RAV"));
        report::Project p;
        try {
            printing::PrepareStrips(p, s.dm, s.folder.path(), QString());
            QFAIL("printed");
        } catch (const report::ReportError& e) {
            QCOMPARE(e.message(), "The following reporting project does not exist:\n\"" + s.folder.file("RPT/GZBill.RAV") + "\"");
        }
        for (const QByteArray& broken : {QByteArray("{not json"), QByteArray("{\"format\":\"slipdesk-report\",\"reports\":[{\"kind\":\"Bogus\"}]}"),
                                         QByteArray("{\"format\":\"slipdesk-report\",\"reports\":[{\"kind\":\"Report\",\"children\":[{\"kind\":\"Page\",\"width\":\"x\"}]}]}")}) {
            s.folder.writeFile("RPT/GZBill.RAV", broken);
            try {
                printing::PrepareStrips(p, s.dm, s.folder.path(), QString());
                QFAIL("a broken template was opened");
            } catch (const report::ReportError& e) {
                QVERIFY2(e.message().contains(s.folder.file("RPT/GZBill.RAV")), qPrintable(e.message()));
            }
        }
    }
};

class TestStripOutput : public QObject {
    Q_OBJECT
private slots:
    void threeStripsInAPdf()
    {
        SheetFixture f(kDecimalFormat);
        report::Project p;
        printing::PrepareStrips(p, f.dm, f.folder.path(), "202612");
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(f.grid), "0.00");
        const report::TableSource para = printing::ParameterSource(f.dm);
        const report::Sources sources{{{printing::kSheetSourceName, &sheet}, {printing::kParameterSourceName, &para}}};
        const QString pdf = f.folder.file("strips.pdf");
        report::WritePdf(report::LayOut(p, sources), sources, pdf);
        const QString text = PdfText(pdf);
        const qsizetype wang = text.indexOf("王五"), zhang = text.indexOf("张三"), li = text.indexOf("李四");
        QVERIFY2(wang >= 0 && zhang > wang && li > zhang, qPrintable(text)); // in the sheet's order
        QCOMPARE(text.count("示例科技有限公司工资单"), 3);
        QVERIFY(text.contains("3000.00"));
        QVERIFY(text.contains("4000.25"));
        QVERIFY(text.contains("2849.50"));
        const QString gz1 = f.dm.GetDataBySQL("select GZName from TGZSet where GZMonth='202612' and GZField1='GZ1'");
        QVERIFY(text.contains(gz1));
    }

    void pagesFollowStripAndPaperHeight_data()
    {
        QTest::addColumn<double>("millimetres");
        QTest::newRow("A4") << 296.78;
        QTest::newRow("A5") << 210.0;
        QTest::newRow("short paper") << 80.0;
    }
    void pagesFollowStripAndPaperHeight()
    {
        QFETCH(double, millimetres);
        Session s;
        s.addMonth("202612");
        for (int i = 0; i < 10; ++i)
            s.addRow("202612", "部", QStringLiteral("员工%1").arg(i));
        s.dm.ADOLocal.execute("update TPara set BillHeight=?", {millimetres});
        report::Project p;
        printing::PrepareStrips(p, s.dm, s.folder.path(), "202612");
        const report::TableSource rows({"EmpName"}, std::vector<QStringList>(10, QStringList{"x"}));
        const report::Sources sources{{{printing::kSheetSourceName, &rows}}};
        const double band = on(p, "DataBand1")->height;
        const double paper = millimetres * 0.0394;
        const int perPage = std::max(1, int((std::min(paper, 0.2 + paper - 0.01) - 0.2 + 1e-9) / band));
        QCOMPARE(int(report::LayOut(p, sources).size()), (10 + perPage - 1) / perPage);
    }

    void outputDialogChoosesAFile()
    {
        SheetFixture f(kWholeFormat);
        report::Project p;
        printing::PrepareStrips(p, f.dm, f.folder.path(), "202612");
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(f.grid), "0");
        const report::Sources sources{{{printing::kSheetSourceName, &sheet}}};
        const QString pdf = f.folder.file("out.pdf");
        bool previewPreselected = false;
        f.ui.answerDialog([&](QDialog& d) -> int {
            auto& out = dynamic_cast<report::TfrmOutputDialog&>(d);
            previewPreselected = out.optPreview->isChecked();
            out.optFile->setChecked(true);
            out.editFileName->setText(pdf);
            out.cmdOK->click();
            return d.result();
        });
        QVERIFY(report::Execute(p, sources));
        QVERIFY(previewPreselected);
        QCOMPARE(f.ui.dialogTitles.first(), QStringLiteral("打印设置"));
        QVERIFY(PdfText(pdf).contains("张三"));

        // Cancelled: nothing runs.
        QVERIFY(!report::Execute(p, sources));
    }

    // Through the private print queue of ./test when there is one; without any printer the
    // destination says so.
    void printerDestination()
    {
        SheetFixture f(kWholeFormat);
        report::Project p;
        printing::PrepareStrips(p, f.dm, f.folder.path(), "202612");
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(f.grid), "0");
        const report::Sources sources{{{printing::kSheetSourceName, &sheet}}};
        const QString out = qEnvironmentVariable("SLIP_PRINT_OUTPUT");
        const bool queue = !out.isEmpty() && !QPrinterInfo::defaultPrinter().isNull();
        if (queue)
            QFile::remove(out);
        f.ui.answerDialog([](QDialog& d) -> int {
            auto& dlg = dynamic_cast<report::TfrmOutputDialog&>(d);
            dlg.optPrinter->setChecked(true);
            dlg.cmdOK->click();
            return d.result();
        });
        const bool ran = report::Execute(p, sources);
        if (!queue && QPrinterInfo::availablePrinterNames().isEmpty()) {
            QVERIFY(!ran);
            QCOMPARE(f.ui.messages, QStringList{report::kNoPrinterMessage});
            return;
        }
        if (!queue)
            QSKIP("printers of this machine are not the test's to print on");
        QVERIFY(ran);
        QString text;
        for (int i = 0; i < 300 && text.isEmpty(); ++i) {
            QThread::msleep(100);
            if (QFileInfo(out).size() > 0)
                text = PdfText(out);
        }
        QVERIFY2(text.contains("张三") && text.contains("工资单"), qPrintable(text));
    }

    void previewShowsThePages()
    {
        SheetFixture f(kWholeFormat);
        report::Project p;
        printing::PrepareStrips(p, f.dm, f.folder.path(), "202612");
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(f.grid), "0");
        const report::Sources sources{{{printing::kSheetSourceName, &sheet}}};
        int pages = 0;
        double zoom = 0;
        f.ui.answerDialog([](QDialog& d) {
            dynamic_cast<report::TfrmOutputDialog&>(d).cmdOK->click(); // preview, preselected
            return d.result();
        });
        f.ui.answerDialog([&](QDialog& d) {
            auto& preview = dynamic_cast<report::TfrmReportPreview&>(d);
            pages = preview.pageCount();
            zoom = preview.zoom();
            preview.saveAs(f.folder.file("saved.pdf"));
            return int(QDialog::Accepted);
        });
        QVERIFY(report::Execute(p, sources));
        QCOMPARE(f.ui.dialogTitles, (QStringList{"打印设置", "打印预览"}));
        QCOMPARE(pages, 1);
        QCOMPARE(zoom, 1.0);
        QVERIFY(PdfText(f.folder.file("saved.pdf")).contains("李四"));
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestStripEdits, TestStripOutput>(argc, argv);
}

#include "tst_strips.moc"
