#include "ui/CDialogBuilder.h"

#include <fstream>
#include <sstream>

#include <pugixml.hpp>

#include "platform/Trace.h"
#include "ui/CContainerUI.h"
#include "ui/CControlFactory.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/UiAttr.h"

namespace q208 {

namespace {

// Includes nest at most this deep, so a layout including itself ends with a trace.
constexpr int kMaxIncludeDepth = 8;
// Controls nest at most this deep (across includes). Building, painting and destroying a
// tree recurse once per level, so a deeper file is refused as a whole.
constexpr int kMaxNestingDepth = 256;

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

// Window attributes the layer knows; their values only matter to the window frame.
bool IsKnownWindowAttribute(std::string_view name) {
    static const char* const known[] = {"caption", "sizebox", "roundcorner", "showdirty", "alpha", "bktrans",
                                        "layered", "opacity", "disabledfontcolor", "defaultfontcolor",
                                        "linkfontcolor", "linkhoverfontcolor", "selectedcolor", "shadow",
                                        "trans", "showshadow", "shadowsize", "shadowcolor"};
    for (const char* k : known) {
        if (name == k) return true;
    }
    return false;
}

}  // namespace

struct CDialogBuilder::Source {
    std::string name;
    std::string text;
    std::vector<size_t> lineStarts;

    Source(std::string sourceName, std::string sourceText) : name(std::move(sourceName)), text(std::move(sourceText)) {
        lineStarts.push_back(0);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') lineStarts.push_back(i + 1);
        }
    }
    // pugixml reports byte offsets; layouts are read by people in lines.
    int LineOf(ptrdiff_t offset) const {
        if (offset < 0) return 0;
        auto it = std::upper_bound(lineStarts.begin(), lineStarts.end(), static_cast<size_t>(offset));
        return static_cast<int>(it - lineStarts.begin());
    }
};

struct CDialogBuilder::Context {
    IDialogBuilderCallback* callback;
    CPaintManagerUI* manager;
    int level = 0;         // nesting of the control being built
    bool refused = false;  // the layout is nested too deep: no tree at all
};

void CDialogBuilder::Report(const Source& source, const pugi::xml_node& node, const std::string& what) {
    const std::string line = source.name + ":" + std::to_string(source.LineOf(node.offset_debug())) + ": " + what;
    Trace("layout %s", line.c_str());
    diagnostics_.push_back(line);
}

std::unique_ptr<CControlUI> CDialogBuilder::Create(std::string_view xmlOrName, IDialogBuilderCallback* callback,
                                                   CPaintManagerUI* manager) {
    const size_t first = xmlOrName.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && xmlOrName[first] == '<') return CreateFromString(xmlOrName, callback, manager);
    std::string file = CResourceManager::GetInstance().GetXmlPath(xmlOrName);
    if (file.empty()) file = std::string(xmlOrName);
    return CreateFromFile(CPaintManagerUI::ResolveResource(file), callback, manager);
}

std::unique_ptr<CControlUI> CDialogBuilder::CreateFromString(std::string_view xml, IDialogBuilderCallback* callback,
                                                             CPaintManagerUI* manager) {
    diagnostics_.clear();
    Context ctx{callback, manager};
    return Build(Source("<string>", std::string(xml)), ctx);
}

std::unique_ptr<CControlUI> CDialogBuilder::CreateFromFile(const std::string& path, IDialogBuilderCallback* callback,
                                                           CPaintManagerUI* manager) {
    diagnostics_.clear();
    auto text = ReadFile(path);
    if (!text) {
        const std::string what = path + ": cannot read the layout";
        Trace("layout %s", what.c_str());
        diagnostics_.push_back(what);
        return nullptr;
    }
    Context ctx{callback, manager};
    return Build(Source(path, std::move(*text)), ctx);
}

