#pragma once
#include "platform/error/SlipError.h"

namespace xls {

// A workbook that cannot be read or written: damaged, encrypted, of another format.
class XlsError : public slip::Error {
public:
    using slip::Error::Error;
};

} // namespace xls
