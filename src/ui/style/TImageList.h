#pragma once
#include <windows.h>
#include <commctrl.h>
#undef DrawText

#include "ui/canvas/ImageList.h"
#include "ui/toolkit/TComponent.h"

namespace brenvik {

// A component holding equally sized images with masks (a system image list);
// images are added from bitmaps whose key colour is transparent.
class TImageList : public TComponent, public ImageList {
public:
    TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    // The bitmap may hold several images side by side; returns false when it
    // could not be added.
    bool AddMasked(HBITMAP bitmap, COLORREF key);
    bool AddResource(int id, COLORREF key);

    int Count() const override;
    TSize ImageSize() const override { return {width_, height_}; }
    // Drawn with the mask; needs a GDI canvas.
    void Draw(Canvas& canvas, int index, int x, int y) override;
    HIMAGELIST Handle() const { return handle_; }

private:
    int width_, height_;
    HIMAGELIST handle_;
};

}  // namespace brenvik
