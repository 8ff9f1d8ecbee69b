#pragma once
#include "platform/ui/Application.h"

#include <QApplication>
#include <QMetaMethod>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

// Runs several test classes in one executable; the status is non-zero when any failed.
// Test functions named on the command line ("tst_paysheet addMonth") go to the class
// that has them, and classes without any of them are skipped. Every other argument
// (QTest's options and their values) goes to every class.
namespace slip_test {

inline bool hasFunction(const QMetaObject& mo, const std::string& name)
{
    const std::string fn = name.substr(0, name.find(':'));
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private && m.name().toStdString() == fn)
            return true;
    }
    return false;
}

template <typename Test>
int runOne(int argc, char** argv, const std::vector<const QMetaObject*>& classes)
{
    Test test;
    std::vector<char*> args{argv[0]};
    bool named = false, mine = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool function = a.rfind('-', 0) != 0
                              && std::any_of(classes.begin(), classes.end(),
                                             [&](const QMetaObject* mo) { return hasFunction(*mo, a); });
        if (!function) {
            args.push_back(argv[i]);
            continue;
        }
        named = true;
        if (hasFunction(Test::staticMetaObject, a)) {
            mine = true;
            args.push_back(argv[i]);
        }
    }
    if (named && !mine)
        return 0;
    return QTest::qExec(&test, int(args.size()), args.data());
}

template <typename... Tests>
int runTests(int argc, char** argv)
{
    ui::Application app(argc, argv);
    const std::vector<const QMetaObject*> classes{&Tests::staticMetaObject...};
    int status = 0;
    ((status |= runOne<Tests>(argc, argv, classes)), ...);
    return status;
}

} // namespace slip_test

#define SLIP_TEST_MAIN(...) \
    int main(int argc, char** argv) { return slip_test::runTests<__VA_ARGS__>(argc, argv); }
