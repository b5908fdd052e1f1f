// An image list of square pictures (16 x 16 unless said otherwise) loaded
// from a bitmap strip resource, masked by a key colour; destroyed with its
// owner.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace winui {

class ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList();

    // Loads a strip of `count` pictures; pixels of `transparent` are left out when drawn.
    void Load(const char* resource, int count, COLORREF transparent, int size = 16);
    HIMAGELIST Get() const noexcept { return list_; }
    int Count() const;
    void Draw(HDC dc, int index, int x, int y) const;

private:
    HIMAGELIST list_ = nullptr;
};

}  // namespace winui
