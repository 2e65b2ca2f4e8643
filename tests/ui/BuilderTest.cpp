#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "platform/Trace.h"
#include "ui/CButtonUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CControlFactory.h"
#include "ui/CLabelUI.h"
#include "ui/CResourceManager.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208::test {
namespace {

namespace fs = std::filesystem;

class BuilderTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        dir_ = fs::temp_directory_path() / ("q208-ui-builder-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        CPaintManagerUI::SetResourcePath(dir_.string());
    }
    void TearDown() override {
        CResourceManager::GetInstance().Release();
        CPaintManagerUI::SetResourcePath("");
        fs::remove_all(dir_);
        UiTest::TearDown();
    }
    void Write(const std::string& name, const std::string& text) {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name) << text;
    }
    fs::path dir_;
};

// A control class of the program, registered by name.
class CSwatchUI : public CControlUI {
public:
    std::string GetClass() const override { return "SwatchUI"; }
    AttrResult SetAttribute(std::string_view name, std::string_view value) override {
        if (name == "shade") {
            shade = std::string(value);
            // Attributes arrive after the control joined its parent.
            parentKnownAtAttributeTime = GetParent() != nullptr;
            return AttrResult::Applied;
        }
        return CControlUI::SetAttribute(name, value);
    }
    std::string shade;
    bool parentKnownAtAttributeTime = false;
};

class Callback : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) override {
        asked.emplace_back(name);
        if (name == "Panel") return std::make_unique<CVerticalLayoutUI>();
        return nullptr;
    }
    std::vector<std::string> asked;
};

TEST_F(BuilderTest, ResourceIndexNamesLayoutsAndIncludesInsertOtherFiles) {
    Write("res.xml", R"(<Res><xml name="XML_MAIN" value="main.xml"/></Res>)");
    Write("main.xml", R"(<Window size="200,100"><Font id="2" name="Serif" size="18" bold="true"/>
        <Default name="Button" value="textcolor=&quot;#FF112233&quot; height=&quot;30&quot;"/>
        <VerticalLayout name="root"><Include source="XML\part.xml" count="2"/><Button name="b" height="40"/></VerticalLayout></Window>)");
    Write("XML/part.xml", R"(<Label text="part" font="2"/>)");
    ASSERT_TRUE(CResourceManager::GetInstance().LoadResource("res.xml"));

    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create("XML_MAIN", nullptr, &pm);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(builder.Diagnostics().empty());
    auto* layout = static_cast<CVerticalLayoutUI*>(root.get());
    ASSERT_EQ(layout->GetCount(), 3);
    EXPECT_EQ(layout->GetItemAt(1)->GetText(), "part");
    EXPECT_EQ(pm.GetInitSize(), (UiSize{200, 100}));
    EXPECT_EQ(pm.GetFont(2).face, "Serif");
    EXPECT_TRUE(pm.GetFont(2).bold);
    auto* button = static_cast<CButtonUI*>(pm.FindControl("b"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetTextColor(), 0xFF112233u);  // from <Default>
    EXPECT_EQ(button->GetFixedHeight(), 40);         // own attribute wins over the default
}

TEST_F(BuilderTest, RegisteredClassesThenTheWindowCallbackCreateUnknownElements) {
    CControlFactory::GetInstance().RegistControl("CSwatchUI", [] { return std::make_unique<CSwatchUI>(); });
    Callback callback;
    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create(R"(<Panel name="p"><Swatch name="s" shade="red"/></Panel>)", &callback, &pm);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(callback.asked, std::vector<std::string>{"Panel"});
    auto* swatch = static_cast<CSwatchUI*>(pm.FindControl("s"));
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(swatch->shade, "red");
    EXPECT_TRUE(swatch->parentKnownAtAttributeTime);
    EXPECT_EQ(pm.FindSubControlByName(root.get(), "s"), swatch);
    EXPECT_EQ(pm.FindSubControlByName(root.get(), "nothing"), nullptr);
}

TEST_F(BuilderTest, BadInputIsBuiltAsFarAsPossibleAndTracedWithLine) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create("<VerticalLayout name=\"root\">\n"
                               "  <Label name=\"a\" colour=\"#FF000000\"/>\n"
                               "  <Mystery name=\"m\"><Label name=\"inside\"/></Mystery>\n"
                               "  <Label name=\"c\" width=\"wide\" height=\"12\"/>\n"
                               "</VerticalLayout>",
                               nullptr, &pm);
    ASSERT_NE(root, nullptr);
    const auto& d = builder.Diagnostics();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_NE(d[0].find("<string>:2: unknown attribute 'colour'"), std::string::npos) << d[0];
    EXPECT_NE(d[1].find("<string>:3: unknown element <Mystery>"), std::string::npos) << d[1];
    EXPECT_NE(d[2].find("<string>:4: malformed value 'wide' of attribute 'width'"), std::string::npos) << d[2];
    EXPECT_NE(pm.FindControl("a"), nullptr);
    EXPECT_EQ(pm.FindControl("inside"), nullptr);
    ASSERT_NE(pm.FindControl("c"), nullptr);
    EXPECT_EQ(pm.FindControl("c")->GetFixedHeight(), 12);  // the good attribute still applies
    EXPECT_EQ(pm.FindControl("c")->GetFixedWidth(), 0);
}

