#pragma once

#include <QApplication>
#include <QTest>

// Window tests need no display: they run on the offscreen platform whatever the environment.
#define KXLT_OFFSCREEN_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication application(argc, argv);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
