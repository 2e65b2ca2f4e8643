#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ui/CHeadlessPlatform.h"
#include "ui/CControlUI.h"
#include "ui/CHeadlessSurface.h"
#include "ui/CMessageQueue.h"
#include "ui/CRecordingRenderTarget.h"
#include "ui/CPaintManagerUI.h"
#include "ui/WindowImplBase.h"

namespace q208 {
inline void PrintTo(const UiRect& r, std::ostream* os) { *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}"; }
}  // namespace q208

namespace q208::test {

// A window built from layout text that records every notification as "type:name".
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(std::string xml) : xml_(std::move(xml)) {}

    std::vector<std::string> events;
    std::function<void(TNotifyUI&)> onNotify;

    void Notify(TNotifyUI& msg) override {
        events.push_back(msg.sType + ":" + (msg.pSender ? msg.pSender->GetName() : std::string("?")));
        auto alive = msg.pSender ? msg.pSender->Lifetime() : std::weak_ptr<int>();
        if (onNotify) onNotify(msg);
        if (alive.expired()) msg.pSender = nullptr;  // the handler removed the sender
        WindowImplBase::Notify(msg);
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }

    CHeadlessSurface& Surface() { return static_cast<CHeadlessSurface&>(*GetSurface()); }
    template <class T = CControlUI>
    T* Find(const std::string& name) {
        return static_cast<T*>(m_pm.FindControl(name));
    }

    void Press(int x, int y) { OnPointer({PointerAction::Press, PointerButton::Left, {x, y}, 0, MK_LBUTTON}); }
    void Release(int x, int y) { OnPointer({PointerAction::Release, PointerButton::Left, {x, y}, 0, 0}); }
    void Move(int x, int y, UINT buttons = 0) { OnPointer({PointerAction::Move, PointerButton::None, {x, y}, 0, buttons}); }
    void Click(int x, int y) {
        Move(x, y);
        Press(x, y);
        Release(x, y);
    }
    void ClickControl(const std::string& name) {
        m_pm.DoLayout();
        const UiRect rc = Find(name)->GetPos();
        Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Type(const std::string& text) { OnKey({KeyAction::Down, 0, text, 0}); }
    void Key(UINT vk) { OnKey({KeyAction::Down, vk, "", 0}); }

protected:
    std::string GetWindowClassName() const override { return "TestWindow"; }
    std::string GetSkinFile() override { return xml_; }

private:
    std::string xml_;
};

// Installs a headless platform with a manual clock for each test.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_ = std::make_shared<CHeadlessPlatform>();
        platform_->UseManualClock();
        SetUiPlatform(platform_);
        CMessageQueue::Current().ConsumeQuit();  // tests share the thread's queue
    }
    void TearDown() override {
        CPaintManagerUI::PumpMessages();
        SetUiPlatform(nullptr);
    }

    // Creates a window of `xml` at 0,0 with the layout's size and delivers "windowinit".
    std::unique_ptr<TestWindow> Open(const std::string& xml) {
        auto wnd = std::make_unique<TestWindow>(xml);
        EXPECT_NE(wnd->Create(0, "test"), 0u);
        CPaintManagerUI::PumpMessages();
        wnd->GetPaintManager().DoLayout();
        return wnd;
    }

    std::shared_ptr<CHeadlessPlatform> platform_;
};

}  // namespace q208::test
