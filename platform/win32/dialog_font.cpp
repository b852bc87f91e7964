// Choosing the dialogs' font: the named face when it has every glyph the
// dialog shows, otherwise the first Japanese-capable face that does.
#include "platform/win32/dialog_font.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/system_api.h"
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
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontUtf8(font));
}

// Every character that the dialog's controls show.
std::wstring CaptionCharacters(const DialogLayout& layout)
{
    std::wstring text;
    for (const ControlLayout& control : layout.controls) text += Widen(control.caption);
    return text;
}

// The character set of fonts made for an ANSI code page.
BYTE CodePageCharacterSet(UINT codePage)
{
    constexpr std::pair<UINT, BYTE> kSets[] = {
        {874, THAI_CHARSET},         {932, SHIFTJIS_CHARSET},    {936, GB2312_CHARSET},
        {949, HANGEUL_CHARSET},      {950, CHINESEBIG5_CHARSET}, {1250, EASTEUROPE_CHARSET},
        {1251, RUSSIAN_CHARSET},     {1253, GREEK_CHARSET},      {1254, TURKISH_CHARSET},
        {1255, HEBREW_CHARSET},      {1256, ARABIC_CHARSET},     {1257, BALTIC_CHARSET},
    };
    for (const auto& [page, set] : kSets) {
        if (page == codePage) return set;
    }
    return ANSI_CHARSET;
}

// Without GetGlyphIndicesW (Windows 95 to NT 4.0, and the Windows 95 family
// always, whose texts are in the code page): the face must be the one asked
// for, not a stand-in the font mapper chose, and anything beyond plain ASCII
// needs a face of the code page's character set.
bool CharacterSetFits(HDC dc, const std::wstring& text, const std::wstring& face)
{
    char chosen[LF_FACESIZE] = {};
    if (!GetTextFaceA(dc, LF_FACESIZE, chosen) || lstrcmpiA(chosen, ToAnsi(Narrow(face)).c_str()) != 0) {
        return false;
    }
    if (std::ranges::all_of(text, [](wchar_t character) { return character < 0x80; })) return true;
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(dc, &metrics)) return false;
    return metrics.tmCharSet == CodePageCharacterSet(GetACP());
}

bool ShowsEveryCharacter(HFONT font, const std::wstring& face, const std::wstring& text)
{
    if (text.empty()) return true;
    using GetGlyphIndicesFn = DWORD(WINAPI*)(HDC, LPCWSTR, int, LPWORD, DWORD);
    static const auto getGlyphIndices = UsesAnsiFunctions()
        ? nullptr : SystemFunction<GetGlyphIndicesFn>("gdi32.dll", "GetGlyphIndicesW");
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!dc) return false;
    HGDIOBJ previous = SelectObject(dc.get(), font);
    bool shows = false;
    if (getGlyphIndices) {
        std::vector<WORD> glyphs(text.size());
        DWORD converted = getGlyphIndices(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                          glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        shows = converted != GDI_ERROR &&
                std::ranges::none_of(glyphs, [](WORD glyph) { return glyph == 0xFFFF; });
    } else {
        shows = CharacterSetFits(dc.get(), text, face);
    }
    SelectObject(dc.get(), previous);
    return shows;
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
    if (font && ShowsEveryCharacter(font.get(), named, captions)) return font;
    for (const wchar_t* face : kFallbackFaces) {
        UniqueFont candidate = MakeFont(face, height);
        if (candidate && ShowsEveryCharacter(candidate.get(), face, captions)) return candidate;
    }
    return font ? std::move(font) : UniqueFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

} // namespace nimbrel::win32
