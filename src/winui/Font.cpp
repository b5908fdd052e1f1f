#include "Font.h"

namespace winui {

LOGFONTA LogFontFrom(const FontSpec& spec, int escapement)
{
    LOGFONTA lf{};
    lf.lfHeight = spec.height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.italic ? TRUE : FALSE;
    lf.lfUnderline = spec.underline ? TRUE : FALSE;
    lf.lfStrikeOut = spec.strikeOut ? TRUE : FALSE;
    lf.lfCharSet = spec.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    return lf;
}

FontHandle CreateFontFrom(const FontSpec& spec)
{
    const LOGFONTA lf = LogFontFrom(spec);
    return FontHandle(::CreateFontIndirectA(&lf));
}

}  // namespace winui
