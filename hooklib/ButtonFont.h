// ButtonFont.h: the panel buttons' drawing font when the language file enables one. One font is
// built per dialog and shared by its buttons; each paint only selects it, where a button's own
// font would enumerate the face and create and delete a font on every paint (an eyedropper drag
// repaints a button at every colour change). Dialog thread only.
#pragma once

#include "Config.h"

#include <array>
#include <memory>

#include "DialogSettings.h"
#include "UtilClass.h"

class TVxOriginBtn;

// Borrows a font that another object owns (shared by the dialog's buttons): SelectInto selects it
// with TextColor, DeselectFrom puts the previous font back; neither creates nor deletes a font.
class TSharedDrawingFont : public TAPIGFont {
public:
    explicit TSharedDrawingFont(std::shared_ptr<TAPICFont> built);
    void SelectInto(HDC dc) override;
    void DeselectFrom(HDC dc) override;

    const std::shared_ptr<TAPICFont>& Built() const { return built_; }

private:
    std::shared_ptr<TAPICFont> built_;
};

// The font a button with this setting draws in, built as a button would build it on a screen DC.
std::shared_ptr<TAPICFont> BuildButtonFont(const TFontSetting& setting);

// Gives every button the setting's font, built once. The face "System" draws in the context's
// current font, as a button's own font does, so it is merely named.
void ShareButtonFont(const std::array<TVxOriginBtn*, kPanelButtonCount>& buttons, const TFontSetting& setting);
