// Speed checks of the program's heavy paths, each against a plain baseline in the same run.
// Prints one line per benchmark: our time and, where there is one, the floor measured in
// the same run and the ratio. "slipbench NAME..." runs only the named ones.
#include "bench/BenchData.h"
#include "data/Schema.h"
#include "common/StartValues.h"
#include "data/uDM.h"
#include "app/uMain.h"
#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Ui.h"
#include "paysheet/PayCopy.h"
#include "maintenance/Backup.h"
#include "paysheet/ShownSheet.h"
#include "platform/preview/PPreview.h"
#include "printing/PosText.h"
#include "printing/StripTemplates.h"
#include "printing/Strips.h"
#include "platform/report/ReportUi.h"
#include "printing/Preview.h"
#include "platform/xls/XlsTable.h"
#include "platform/xls/XlsWriter.h"
#include "spreadsheet/Export.h"
#include "spreadsheet/Import.h"
#include "spreadsheet/PayslipTemplates.h"
#include "spreadsheet/Payslips.h"
#include "platform/sheetapp/SheetApp.h"
#include "common/uCommon.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

using bench::kMonth;
constexpr int kRows = 10000;

// Best wall time of several runs, in milliseconds.
double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// Every value of every row, the way any reader of the table must touch them.
void plainScan(db::Connection& conn)
{
    db::Statement st(conn, QStringLiteral("Select * from TGZ where GZMonth=? order by DepartName,EmpName"));
    st.bind({kMonth});
    qint64 bytes = 0;
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i) {
            switch (sqlite3_column_type(st.raw(), i)) {
            case SQLITE_TEXT:
                bytes += sqlite3_column_bytes(st.raw(), i);
                break;
            case SQLITE_FLOAT:
                bytes += qint64(sqlite3_column_double(st.raw(), i)) & 1;
                break;
            default:
                bytes += sqlite3_column_int(st.raw(), i) & 1;
            }
        }
    }
    if (bytes < 0)
        qFatal("unreachable");
}


// What every benchmark works on: a program folder with one filled month.
struct Bench {
    QString folder;
    TDM& dm;
    QTextStream& out;
};

// One line: "<what>=<ours> <floorName>=<floor> ratio=<ours/floor>".
void printAgainstFloor(Bench& b, const QString& what, double ms, const QString& floorName, double floorMs)
{
    b.out << QStringLiteral("%1=%2 %3=%4 ratio=%5\n")
                 .arg(what)
                 .arg(ms, 0, 'f', 1)
                 .arg(floorName)
                 .arg(floorMs, 0, 'f', 1)
                 .arg(ms / floorMs, 0, 'f', 2);
}

void monthLoad(Bench& b)
{
    TfrmMainGZT window(b.dm, b.folder);
    const int runs = 5;
    const double sqliteMs = bestOf(runs, [&] { plainScan(b.dm.ADOLocal); });
    const double oursMs = bestOf(runs, [&] {
        window.ReadyGZList(kMonth);
        for (int c = 0; c < window.gridDetail->columnCount(); ++c)
            window.gridDetail->footerText(c);
    });
    if (window.gridDetail->rowCount() != kRows)
        qFatal("loaded %d rows, expected %d", window.gridDetail->rowCount(), kRows);
    printAgainstFloor(b, QStringLiteral("month-load rows=%1 ours_ms").arg(kRows), oursMs, QStringLiteral("sqlite_ms"), sqliteMs);
}

// A title click on 姓名: the loaded sheet sorted in memory, in pinyin order.
void titleSort(Bench& b)
{
    TfrmMainGZT window(b.dm, b.folder);
    window.ReadyGZList(kMonth);
    const int name = window.gridDetail->columnOfField(QStringLiteral("EmpName"));
    const double ms = bestOf(5, [&] { window.gridDetailTitleClick(name); });
    b.out << QStringLiteral("sort rows=%1 ms=%2\n").arg(kRows).arg(ms, 0, 'f', 1);
}

