#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ui/canvas/Canvas.h"

namespace brenvik {

// A picture as the platform decoded it; sizes in units of 0.01 mm.
class DecodedPicture {
public:
    virtual ~DecodedPicture() = default;
    virtual int HimetricWidth() const = 0;
    virtual int HimetricHeight() const = 0;
    virtual void Render(Canvas& canvas, const TRect& rect) = 0;
};

// The platform's side of loading pictures.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Throws Exception with the decoder's message when the bytes are no picture.
    virtual std::unique_ptr<DecodedPicture> Decode(std::span<const std::uint8_t> bytes) = 0;
    // A raw-data resource of the program; false when it has none of that name.
    virtual bool ReadResource(const std::string& name, std::vector<std::uint8_t>& bytes) = 0;
};

// Image data named by the markup, decoded by the platform; for GIF data only
// the chosen frame is handed to the decoder.
class TMarkupPicture {
public:
    explicit TMarkupPicture(PictureLoader& loader) : loader_(loader) {}

    // Decoding failures propagate to the caller.
    void LoadFromStream(std::span<const std::uint8_t> bytes);
    // Any failure leaves the picture empty, silently.
    void LoadFromFile(const std::string& path);
    // A missing resource loads nothing.
    void LoadFromResource(const std::string& name);
    // "RES://name" and "FILE://path" load; other addresses are only recorded
    // (and, for an asynchronous picture, handed to a download that never
    // fetches anything).
    void LoadFromAddress(const std::string& address);
    std::vector<std::uint8_t> SaveToStream() const { return data_; }
    // Copies and decodes the other picture's bytes; nullptr clears the data.
    void Assign(const TMarkupPicture* other);

    bool Empty() const { return empty_; }
    bool Decoded() const { return decoded_ != nullptr; }
    // Natural size in pixels: the animation's logical screen for GIF data.
    int Width() const;
    int Height() const;
    int FrameCount();
    int Frame() const { return frame_; }
    void SetFrame(int frame);
    TPoint FrameOffset() const { return frameOffset_; }
    TSize AnimationSize() const { return animationSize_; }

    const std::string& Address() const { return address_; }
    const std::string& PendingAddress() const { return pendingAddress_; }
    bool Asynchronous() const { return asynchronous_; }
    void SetAsynchronous(bool asynchronous) { asynchronous_ = asynchronous; }
    bool Busy() const { return busy_; }

    bool Stretch = false;
    std::function<void(TMarkupPicture&)> OnChange;
    std::function<void(TMarkupPicture&)> OnFrameChange;

    // With Stretch into the whole rectangle, otherwise at the natural size
    // for the canvas's resolution from the rectangle's top-left corner.
    void Draw(Canvas& canvas, const TRect& rect);
    void DrawStretched(Canvas& canvas, const TRect& rect);

private:
    void Load(std::span<const std::uint8_t> bytes);
    void Decode();
    void Changed();

    PictureLoader& loader_;
    std::vector<std::uint8_t> data_;
    bool empty_ = true;
    std::unique_ptr<DecodedPicture> decoded_;
    int frame_ = 1;
    int frameCount_ = -1;
    TPoint frameOffset_;
    TSize animationSize_;
    std::string address_;
    std::string pendingAddress_;
    bool asynchronous_ = true;
    bool busy_ = false;
};

}  // namespace brenvik
