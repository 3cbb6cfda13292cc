// GoogleTest entry point with a Qt application object, so that tests can use
// Qt SQL drivers, locales, files and (in the widget build) real widgets.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>

#ifdef TESTS_WITH_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char **argv)
{
#ifdef TESTS_WITH_WIDGETS
    // Widget tests need no screen: run them off-screen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    // Journals and other data files of the code under test stay out of the user's own folders.
    QStandardPaths::setTestModeEnabled(true);
    // So do the settings the window keeps, such as the folders it last used.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
