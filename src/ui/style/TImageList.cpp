#include "ui/style/TImageList.h"

#include "platform/GdiCanvas.h"

namespace brenvik {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4)) {}

TImageList::~TImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

bool TImageList::AddMasked(HBITMAP bitmap, COLORREF key) {
    if (!handle_ || !bitmap || ImageList_AddMasked(handle_, bitmap, key) < 0) return false;
    NotifyChanged();
    return true;
}

bool TImageList::AddResource(int id, COLORREF key) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    bool added = AddMasked(bitmap, key);
    if (bitmap) DeleteObject(bitmap);
    return added;
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TImageList::Draw(Canvas& canvas, int index, int x, int y) {
    auto* gdi = dynamic_cast<GdiCanvas*>(&canvas);
    if (!gdi || !handle_ || index < 0 || index >= Count()) return;
    ImageList_Draw(handle_, index, gdi->Handle(), x, y, ILD_TRANSPARENT);
}

}  // namespace brenvik