std::unique_ptr<CControlUI> CDialogBuilder::Build(const Source& source, Context& ctx) {
    pugi::xml_document doc;
    const auto result = doc.load_buffer(source.text.data(), source.text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        const std::string what = source.name + ":" + std::to_string(source.LineOf(result.offset)) + ": " + result.description();
        Trace("layout %s", what.c_str());
        diagnostics_.push_back(what);
        return nullptr;
    }
    std::unique_ptr<CControlUI> root;
    pugi::xml_node top = doc.document_element();
    if (std::string_view(top.name()) == "Window") {
        ApplyWindow(top, source, ctx);
        BuildChildren(top, nullptr, &root, source, ctx, 0);
    } else {
        BuildChildren(doc, nullptr, &root, source, ctx, 0);
    }
    if (ctx.refused) return nullptr;
    if (!root) {
        const std::string what = source.name + ": the layout has no control";
        Trace("layout %s", what.c_str());
        diagnostics_.push_back(what);
    }
    return root;
}

void CDialogBuilder::ApplyWindow(const pugi::xml_node& window, const Source& source, Context& ctx) {
    CPaintManagerUI* pm = ctx.manager;
    for (auto a : window.attributes()) {
        const std::string_view name = a.name();
        if (name == "size" || name == "mininfo") {
            auto size = attr::Size(a.value());
            if (!size) {
                Report(source, window, "malformed value '" + std::string(a.value()) + "' of attribute '" + std::string(name) + "'");
                continue;
            }
            if (pm && name == "size") pm->SetInitSize(size->cx, size->cy);
            if (pm && name == "mininfo") pm->SetMinInfo(size->cx, size->cy);
        } else if (name == "caption") {
            auto caption = attr::Rect(a.value());
            if (!caption) {
                Report(source, window, "malformed value '" + std::string(a.value()) + "' of attribute 'caption'");
                continue;
            }
            if (pm) pm->SetCaptionRect(*caption);
        } else if (name == "maxinfo" || IsKnownWindowAttribute(name)) {
            // the frame's business
        } else {
            Report(source, window, "unknown attribute '" + std::string(name) + "' on <Window>");
        }
    }
    for (auto node : window.children()) {
        const std::string_view tag = node.name();
        if (tag == "Font") {
            auto id = attr::Int(node.attribute("id").as_string("-1"));
            auto size = attr::Int(node.attribute("size").as_string("12"));
            if (!id || !size) {
                Report(source, node, "malformed <Font>");
                continue;
            }
            if (!pm) continue;
            const std::string face = node.attribute("name").as_string();
            const bool bold = node.attribute("bold").as_bool();
            const bool underline = node.attribute("underline").as_bool();
            const bool italic = node.attribute("italic").as_bool();
            const bool shared = node.attribute("shared").as_bool();
            if (*id >= 0) pm->AddFont(*id, face, *size, bold, underline, italic, shared);
            if (node.attribute("default").as_bool()) pm->SetDefaultFont(face, *size, bold, underline, italic, shared);
        } else if (tag == "Default") {
            const std::string name = node.attribute("name").as_string();
            const std::string value = node.attribute("value").as_string();
            if (name.empty() || !attr::List(value)) {
                Report(source, node, "malformed <Default> '" + name + "'");
                continue;
            }
            if (pm) pm->AddDefaultAttributeList(name, value);
        }
    }
}

std::unique_ptr<CControlUI> CDialogBuilder::MakeControl(std::string_view name, Context& ctx) {
    if (auto control = CControlFactory::GetInstance().CreateControl(name)) return control;
    if (ctx.callback) return ctx.callback->CreateControl(name);
    return nullptr;
}

