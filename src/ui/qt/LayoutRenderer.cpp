#include "ui/qt/LayoutRenderer.h"

#include <filesystem>
#include <system_error>

#include <QImage>
#include <QPainter>

#include "platform/Paths.h"
#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/qt/CQtRenderTarget.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/SkinSetup.h"

namespace q208 {

namespace {

constexpr int kMaxSide = 16384;

// A file given relative to the working folder, made absolute (else the skin's own).
std::string FileArgument(const std::string& name) {
    std::error_code ec;
    if (!name.empty() && std::filesystem::is_regular_file(name, ec)) return std::filesystem::absolute(name, ec).string();
    return name;
}

// A layout named by an existing path is read from there; anything else goes to the builder
// as it is (index name, skin-relative file or XML text).
std::string LayoutSource(const std::string& layout) {
    if (layout.empty() || layout.front() == '<') return layout;
    return FileArgument(layout);
}

}  // namespace

RenderResult RenderLayoutToPng(const RenderRequest& request) {
    RenderResult result;
    const std::filesystem::path skin = request.skinFolder.empty() ? FindDataRoot().skin : std::filesystem::path(request.skinFolder);
    LoadSkin(skin);  // a missing skin only loses images, fonts and layout names
    if (!request.language.empty() && !CResourceManager::GetInstance().LoadLanguage(FileArgument(request.language))) {
        result.error = "cannot read the language file " + request.language;
        return result;
    }

    CPaintManagerUI manager;
    manager.Init(nullptr, "render");
    CDialogBuilder builder;
    auto root = builder.Create(LayoutSource(request.layout), nullptr, &manager);
    result.diagnostics = builder.Diagnostics();
    if (!root) {
        result.error = "cannot build the layout " + request.layout;
        return result;
    }
    // A page layout (no <Window>) is shown at its root control's own size.
    const UiSize rootSize = {root->GetFixedWidth(), root->GetFixedHeight()};
    manager.AttachDialog(std::move(root));

    UiSize size = request.size;
    if (size.cx <= 0 || size.cy <= 0) {
        UiSize init = manager.GetInitSize();
        if (init.cx <= 0 || init.cy <= 0) init = rootSize;
        size = {manager.ScaleValue(init.cx), manager.ScaleValue(init.cy)};
    }
    if (size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSide || size.cy > kMaxSide) {
        result.error = "no usable size: give --size WxH or a <Window size> in the layout";
        return result;
    }
    manager.SetClientSize(size.cx, size.cy);
    manager.DoLayout();

    QImage image(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        CQtRenderTarget target(painter);
        manager.Paint(target, UiRect{0, 0, size.cx, size.cy});
    }
    if (!image.save(qtconv::Str(request.outFile), "PNG")) {
        result.error = "cannot write " + request.outFile;
        return result;
    }
    result.ok = true;
    result.size = size;
    return result;
}

}  // namespace q208
