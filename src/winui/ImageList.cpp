#include "ImageList.h"

#include "Handles.h"

#include <stdexcept>
#include <string>

namespace winui {

ImageList::~ImageList()
{
    if (list_)
        ::ImageList_Destroy(list_);
}

void ImageList::Load(const char* resource, int count, COLORREF transparent, int size)
{
    BitmapHandle strip(static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip)
        throw std::runtime_error(std::string("Resource ") + resource + " not found");
    list_ = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    ::ImageList_AddMasked(list_, strip.Get(), transparent);
}

int ImageList::Count() const
{
    return list_ ? ::ImageList_GetImageCount(list_) : 0;
}

void ImageList::Draw(HDC dc, int index, int x, int y) const
{
    ::ImageList_Draw(list_, index, dc, x, y, ILD_TRANSPARENT);
}

}  // namespace winui
