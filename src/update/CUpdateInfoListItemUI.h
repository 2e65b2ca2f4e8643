#pragma once

#include <string>

#include "ui/CListContainerElementUI.h"
#include "update/UpdateTypes.h"

namespace q208 {

class CLabelUI;
class COptionUI;

// One row of the settings window's update list: a tick, the target's name with a note
// under it, the installed and the offered version, the status text and, while something
// is transferred, its percentage. The status code chooses the text and the colours.
class CUpdateInfoListItemUI : public CListContainerElementUI {
public:
    static constexpr const char* kClassName = "UpdateInfoListItem";
    static constexpr const char* kTickName = "check_name_select";
    static constexpr const char* kProgressName = "update_progress_value";
    static constexpr ARGB kNameColour = 0xff0099ff;
    static constexpr ARGB kVersionColour = 0xff0078c8;
    static constexpr ARGB kCurrentNameColour = 0xffffffff;
    static constexpr ARGB kGreyColour = 0xff666666;

    CUpdateInfoListItemUI();

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // The language key a status shows, and whether it shows a percentage.
    static const char* StatusTextKey(int status);
    static bool StatusShowsProgress(int status);

    // Name, versions, status, path and local file; the new version only unless current.
    void SetInfo(const UpdateInfo& info);
    const UpdateInfo& Info() const { return info_; }
    int Status() const { return info_.status; }
    void SetStatus(int status);
    void SetVersions(const std::string& current, const std::string& offered);
    // 0 … 100, shown as "N%" while the status shows progress.
    void SetProgress(int percent);
    int Progress() const { return progress_; }
    bool IsTicked() const;
    void SetTicked(bool ticked);
    // A line under the name (a "%{key}" language key or plain text); empty hides it.
    void SetNote(const std::string& note);
    std::string Note() const;
    // Gives the cells names ending in "_N" (the item's place in the list), so that each
    // item's texts can be found by name: "update_item_status_N" and so on.
    void NameCells(int index);
    // Texts of the cells as shown, for tools and tests.
    std::string StatusText() const;
    std::string NewVersionText() const;

private:
    void ShowStatus();

    UpdateInfo info_;
    int progress_ = 0;
    COptionUI* tick_ = nullptr;
    CLabelUI* name_ = nullptr;
    CLabelUI* note_ = nullptr;
    CLabelUI* current_ = nullptr;
    CLabelUI* offered_ = nullptr;
    CLabelUI* status_ = nullptr;
    CLabelUI* progressText_ = nullptr;
};

}  // namespace q208