// The month copy against one INSERT ... SELECT of the same rows in one transaction.
void copyMonth(Bench& b)
{
    db::Connection& conn = b.dm.ADOLocal;
    int n = 0;
    auto freshTarget = [&] {
        const QString target = QStringLiteral("copy%1").arg(++n);
        conn.execute(QStringLiteral("insert into TGZMonth (GZMonth) values (?)"), {target});
        return target;
    };
    QStringList columns;
    {
        db::Statement info(conn, QStringLiteral("PRAGMA table_info(TGZ)"));
        while (info.step())
            columns << info.columnValue(1).toString();
    }
    columns.removeAll(QStringLiteral("ID"));
    columns.removeAll(QStringLiteral("GZMonth"));
    const QString list = columns.join(QLatin1Char(','));
    const double floorMs = bestOf(3, [&] {
        const QString target = freshTarget();
        db::Transaction tx(conn);
        conn.execute(QStringLiteral("insert into TGZ (GZMonth,%1) select ?,%1 from TGZ where GZMonth=?").arg(list),
                     {target, kMonth});
        tx.commit();
    });
    const double ms = bestOf(3, [&] {
        paysheet::CopyMonthData(conn, kMonth, freshTarget(), QDateTime::currentDateTime());
    });
    printAgainstFloor(b, QStringLiteral("copy-month rows=%1 ms").arg(kRows), ms, QStringLiteral("floor_ms"), floorMs);
}

// A backup of the database folder against the zip program archiving the same files.
void backup(Bench& b)
{
    b.dm.ADOLocal.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString archive = b.folder + QStringLiteral("Bak/bench.GZBK");
    QDir().mkpath(b.folder + QStringLiteral("Bak"));
    const double ms = bestOf(3, [&] {
        QFile::remove(archive);
        maintenance::BackupDatabaseFolder(b.dm.ADOLocal, b.folder, archive);
    });
    const QString zipProgram = QStandardPaths::findExecutable(QStringLiteral("zip"));
    if (zipProgram.isEmpty()) {
        b.out << QStringLiteral("backup rows=%1 ms=%2 zip_ms=- (no zip program)\n").arg(kRows).arg(ms, 0, 'f', 1);
        return;
    }
    const QString zipped = b.folder + QStringLiteral("Bak/bench.zip");
    const double zipMs = bestOf(3, [&] {
        QFile::remove(zipped);
        QProcess zip;
        zip.start(zipProgram, {QStringLiteral("-6"), QStringLiteral("-j"), QStringLiteral("-q"), zipped,
                               b.folder + schema::kDatabaseFile});
        zip.waitForFinished(-1);
    });
    printAgainstFloor(b, QStringLiteral("backup rows=%1 ms").arg(kRows), ms, QStringLiteral("zip_ms"), zipMs);
}

// The whole import of a 10,000-row, 36-column workbook against our parse of the file
// plus one prepared insert of the same rows in one transaction.
void import(Bench& b)
{
    const QStringList fields = QStringList{QStringLiteral("DepartName"), QStringLiteral("EmpName"), QStringLiteral("ZWName"),
                                           QStringLiteral("WorkDays"), QStringLiteral("OneDayMOney")}
                               + schema::EarningsColumns() + schema::DeductionColumns() + QStringList{QStringLiteral("EMail")};
    xls::WorkbookWriter w;
    const int sheet = w.addSheet(QStringLiteral("工资"));
    for (int c = 0; c < fields.size(); ++c)
        w.setText(sheet, 0, c, fields[c]);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < fields.size(); ++c) {
            if (c < 3 || c == fields.size() - 1)
                w.setText(sheet, r, c, QStringLiteral("文本%1").arg(r % 97));
            else
                w.setNumber(sheet, r, c, (r * 37 + c) % 5000 + 0.25);
        }
    const QString file = b.folder + QStringLiteral("import.xls");
    w.save(file);
    QString list;
    for (const QString& f : fields)
        list += f + QLatin1Char(' ') + f + QStringLiteral(" CHAR N N\r\n");
    db::Connection& conn = b.dm.ADOLocal;
    int n = 0;
    auto freshMonth = [&] { return QStringLiteral("imp%1").arg(++n); };
    const double ms = bestOf(3, [&] {
        xls::XlsConnection source;
        source.open(spreadsheet::SourceConnectionString(file));
        auto table = source.openTable(source.tableNames().first());
        auto rows = spreadsheet::ParseFieldList(list);
        spreadsheet::MatchAutomatically(rows, *table);
        const QString month = freshMonth();
        spreadsheet::ImportRows(conn, *table, rows, month, QDateTime::currentDateTime());
        spreadsheet::RecomputeMonthTotals(conn, month);
    });
    const double floorMs = bestOf(3, [&] {
        xls::XlsTable table = xls::XlsTable::open(file, QStringLiteral("工资$"));
        const QString month = freshMonth();
        db::Transaction tx(conn);
        db::Statement insert(conn, QStringLiteral("insert into TGZ (GZMonth,%1) values (?%2)")
                                       .arg(fields.join(QLatin1Char(',')), QStringLiteral(",?").repeated(fields.size())));
        for (table.first(); !table.eof(); table.next()) {
            QVariantList values{month};
            for (int c = 0; c < fields.size(); ++c)
                values << table.value(c);
            insert.bind(values);
            while (insert.step()) {
            }
        }
        tx.commit();
    });
    printAgainstFloor(b, QStringLiteral("import rows=%1 cols=%2 ms").arg(kRows).arg(fields.size()), ms,
                      QStringLiteral("floor_ms"), floorMs);
}

