#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <cstdlib>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QImage>

#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/LayoutRenderer.h"

namespace q208::test {

// Installs the Qt platform (offscreen in the test environment) for each test.
class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // also when run by hand
        EnsureQtApplication();
        platform_ = std::make_shared<CQtPlatform>();
        SetUiPlatform(platform_);
        CMessageQueue::Current().ConsumeQuit();
        folder_ = std::filesystem::temp_directory_path() /
                  ("q208-ui-qt-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        CPaintManagerUI::PumpMessages();
        SetUiPlatform(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // Renders layout text at a size and returns the picture (null on failure).
    QImage Render(const std::string& xml, int cx, int cy) {
        RenderRequest request;
        request.layout = xml;
        request.size = {cx, cy};
        request.outFile = (folder_ / "out.png").string();
        request.skinFolder = folder_.string();
        const RenderResult result = RenderLayoutToPng(request);
        EXPECT_TRUE(result.ok) << result.error;
        return result.ok ? QImage(QString::fromStdString(request.outFile)).convertToFormat(QImage::Format_ARGB32) : QImage();
    }

    std::shared_ptr<CQtPlatform> platform_;
    std::filesystem::path folder_;
};

// The pixel at x, y as 0xAARRGGBB.
inline uint32_t Pixel(const QImage& image, int x, int y) { return image.pixel(x, y); }

}  // namespace q208::test
