#pragma once
#include "platform/ui/Application.h"

#include <QApplication>
#include <QMetaMethod>
#include <QTest>

#include <string>
#include <vector>

// Runs several test classes in one executable; the status is non-zero when any failed.
// Test functions named on the command line ("tst_paysheet addMonth") go to the class
// that has them, and classes without any of them are skipped.
namespace slip_test {

// Options of QTest that take a value: their value is no test function.
inline bool takesValue(const std::string& a)
{
    for (const char* o : {"-o", "-maxwarnings", "-eventdelay", "-keydelay", "-mousedelay", "-callgrind",
                          "-perfcounter", "-iterations", "-median", "-minimumvalue", "-minimumtotal", "-seed",
                          "-platform"})
        if (a == o)
            return true;
    return false;
}

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
int runOne(int argc, char** argv)
{
    Test test;
    const QMetaObject& mo = *test.metaObject();
    std::vector<char*> args{argv[0]};
    bool named = false, mine = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind('-', 0) == 0) {
            args.push_back(argv[i]);
            if (takesValue(a) && i + 1 < argc)
                args.push_back(argv[++i]);
            continue;
        }
        named = true;
        if (hasFunction(mo, a)) {
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
    int status = 0;
    ((status |= runOne<Tests>(argc, argv)), ...);
    return status;
}

} // namespace slip_test

#define SLIP_TEST_MAIN(...) \
    int main(int argc, char** argv) { return slip_test::runTests<__VA_ARGS__>(argc, argv); }
