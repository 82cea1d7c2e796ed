#include <cstdlib>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "AppFixture.h"

CQXRApp* AppFixture::app = nullptr;

int main(int argc, char** argv)
{
    // The real widgets, without a display and without touching the user's settings.
    QTemporaryDir home;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
    setenv("XDG_STATE_HOME", qPrintable(home.filePath("state")), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(home.path()), 1);
    setenv("QXR_INFO_URL", "file:///nonexistent/qxr-info.html", 1);
    setenv("LC_ALL", "C.UTF-8", 1);  // a locale of the user's, which Qt adopts
    ::testing::InitGoogleTest(&argc, argv);
    CQXRApp app(argc, argv);
    AppFixture::app = &app;
    return RUN_ALL_TESTS();
}
