// Choosing the dialogs' font: the named face when it has every glyph the
// dialog shows, otherwise the first Japanese-capable face that does.
#include "platform/win32/dialog_font.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/text.h"

namespace nimbrel::win32 {
namespace {

// Faces that show Japanese at small sizes, tried in this order when the
// named face is missing or lacks glyphs (as "System" does outside Japanese
// Windows). The first ones come with Windows, the later ones with Wine's
// usual Linux font packages.
constexpr const wchar_t* kFallbackFaces[] = {
    L"MS UI Gothic", L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI",
    L"IPAPGothic",   L"IPAGothic",  L"VL PGothic", L"Noto Sans CJK JP",
    L"Droid Sans Fallback",
};

UniqueFont MakeFont(const std::wstring& face, int pixelHeight)
{
    LOGFONTW font{};
    // A negative height asks for the character height, without the
    // internal leading, which is how the layouts give it.
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

// Every character that the dialog's controls show.
std::wstring CaptionCharacters(const DialogLayout& layout)
{
    std::wstring text;
    for (const ControlLayout& control : layout.controls) text += Widen(control.caption);
    return text;
}

bool ShowsEveryCharacter(HFONT font, const std::wstring& text)
{
    if (text.empty()) return true;
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!dc) return false;
    HGDIOBJ previous = SelectObject(dc.get(), font);
    std::vector<WORD> glyphs(text.size());
    DWORD converted = GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                       glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc.get(), previous);
    return converted != GDI_ERROR &&
           std::ranges::none_of(glyphs, [](WORD glyph) { return glyph == 0xFFFF; });
}

} // namespace

int ScreenDpi()
{
    WindowDc screen(nullptr);
    int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

int ScaleToDpi(int length, int dpi)
{
    return MulDiv(length, dpi, 96);
}

UniqueFont CreateDialogFont(const DialogLayout& layout, int dpi)
{
    const int height = ScaleToDpi(layout.font.height, dpi);
    const std::wstring captions = CaptionCharacters(layout);
    const std::wstring named = Widen(layout.font.face);

    UniqueFont font = MakeFont(named, height);
    if (font && ShowsEveryCharacter(font.get(), captions)) return font;
    for (const wchar_t* face : kFallbackFaces) {
        UniqueFont candidate = MakeFont(face, height);
        if (candidate && ShowsEveryCharacter(candidate.get(), captions)) return candidate;
    }
    return font ? std::move(font) : UniqueFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

} // namespace nimbrel::win32
