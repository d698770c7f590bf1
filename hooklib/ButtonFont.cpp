// ButtonFont.cpp: one drawing font per dialog for the panel buttons (see ButtonFont.h).
#include "ButtonFont.h"

#include "GDIObject.h"

namespace {
constexpr const char kSystemFace[] = "System";

void NameFont(TAPIGFont& font, const TFontSetting& setting) {
    font.FaceName = setting.Name;
    font.Size = setting.Size;
    font.Bold = false;
}
}  // namespace

TSharedDrawingFont::TSharedDrawingFont(std::shared_ptr<TAPICFont> built) : built_(std::move(built)) {
    FaceName = built_->FaceName;
    Size = built_->Size;
    Bold = built_->Bold;
    LogFont = built_->LogFont;
}

void TSharedDrawingFont::SelectInto(HDC dc) {
    if (built_->Font == nullptr) return;
    PreviousFont = ::SelectObject(dc, built_->Font);
    ::SetTextColor(dc, TextColor);
}

void TSharedDrawingFont::DeselectFrom(HDC dc) {
    if (built_->Font == nullptr || PreviousFont == nullptr) return;
    ::SelectObject(dc, PreviousFont);
    PreviousFont = nullptr;
    ::SetTextColor(dc, 0);
}

std::shared_ptr<TAPICFont> BuildButtonFont(const TFontSetting& setting) {
    auto font = std::make_shared<TAPICFont>();
    NameFont(*font, setting);
    font->Build();
    return font;
}

void ShareButtonFont(const std::array<TVxOriginBtn*, kPanelButtonCount>& buttons, const TFontSetting& setting) {
    if (setting.Name == kSystemFace) {
        for (TVxOriginBtn* button : buttons)
            if (button != nullptr) NameFont(*button->Font, setting);
        return;
    }
    const std::shared_ptr<TAPICFont> built = BuildButtonFont(setting);
    for (TVxOriginBtn* button : buttons) {
        if (button == nullptr) continue;
        auto shared = std::make_unique<TSharedDrawingFont>(built);
        shared->TextColor = button->Font->TextColor;
        button->Font = std::move(shared);
    }
}
