// libFuzzer target for the workbook reader: any bytes must read or fail with XlsError.
#include "platform/xls/Biff.h"
#include "platform/xls/XlsEdit.h"
#include "platform/xls/XlsTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const xls::Workbook book = xls::Workbook::fromFile(bytes);
        (void)xls::TableNames(book);
        if (book.sheetCount() > 0)
            (void)xls::ReplaceCellTexts(bytes, book.sheet(0).name, {});
    } catch (const xls::XlsError&) {
        // refused cleanly: what the reader promises
    }
    try {
        (void)xls::Workbook::fromStream(bytes); // a bare workbook stream
    } catch (const xls::XlsError&) {
        // likewise
    }
    return 0;
}
