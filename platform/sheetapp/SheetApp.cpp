#include "platform/sheetapp/SheetApp.h"

#include "platform/shell/Shell.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace sheetapp {

namespace {

Factory& factory()
{
    static Factory f;
    return f;
}

// 1-based column of letters ("AB" 28).
int columnNumber(const QString& letters)
{
    int n = 0;
    for (const QChar c : letters)
        n = n * 26 + (c.toUpper().unicode() - 'A' + 1);
    return n;
}

xls::Format writerFormat(const CellFormat& f)
{
    xls::Format out;
    out.wrap = f.wrapText;
    out.border = f.lineStyle == xlContinuous;
    out.bold = f.fontStyle.contains(QStringLiteral("加粗")) || f.fontStyle.contains(QLatin1String("Bold"), Qt::CaseInsensitive);
    out.halign = f.horizontalAlignment == xlCenterAcrossSelection ? xls::HAlign::CenterAcross : xls::HAlign::General;
    out.valign = f.verticalAlignment == xlCenter ? xls::VAlign::Center : xls::VAlign::Bottom;
    return out;
}

// A text that is a plain number goes in as a number, as the application would take it.
bool plainNumber(const QString& text, double& value)
{
    // -?(0|[1-9][0-9]{0,14})(.[0-9]+)? : no leading zeros, no exponent, no blanks
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype intStart = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 15 || (intDigits > 1 && text[intStart] == QLatin1Char('0')))
        return false;
    if (i < text.size()) {
        if (text[i] != QLatin1Char('.') || i + 1 == text.size())
            return false;
        for (++i; i < text.size(); ++i)
            if (!text[i].isDigit() || text[i].unicode() >= 128)
                return false;
    }
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}

} // namespace

std::unique_ptr<Application> CreateApplication()
{
    if (factory())
        return factory()();
    return std::make_unique<WorkbookApplication>();
}

void SetFactory(Factory f)
{
    factory() = std::move(f);
}

QString ColumnName(int column)
{
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

xls::Range ParseRange(const QString& address)
{
    static const QRegularExpression a1(QStringLiteral("^([A-Za-z]{1,3})([1-9][0-9]{0,6}):([A-Za-z]{1,3})([1-9][0-9]{0,6})$"));
    const auto m = a1.match(address);
    if (!m.hasMatch())
        throw SheetAppError(QStringLiteral("'%1' is no range").arg(address));
    xls::Range r{m.captured(2).toInt() - 1, m.captured(4).toInt() - 1, columnNumber(m.captured(1)) - 1,
                 columnNumber(m.captured(3)) - 1};
    if (r.lastRow < r.firstRow || r.lastCol < r.firstCol || r.lastCol > 255)
        throw SheetAppError(QStringLiteral("'%1' is no range of a sheet").arg(address));
    return r;
}

WorkbookApplication::WorkbookApplication()
{
    if (!shell::current().hasSpreadsheetProgram())
        throw SheetAppError(QStringLiteral("No spreadsheet program is installed"));
}

WorkbookApplication::WorkbookApplication(bool openWhenVisible)
    : m_open(openWhenVisible)
{
}

void WorkbookApplication::requireWorkbook() const
{
    if (!m_hasWorkbook)
        throw SheetAppError(QStringLiteral("No workbook is open"));
}

void WorkbookApplication::addWorkbook()
{
    m_hasWorkbook = true;
    m_values.clear();
    m_formats.clear();
    m_merges.clear();
}

void WorkbookApplication::setCellValue(int row, int column, const QString& text)
{
    requireWorkbook();
    if (row < 1 || column < 1 || column > 256)
        throw SheetAppError(QStringLiteral("Cell (%1, %2) is outside the sheet").arg(row).arg(column));
    m_values[{row - 1, column - 1}] = text;
}

void WorkbookApplication::mergeRange(const QString& address)
{
    requireWorkbook();
    m_merges.push_back(ParseRange(address));
}

void WorkbookApplication::setCellFormat(int row, int column, const CellFormat& format)
{
    requireWorkbook();
    if (row < 1 || column < 1 || column > 256)
        throw SheetAppError(QStringLiteral("Cell (%1, %2) is outside the sheet").arg(row).arg(column));
    m_formats[{row - 1, column - 1}] = format;
}

void WorkbookApplication::setVisible(bool visible)
{
    if (!visible)
        return;
    requireWorkbook();
    xls::WorkbookWriter w;
    const int sheet = w.addSheet(QStringLiteral("Sheet1"));
    // Cells share a few formats: each is converted once.
    CellFormat lastFormat;
    xls::Format lastWritten = writerFormat(lastFormat);
    auto converted = [&](const CellFormat& f) {
        if (!(f == lastFormat)) {
            lastFormat = f;
            lastWritten = writerFormat(f);
        }
        return lastWritten;
    };
    for (const auto& [pos, format] : m_formats)
        if (!m_values.count(pos))
            w.setBlank(sheet, pos.first, pos.second, converted(format));
    for (const auto& [pos, text] : m_values) {
        const auto f = m_formats.find(pos);
        const xls::Format format = f == m_formats.end() ? xls::Format{} : converted(f->second);
        double number = 0;
        if (plainNumber(text, number))
            w.setNumber(sheet, pos.first, pos.second, number, format);
        else
            w.setText(sheet, pos.first, pos.second, text, format);
    }
    for (const xls::Range& r : m_merges)
        w.merge(sheet, r);
    // A new file each time: nothing the operator has is ever overwritten.
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("工资表-%1-XXXXXX.xls")
                                                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")))));
    file.setAutoRemove(false);
    if (!file.open())
        throw SheetAppError(QStringLiteral("Cannot make a file in %1: %2").arg(QDir::tempPath(), file.errorString()));
    const QString path = file.fileName();
    file.close();
    w.save(path);
    m_file = path;
    if (m_open && !shell::current().runFile(path, QString()))
        throw SheetAppError(QStringLiteral("No program opens '%1'").arg(path));
}

} // namespace sheetapp
