#pragma once
#include <QString>

// Process-wide values set during start-up and read everywhere else.
struct StartValues {
    QString programFolder;  // executable's folder, with a trailing "/"
    QString brand;          // IIS.INI Brand: put before the product name in titles
    QString homePage;       // IIS.INI HomePage
    QString makerName;      // IIS.INI EntName
    int printDays = 0;      // TPara.PrintDays: days worked and day rate shown and printed
    int showFloat = 0;      // TPara.ShowFloat: amounts with two decimals
    QString companyName;    // TPara.EntName
    QString loginPassword;  // TPara.LogPass; empty means none asked
};

StartValues& startValues();

// The folder of the running executable with a trailing "/".
QString ExecutableFolder();

// The program folder followed by a relative path.
QString ProgramPath(const QString& tail);
