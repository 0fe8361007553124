#include <gtest/gtest.h>

#include <QApplication>

#include "platform/locale_setup.h"

// Every test program runs with an application object, so that widget tests work
// headless (QT_QPA_PLATFORM=offscreen) and the SQL driver plugins load.
int main(int argc, char** argv) {
    zelvan::ensureUtf8Locale();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelvan-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
