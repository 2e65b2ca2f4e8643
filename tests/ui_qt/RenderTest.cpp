#include <QPainter>

#include "QtTestSupport.h"
#include "ui/qt/CQtImageCache.h"
#include "ui/qt/SkinSetup.h"

#include <QFontDatabase>

namespace q208::test {

class RenderTest : public QtTest {};

TEST_F(RenderTest, FixedStretchAndFloatChildrenLandWhereTheLayoutPutsThem) {
    const QImage image = Render(R"(<Window><HorizontalLayout bkcolor="#FF000000">
        <Control width="50" bkcolor="#FFFF0000"/>
        <Control bkcolor="#FF00FF00"/>
        <Control bkcolor="#FF0000FF"/>
        <Control float="true" pos="10,10,20,20" bkcolor="#FFFFFF00"/>
      </HorizontalLayout></Window>)",
                                150, 40);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Pixel(image, 5, 30), 0xFFFF0000u);    // fixed 50 px
    EXPECT_EQ(Pixel(image, 49, 30), 0xFFFF0000u);
    EXPECT_EQ(Pixel(image, 50, 30), 0xFF00FF00u);   // the rest shared by two
    EXPECT_EQ(Pixel(image, 99, 30), 0xFF00FF00u);
    EXPECT_EQ(Pixel(image, 100, 30), 0xFF0000FFu);
    EXPECT_EQ(Pixel(image, 149, 39), 0xFF0000FFu);
    EXPECT_EQ(Pixel(image, 15, 15), 0xFFFFFF00u);   // float child over the first one
    EXPECT_EQ(Pixel(image, 25, 15), 0xFFFF0000u);
}

TEST_F(RenderTest, BordersAndHalfTransparentColoursAreExact) {
    const QImage image = Render(R"(<Window><VerticalLayout bkcolor="#FFFFFFFF">
        <Control height="40" bkcolor="#80000000" bordercolor="#FFFF0000" bordersize="3"/>
      </VerticalLayout></Window>)",
                                60, 40);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Pixel(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(image, 2, 20), 0xFFFF0000u);
    EXPECT_EQ(Pixel(image, 59, 39), 0xFFFF0000u);
    const QColor inside = QColor::fromRgba(Pixel(image, 30, 20));  // black at half over white
    EXPECT_NEAR(inside.red(), 127, 2);
    EXPECT_EQ(inside.alpha(), 255);
}

TEST_F(RenderTest, ImagesStretchNinePatchAndTint) {
    // A white 10x10 image with a 2-pixel black frame.
    QImage source(10, 10, QImage::Format_ARGB32);
    source.fill(Qt::black);
    {
        QPainter p(&source);
        p.fillRect(2, 2, 6, 6, Qt::white);
    }
    const std::string file = (folder_ / "frame.png").string();
    ASSERT_TRUE(source.save(QString::fromStdString(file)));
    CQtImageCache::Instance().Clear();

    const QImage image = Render(R"(<Window><HorizontalLayout>
        <Control width="40" bkimage="file='frame.png' corner='2,2,2,2'"/>
        <Control width="40" bkimage="file='frame.png' tint='#FF00FF00' intensity='255'"/>
        <Control width="40" bkimage="file='missing.png'" bkcolor="#FF0000FF"/>
      </HorizontalLayout></Window>)",
                                120, 40);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Pixel(image, 1, 20), 0xFF000000u);    // the frame keeps 2 px at any size
    EXPECT_EQ(Pixel(image, 3, 20), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(image, 38, 38), 0xFF000000u);
    EXPECT_EQ(Pixel(image, 36, 36), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(image, 60, 20), 0xFF00FF00u);   // fully tinted
    EXPECT_EQ(Pixel(image, 100, 20), 0xFF0000FFu);  // a missing image draws nothing
}

TEST_F(RenderTest, TextIsDrawnInsideItsControlOnly) {
    const QImage image = Render(R"(<Window><VerticalLayout bkcolor="#FFFFFFFF">
        <Label height="30" text="WWWWWWWWWWWWWWWWWWWWWWWWWWWW" textcolor="#FF000000" endellipsis="true"/>
        <Control height="30" bkcolor="#FFFFFFFF"/>
      </VerticalLayout></Window>)",
                                80, 60);
    ASSERT_FALSE(image.isNull());
    int dark = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) dark += qRed(Pixel(image, x, y)) < 128;
    }
    EXPECT_GT(dark, 20);
    for (int y = 30; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) ASSERT_EQ(Pixel(image, x, y), 0xFFFFFFFFu) << x << "," << y;
    }
}

TEST_F(RenderTest, BadRequestsFailWithAReason) {
    RenderRequest request;
    request.layout = "<Window><Control/></Window>";
    request.outFile = (folder_ / "a.png").string();
    request.skinFolder = folder_.string();
    RenderResult result = RenderLayoutToPng(request);  // no size anywhere
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("size"), std::string::npos);

    request.layout = "<Window size=\"20,20\"><Control/></Window>";
    request.outFile = (folder_ / "no-such-folder" / "a.png").string();
    result = RenderLayoutToPng(request);
    EXPECT_FALSE(result.ok);

    request.outFile = (folder_ / "a.png").string();
    request.language = (folder_ / "missing.xml").string();
    EXPECT_FALSE(RenderLayoutToPng(request).ok);
}

TEST_F(RenderTest, TheSampleSkinRendersWithItsOwnSize) {
    RenderRequest request;
    request.layout = "XML_SAMPLE";
    request.outFile = (folder_ / "sample.png").string();
    request.skinFolder = Q208_SKIN_DIR;
    request.language = std::string(Q208_SKIN_DIR) + "/lan_en.xml";
    const RenderResult result = RenderLayoutToPng(request);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.diagnostics.empty()) << result.diagnostics.front();
    EXPECT_EQ(result.size, (UiSize{760, 440}));
    const QImage image(QString::fromStdString(request.outFile));
    EXPECT_EQ(image.pixel(360, 16), 0xFF15181Du);  // title bar
}

// The program's fonts are there while the object lives and gone with it; missing files are
// skipped without a word.
TEST_F(RenderTest, PrivateFontsAreRemovedWhenTheirOwnerGoes) {
    const std::filesystem::path source = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(source)) GTEST_SKIP() << "no font file to stand in";
    std::filesystem::copy_file(source, folder_ / PrivateFontFiles()[0]);
    std::filesystem::copy_file(source, folder_ / PrivateFontFiles()[2]);
    std::vector<int> ids;
    {
        const PrivateFonts fonts(folder_);
        ids = fonts.Ids();
        ASSERT_EQ(ids.size(), 2u);
        EXPECT_FALSE(fonts.Families().empty());
        for (int id : ids) EXPECT_FALSE(QFontDatabase::applicationFontFamilies(id).isEmpty());
    }
    for (int id : ids) EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).isEmpty());
}

}  // namespace q208::test
