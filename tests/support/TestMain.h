#pragma once
#include <QApplication>
#include <QTest>

// Runs several test classes in one executable; the status is non-zero when any failed.
template <typename... Tests>
int runTests(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    auto run = [&](auto&& test) { status |= QTest::qExec(&test, argc, argv); };
    (run(Tests{}), ...);
    return status;
}

#define SLIP_TEST_MAIN(...) \
    int main(int argc, char** argv) { return runTests<__VA_ARGS__>(argc, argv); }
