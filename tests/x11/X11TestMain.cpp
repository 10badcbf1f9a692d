#include "settings/brmState.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // These tests are about what a real window manager does with our windows: they
    // run on the X display when there is one and skip on any other platform.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb;offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const QTemporaryDir settings;
    PointStateStoreAt(settings.path().toStdString());
    return RUN_ALL_TESTS();
}
