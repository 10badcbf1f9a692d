#include "settings/brmState.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    // The windows under test remember their settings in a folder of the run's own,
    // never in the user's.
    const QTemporaryDir settings;
    PointStateStoreAt(settings.path().toStdString());
    return RUN_ALL_TESTS();
}