void CDialogBuilder::ApplyAttributes(CControlUI& control, const pugi::xml_node& node, const Source& source, Context& ctx) {
    auto apply = [&](std::string_view name, std::string_view value) {
        switch (control.SetAttribute(name, value)) {
        case AttrResult::Applied:
            break;
        case AttrResult::Unknown:
            Report(source, node, "unknown attribute '" + std::string(name) + "' on <" + node.name() + ">");
            break;
        case AttrResult::Malformed:
            Report(source, node, "malformed value '" + std::string(value) + "' of attribute '" + std::string(name) +
                                     "' on <" + node.name() + ">");
            break;
        }
    };
    if (ctx.manager) {
        const std::string_view defaults = ctx.manager->GetDefaultAttributeList(node.name());
        if (!defaults.empty()) {
            if (auto pairs = attr::List(defaults)) {
                for (const auto& [name, value] : *pairs) apply(name, value);
            }
        }
    }
    for (auto a : node.attributes()) apply(a.name(), a.value());
}

void CDialogBuilder::BuildInclude(const pugi::xml_node& node, CContainerUI* parent, std::unique_ptr<CControlUI>* root,
                                  const Source& source, Context& ctx, int depth) {
    if (depth >= kMaxIncludeDepth) {
        Report(source, node, "includes nested too deep");
        return;
    }
    const std::string name = node.attribute("source").as_string();
    auto count = attr::Int(node.attribute("count").as_string("1"));
    if (name.empty() || !count || *count < 0) {
        Report(source, node, "malformed <Include>");
        return;
    }
    std::string file = CResourceManager::GetInstance().GetXmlPath(name);
    if (file.empty()) file = name;
    const std::string path = CPaintManagerUI::ResolveResource(file);
    auto text = ReadFile(path);
    if (!text) {
        Report(source, node, "cannot read included layout " + path);
        return;
    }
    const Source included(path, std::move(*text));
    pugi::xml_document doc;
    const auto result = doc.load_buffer(included.text.data(), included.text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        Report(source, node, path + ":" + std::to_string(included.LineOf(result.offset)) + ": " + result.description());
        return;
    }
    pugi::xml_node top = doc.document_element();
    for (int i = 0; i < *count; ++i) {
        if (std::string_view(top.name()) == "Window") {
            BuildChildren(top, parent, root, included, ctx, depth + 1);
        } else {
            BuildChildren(doc, parent, root, included, ctx, depth + 1);
        }
    }
}

void CDialogBuilder::BuildChildren(const pugi::xml_node& node, CContainerUI* parent, std::unique_ptr<CControlUI>* root,
                                   const Source& source, Context& ctx, int depth) {
    for (auto child : node.children()) {
        if (ctx.refused) return;
        if (child.type() != pugi::node_element) continue;
        const std::string_view tag = child.name();
        if (tag == "Font" || tag == "Default" || tag == "Image" || tag == "Style") continue;  // window level
        if (tag == "Include") {
            BuildInclude(child, parent, root, source, ctx, depth);
            continue;
        }
        auto control = MakeControl(tag, ctx);
        if (!control) {
            Report(source, child, "unknown element <" + std::string(tag) + ">");
            continue;
        }
        CControlUI* raw = nullptr;
        if (parent) {
            raw = parent->Add(std::move(control));
        } else if (root && !*root) {
            control->SetManager(ctx.manager, nullptr, false);
            *root = std::move(control);
            raw = root->get();
        } else {
            Report(source, child, "a second root element <" + std::string(tag) + "> is ignored");
            continue;
        }
        ApplyAttributes(*raw, child, source, ctx);
        if (!child.first_child()) continue;
        auto* container = static_cast<CContainerUI*>(raw->GetInterface("Container"));
        if (!container) {
            Report(source, child, "<" + std::string(tag) + "> cannot hold child elements");
            continue;
        }
        if (ctx.level + 1 >= kMaxNestingDepth) {
            Report(source, child, "controls nested deeper than " + std::to_string(kMaxNestingDepth) +
                                      " levels; the layout is refused");
            ctx.refused = true;
            return;
        }
        ++ctx.level;
        BuildChildren(child, container, nullptr, source, ctx, depth);
        --ctx.level;
    }
}

}  // namespace q208