// The pay sheet handed to the preview control and laid out on A4, every page.
void previewSheet(Bench& b)
{
    TfrmMainGZT window(b.dm, b.folder);
    window.ReadyGZList(kMonth);
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("probe.pdf")));
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    int pages = 0;
    const double ms = bestOf(3, [&] {
        TfrmPreview preview;
        preview.ReadyData1(window.GroupBoxDetail->title(), paysheet::ReadShownSheet(*window.gridDetail));
        pages = preview.PPreview->layoutFor(pdf).pageCount();
    });
    b.out << QStringLiteral("preview rows=%1 pages=%2 ms=%3\n").arg(kRows).arg(pages).arg(ms, 0, 'f', 1);
}

// The receipt payslips of the sheet written to tmp.Txt.
void posSlips(Bench& b)
{
    TfrmMainGZT window(b.dm, b.folder);
    window.ReadyGZList(kMonth);
    const double ms = bestOf(3, [&] {
        printing::WritePosFile(b.folder + printing::kPosFile,
                               printing::BuildPosLines(paysheet::ReadShownSheet(*window.gridDetail), 1));
    });
    b.out << QStringLiteral("pos rows=%1 ms=%2\n").arg(kRows).arg(ms, 0, 'f', 1);
}

// A month holding the first `rows` pay rows of the benchmark month, the given columns only.
void copyRowsToMonth(Bench& b, const QString& month, const QString& columns, int rows)
{
    b.dm.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values (?)"), {month});
    b.dm.ADOLocal.execute(QStringLiteral("insert into TGZ (GZMonth,%1) select ?,%1 from TGZ where GZMonth=? limit ?").arg(columns),
                          {month, kMonth, rows});
}

// 1,000 payslip workbooks against 1,000 plain copies of their template into a folder.
void payslips(Bench& b)
{
    constexpr int kFiles = 1000;
    const QString month = QStringLiteral("slips");
    copyRowsToMonth(b, month, QStringLiteral("DepartName,EmpName,GZ1,KK1,YFTotal,KKTotal,GZTotal"), kFiles);
    const QString templ = b.folder + QStringLiteral("RPT/GZBill.xls");
    QDir().mkpath(b.folder + QStringLiteral("RPT"));
    for (const payitems::TemplateLayout& layout : payitems::TemplateLayouts())
        if (layout.stem == QLatin1String("GZBill"))
            spreadsheet::WritePayslipTemplate(templ, layout);
    int n = 0;
    auto freshFolder = [&] {
        const QString f = b.folder + QStringLiteral("slips%1").arg(++n);
        QDir().mkpath(f);
        return f;
    };
    const double ms = bestOf(3, [&] {
        spreadsheet::WritePayslips(b.dm.ADOLocal, month, templ, freshFolder(), QStringLiteral("某公司"), QStringLiteral("0.00"));
    });
    const double copyMs = bestOf(3, [&] {
        const QString folder = freshFolder();
        for (int i = 1; i <= kFiles; ++i)
            CopyFileData(templ, folder + QLatin1Char('/') + spreadsheet::PayslipFileName(i, QStringLiteral("员工")));
    });
    printAgainstFloor(b, QStringLiteral("payslips files=%1 ms").arg(kFiles), ms, QStringLiteral("copy_ms"), copyMs);
}

// The pay sheet exported to a workbook file, without opening it.
void exportSheet(Bench& b)
{
    // Writes the workbook like the real one, opens nothing and leaves no file behind.
    struct WrittenOnly : sheetapp::WorkbookApplication {
        WrittenOnly() : sheetapp::WorkbookApplication(false) {}
        ~WrittenOnly() override { QFile::remove(writtenFile()); }
    };
    TfrmMainGZT window(b.dm, b.folder);
    window.ReadyGZList(kMonth);
    sheetapp::SetFactory([] { return std::make_unique<WrittenOnly>(); });
    const double ms = bestOf(3, [&] { SendGridToExcel(window.windowTitle(), paysheet::ReadShownSheet(*window.gridDetail)); });
    sheetapp::SetFactory({});
    b.out << QStringLiteral("export rows=%1 ms=%2\n").arg(kRows).arg(ms, 0, 'f', 1);
}

