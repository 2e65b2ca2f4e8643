#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_node;
}

namespace q208 {

class CControlUI;
class CContainerUI;
class CPaintManagerUI;

// The window's own factory for element names the library does not know.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual std::unique_ptr<CControlUI> CreateControl(std::string_view className) = 0;
};

// Builds a control tree from a layout: a name of the layout index (res.xml), a file under
// the resource path, or XML text (starting with '<'). <Window> attributes, <Font> and
// <Default> go to the manager; <Include source="file" count="n"/> inserts another layout.
// A control is created by element name (built-ins, registered classes, the callback),
// added to its parent, then given the <Default> attributes of its element name and its own
// attributes in order. Bad input is traced with the file and line and skipped: an unknown
// element with its children, an unknown attribute, a malformed value. An unreadable or
// malformed file gives a null tree.
class CDialogBuilder {
public:
    std::unique_ptr<CControlUI> Create(std::string_view xmlOrName, IDialogBuilderCallback* callback = nullptr,
                                       CPaintManagerUI* manager = nullptr);
    std::unique_ptr<CControlUI> CreateFromString(std::string_view xml, IDialogBuilderCallback* callback = nullptr,
                                                 CPaintManagerUI* manager = nullptr);
    std::unique_ptr<CControlUI> CreateFromFile(const std::string& path, IDialogBuilderCallback* callback = nullptr,
                                               CPaintManagerUI* manager = nullptr);

    // Every problem met by the last Create, as traced ("file:line: ...").
    const std::vector<std::string>& Diagnostics() const { return diagnostics_; }

private:
    struct Source;
    struct Context;

    std::unique_ptr<CControlUI> Build(const Source& source, Context& ctx);
    void ApplyWindow(const pugi::xml_node& window, const Source& source, Context& ctx);
    // Builds the elements under `node` into `parent` (or as the root when parent is null).
    void BuildChildren(const pugi::xml_node& node, CContainerUI* parent, std::unique_ptr<CControlUI>* root,
                       const Source& source, Context& ctx, int depth);
    void BuildInclude(const pugi::xml_node& node, CContainerUI* parent, std::unique_ptr<CControlUI>* root,
                      const Source& source, Context& ctx, int depth);
    std::unique_ptr<CControlUI> MakeControl(std::string_view name, Context& ctx);
    void ApplyAttributes(CControlUI& control, const pugi::xml_node& node, const Source& source, Context& ctx);
    void Report(const Source& source, const pugi::xml_node& node, const std::string& what);

    std::vector<std::string> diagnostics_;
};

}  // namespace q208
