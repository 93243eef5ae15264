#pragma once
#include <algorithm>
#include <vector>

#include "ui/canvas/Canvas.h"

namespace brenvik {

class ImageList;

// Told when an image list changes or goes away, so that holders of a
// reference can repaint or forget it.
class ImageListObserver {
public:
    virtual void ImageListChanged(ImageList& list) = 0;
    virtual void ImageListDestroyed(ImageList& list) = 0;

protected:
    ~ImageListObserver() = default;
};

// A row of equally sized images drawn by index.
class ImageList {
public:
    virtual ~ImageList() {
        auto observers = observers_;
        for (ImageListObserver* observer : observers) observer->ImageListDestroyed(*this);
    }

    virtual int Count() const = 0;
    virtual TSize ImageSize() const = 0;
    virtual void Draw(Canvas& canvas, int index, int x, int y) = 0;

    void Subscribe(ImageListObserver& observer) { observers_.push_back(&observer); }
    void Unsubscribe(ImageListObserver& observer) { std::erase(observers_, &observer); }

protected:
    void NotifyChanged() {
        auto observers = observers_;
        for (ImageListObserver* observer : observers) observer->ImageListChanged(*this);
    }

private:
    std::vector<ImageListObserver*> observers_;
};

}  // namespace brenvik