// The strips of 1,000 pay rows to PDF against drawing the same texts and frames straight
// onto a PDF writer.
void strips(Bench& b)
{
    constexpr int kStripRows = 1000;
    const QString month = QStringLiteral("strips");
    copyRowsToMonth(b, month, QStringLiteral("DepartName,EmpName,ZWName,GZ1,GZ2,GZ3,KK1,YFTotal,KKTotal,GZTotal"), kStripRows);
    QDir().mkpath(b.folder + QStringLiteral("RPT"));
    for (const payitems::TemplateLayout& layout : payitems::TemplateLayouts())
        printing::BuildStripTemplate(layout).save(b.folder + QStringLiteral("RPT/") + layout.stem + QStringLiteral(".RAV"));
    TfrmMainGZT window(b.dm, b.folder);
    window.ReadyGZList(month);
    QTemporaryDir dir;
    const double ms = bestOf(3, [&] {
        report::Project project;
        printing::PrepareStrips(project, b.dm, b.folder, month);
        const report::TableSource sheet = printing::SheetSource(paysheet::ReadShownSheet(*window.gridDetail), QStringLiteral("0.00"));
        const report::Sources sources{{{printing::kSheetSourceName, &sheet}}};
        report::WritePdf(report::LayOut(project, sources), sources, dir.filePath(QStringLiteral("strips.pdf")));
    });
    // The floor: the same band, its texts and frames drawn row after row, page after page.
    report::Project project;
    printing::PrepareStrips(project, b.dm, b.folder, month);
    const report::Component* band = project.findComponent(QStringLiteral("Report1.Page1"))->find(QStringLiteral("DataBand1"));
    const paysheet::ShownSheet shown = paysheet::ReadShownSheet(*window.gridDetail);
    const double floorMs = bestOf(3, [&] {
        QPdfWriter pdf(dir.filePath(QStringLiteral("floor.pdf")));
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p(&pdf);
        const double dpi = pdf.logicalDpiX();
        double y = 0.2;
        for (int r = 0; r < shown.rowCount(); ++r) {
            if (y + band->height > 11.69) {
                pdf.newPage();
                y = 0.2;
            }
            for (const auto& c : band->children) {
                if (!c->visible)
                    continue;
                const QRectF rect(c->left * dpi, (y + c->top) * dpi, c->width * dpi, c->height * dpi);
                if (c->kind == report::Kind::Rectangle) {
                    p.drawRect(rect);
                } else if (c->kind == report::Kind::Text || c->kind == report::Kind::DataText) {
                    p.setFont(c->font());
                    const int col = shown.columnOfField(c->dataField.trimmed());
                    p.drawText(rect, Qt::AlignVCenter, c->kind == report::Kind::Text ? c->text : col >= 0 ? shown.texts[size_t(r)][col] : QString());
                } else if (c->kind == report::Kind::Line) {
                    p.drawLine(rect.topLeft(), rect.topRight());
                }
            }
            y += band->height;
        }
    });
    printAgainstFloor(b, QStringLiteral("strips rows=%1 ms").arg(kStripRows), ms, QStringLiteral("floor_ms"), floorMs);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    ui::ScriptedUi quietUi;
    ui::ScopedUi uiScope(quietUi);
    shell::RecordingShell quietShell;
    shell::ScopedShell shellScope(quietShell);

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    schema::BuildDeliveredDatabase(folder + schema::kDatabaseFile);
    QFile(folder + QStringLiteral("NotFirst.txt")).open(QIODevice::WriteOnly);
    TDM dm;
    if (!dm.ConnectTo(folder)) {
        out << "cannot open the database: " << dm.ConnectError() << "\n";
        return 1;
    }
    out << "building one month of " << kRows << " pay rows...\n";
    out.flush();
    bench::FillMonth(dm.ADOLocal, kMonth, kRows);

    // Benchmarks named on the command line run alone; without names, all run.
    const QStringList only = QCoreApplication::arguments().mid(1);
    Bench b{folder, dm, out};
    const std::pair<const char*, void (*)(Bench&)> benches[] = {
        {"month-load", monthLoad}, {"sort", titleSort}, {"copy-month", copyMonth}, {"backup", backup}, {"import", import},
        {"preview", previewSheet}, {"pos", posSlips}, {"payslips", payslips}, {"export", exportSheet},
        {"strips", strips}};
    for (const auto& [name, run] : benches) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(name)))
            continue;
        run(b);
        out.flush();
    }
    return 0;
}
