#include "Font.h"

namespace winui {

FontHandle CreateFontFrom(const FontSpec& spec)
{
    LOGFONTA lf{};
    lf.lfHeight = spec.height;
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    return FontHandle(::CreateFontIndirectA(&lf));
}

}  // namespace winui
