#pragma once
#include "platform/error/SlipError.h"

#include <QString>

// Small routines shared by the dialogs of both programs.

// A file operation that failed; the message names the file.
class FileError : public slip::Error {
public:
    using slip::Error::Error;
};

// The text of a numeric edit box made convertible: blanks removed, "." and ".0" become
// "0.0", a trailing point dropped, empty text "0". Nothing else is checked or changed.
QString NormalizeNumText(const QString& text);

// Blanks appended up to `width` GBK bytes; a text already as long is returned unchanged.
QString PadRightSpaces(const QString& text, int width);
// "0" characters put in front up to `width` GBK bytes; never cuts.
QString PadLeftZeros(const QString& text, int width);

// Non-overlapping occurrences of part in text, scanning from the left; 0 for empty part.
int CountSubStr(const QString& part, const QString& text);

// Copies every byte of source to target, replacing it. Throws FileError.
void CopyFileData(const QString& source, const QString& target);

// Deletes every file below folder (ending in "/"), sub-folders included; folders stay.
// Files that cannot be deleted stay, without message.
void DeleteFolderFiles(const QString& folder);

// Opens a web address or a local page in the browser; false when the desktop has no
// program for it.
bool OpenInBrowser(const QString& address);

// Starts a program, opens a document or shows a folder; returns at once, false when
// nothing could be started or opened.
bool RunFile(const QString& file, const QString& parameters);

// What the operator is told when something could not be opened or started.
QString CannotOpenMessage(const QString& what);

// Processes window messages until more than ms milliseconds have passed.
void WaitWithMessages(int ms);