TEST_F(BuilderTest, MissingMalformedAndSelfIncludingFilesNeverCrash) {
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create("absent.xml"), nullptr);
    EXPECT_EQ(builder.Diagnostics().size(), 1u);

    Write("broken.xml", "<VerticalLayout>\n<Label>\n</VerticalLayout>");
    EXPECT_EQ(builder.Create("broken.xml"), nullptr);
    ASSERT_EQ(builder.Diagnostics().size(), 1u);
    EXPECT_NE(builder.Diagnostics()[0].find(":3:"), std::string::npos) << builder.Diagnostics()[0];

    Write("loop.xml", R"(<VerticalLayout><Include source="loop.xml"/></VerticalLayout>)");
    auto root = builder.Create("loop.xml");
    EXPECT_NE(root, nullptr);
    EXPECT_FALSE(builder.Diagnostics().empty());

    EXPECT_EQ(builder.Create("<Window size=\"1,1\"></Window>"), nullptr);
}

std::string Nested(int levels) {
    std::string xml;
    for (int i = 0; i < levels; ++i) xml += "<VerticalLayout>\n";
    for (int i = 0; i < levels; ++i) xml += "</VerticalLayout>";
    return xml;
}

TEST_F(BuilderTest, DeeplyNestedLayoutsAreRefusedWithFileAndLine) {
    CDialogBuilder builder;
    Write("deep.xml", Nested(200000));
    EXPECT_EQ(builder.Create("deep.xml"), nullptr);
    ASSERT_EQ(builder.Diagnostics().size(), 1u);
    EXPECT_NE(builder.Diagnostics()[0].find("deep.xml:256:"), std::string::npos) << builder.Diagnostics()[0];

    Write("ok.xml", Nested(255));
    EXPECT_NE(builder.Create("ok.xml"), nullptr);
    EXPECT_TRUE(builder.Diagnostics().empty());

    // Includes continue the nesting of the file that includes them.
    Write("inner.xml", Nested(200));
    Write("outer.xml", Nested(100).insert(100 * 17, "<Include source=\"inner.xml\"/>"));
    EXPECT_EQ(builder.Create("outer.xml"), nullptr);
    ASSERT_FALSE(builder.Diagnostics().empty());
    EXPECT_NE(builder.Diagnostics()[0].find("inner.xml:"), std::string::npos) << builder.Diagnostics()[0];
}

TEST_F(BuilderTest, WindowWithMissingSkinFailsToCreate) {
    TestWindow wnd("missing.xml");
    EXPECT_EQ(wnd.Create(0, "x"), 0u);
    EXPECT_EQ(wnd.GetHWND(), 0u);
    EXPECT_EQ(wnd.ShowModal(), -1);
}

}  // namespace
}  // namespace q208::test
