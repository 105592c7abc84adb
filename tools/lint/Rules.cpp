#include "tools/lint/Rules.h"

#include <cwctype>

namespace lint {

const std::vector<WindowSkin>& WindowSkins()
{
    static const std::vector<WindowSkin> skins = {
        {"main.xml", "the product window",
         {{"softInfoText", "Text"},
          {"installPathEdit", "Edit"},
          {"versionCombo", "Combo"},
          {"closeBtn", "Button"},
          {"installBtn", "Button"}}},
        {"install.xml", "the install window",
         {{"tip", "Label"},
          {"closeBtn", "Button"},
          {"installHelpBtn", "Button"},
          {"useHelpBtn", "Button"},
          {"installBtn", "Button"},
          {"customerServiceBtn", "Button"}}},
        {"progress.xml", "the progress window",
         {{"progress", "Progress"}, {"tip", "Label"}, {"title", "Label"}, {"okBtn", "Button"}}},
    };
    return skins;
}

namespace {

bool SameText(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
    return i == a.size() && !b[i];
}

}  // namespace

std::vector<std::string> TagInterfaces(const std::wstring& tag)
{
    const std::vector<std::string> control = {"Control"};
    const std::vector<std::string> container = {"Container", "IContainer", "Control"};
    const std::vector<std::string> label = {"Label", "Control"};
    auto with = [](std::vector<std::string> head, const std::vector<std::string>& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    struct Entry {
        const wchar_t* tag;
        std::vector<std::string> interfaces;
    };
    const std::vector<std::string> listLabel = {"ListLabelElement", "ListItem", "ListElement", "Control"};
    const Entry table[] = {
        {L"Control", control},
        {L"Container", container},
        {L"VerticalLayout", with({"VerticalLayout"}, container)},
        {L"HorizontalLayout", with({"HorizontalLayout"}, container)},
        {L"ScrollBar", {"ScrollBar", "Control"}},
        {L"Label", label},
        {L"Text", with({"Text"}, label)},
        {L"Button", with({"Button"}, label)},
        {L"Option", with({"Option", "Button"}, label)},
        {L"CheckBox", with({"CheckBox", "Option", "Button"}, label)},
        {L"Progress", with({"Progress"}, label)},
        {L"Slider", with({"Slider", "Progress"}, label)},
        {L"Edit", with({"Edit"}, label)},
        {L"Combo", with({"Combo", "IListOwner"}, container)},
        {L"List", with({"List", "IListOwner", "VerticalLayout"}, container)},
        {L"ListHeader", with({"ListHeader", "HorizontalLayout"}, container)},
        {L"ListHeaderItem", {"ListHeaderItem", "Control"}},
        {L"ListTextElement", with({"ListTextElement"}, listLabel)},
        {L"ListLabelElement", listLabel},
        {L"ListContainerElement", with({"ListItem", "ListContainerElement", "HorizontalLayout"}, container)},
    };
    for (const Entry& entry : table)
        if (SameText(tag, entry.tag)) return entry.interfaces;
    return {};
}

const std::vector<BoundPicture>& BoundPictures()
{
    // The header spans the whole window; buttons fill their fixed boxes.
    // The logo's height and the service icon's height follow the space left
    // over, so only their widths bind.
    static const std::vector<BoundPicture> pictures = {
        {"表头模块.png", 800, 210, "the header of the product and install windows"},
        {"close_button.png", 20, 20, "the close button"},
        {"组合logo.png", 146, 0, "the logo of the product window"},
        {"首页按钮.png", 360, 60, "the install button of the product window"},
        {"安装主页安装教程.png", 260, 90, "the installation guide button"},
        {"安装主页使用帮助.png", 260, 90, "the usage guide button"},
        {"安装主页立即安装.png", 400, 200, "the install button of the install window"},
        {"customer_service_icon.png", 23, 0, "the customer service icon"},
        {"进度条前景.png", 0, 10, "the progress bar"},
        {"进度条按钮.png", 240, 50, "the button of the progress window"},
    };
    return pictures;
}

bool IsPictureAttribute(const std::wstring& name)
{
    const std::wstring suffix = L"image";
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace lint
