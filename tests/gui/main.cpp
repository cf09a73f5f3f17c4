#include "gui/common/NamedComboBoxAccessible.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The widgets need a platform even where no display is.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvex::NamedComboBoxAccessible::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
