// SPDX-License-Identifier: Apache-2.0
// main() of the drawing layer's tests: painting text needs fonts, and fonts
// need a QGuiApplication. Test discovery runs without the tests' environment,
// so the offscreen platform is the default here.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
