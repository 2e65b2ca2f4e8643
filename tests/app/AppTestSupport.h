#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "ui/CResourceManager.h"
#include "ui/UiTestSupport.h"

namespace q208::test {

// Windows of the shell built from the program's own skin, on the headless platform.
class ShellTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        savedResourcePath_ = CPaintManagerUI::GetResourcePath();
        CPaintManagerUI::SetResourcePath(FindDataRoot().skin.string());
        ASSERT_TRUE(CResourceManager::GetInstance().LoadResource("res.xml"));
        ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
        traces().clear();
        SetTraceSink([](const std::string& line) { traces().push_back(line); });
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("q208-app-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        SetTraceSink(nullptr);
        CPaintManagerUI::SetResourcePath(savedResourcePath_);
        CPaintManagerUI::RemoveAllSharedFonts();
        std::filesystem::remove_all(folder_);
        UiTest::TearDown();
    }

    static std::vector<std::string>& traces() {
        static std::vector<std::string> lines;
        return lines;
    }
    static bool Traced(const std::string& part) {
        for (const std::string& line : traces()) {
            if (line.find(part) != std::string::npos) return true;
        }
        return false;
    }

    // Clicks the middle of a control of any window of the layer.
    static void ClickIn(WindowImplBase& window, CControlUI* control) {
        window.GetPaintManager().DoLayout();
        const UiRect rc = control->GetPos();
        const UiPoint pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        window.OnPointer({PointerAction::Move, PointerButton::None, pt, 0, 0});
        window.OnPointer({PointerAction::Press, PointerButton::Left, pt, 0, MK_LBUTTON});
        window.OnPointer({PointerAction::Release, PointerButton::Left, pt, 0, 0});
    }
    static void ClickIn(WindowImplBase& window, const std::string& name) {
        ClickIn(window, window.GetPaintManager().FindControl(name));
    }

    std::filesystem::path folder_;

private:
    std::string savedResourcePath_;
};

}  // namespace q208::test
