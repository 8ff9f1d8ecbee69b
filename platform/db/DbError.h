#pragma once
#include "platform/error/SlipError.h"

namespace db {

// Every failure of the database layer: open, prepare, step, write, conversion.
class DbError : public slip::Error {
public:
    using slip::Error::Error;
};

// A database file written by a newer program: it is left as it is.
class NewerDatabaseError : public DbError {
public:
    using DbError::DbError;
};

} // namespace db
