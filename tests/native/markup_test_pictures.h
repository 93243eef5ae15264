#pragma once
// Picture decoding and image lists for the markup tests: "IMG:WxH" bytes
// decode to a W x H picture that draws itself as a filled rectangle of
// kPictureColor; GIF data decodes to the frame it was cut down to.
#include <cstdio>
#include <map>
#include <string>

#include "base/Exception.h"
#include "ui/canvas/ImageList.h"
#include "ui/frame/MarkupGifFrames.h"
#include "ui/frame/MarkupPicture.h"

namespace brenvik {

constexpr TColor kPictureColor = 0x123456;
constexpr TColor kListImageColor = 0x654321;

class FakeDecodedPicture : public DecodedPicture {
public:
    FakeDecodedPicture(int width, int height) : width_(width), height_(height) {}
    int HimetricWidth() const override { return (width_ * 2540 + 95) / 96; }
    int HimetricHeight() const override { return (height_ * 2540 + 95) / 96; }
    void Render(Canvas& canvas, const TRect& rect) override {
        canvas.SetBrushColor(kPictureColor);
        canvas.Rectangle(rect);
    }

private:
    int width_, height_;
};

class FakePictureLoader : public PictureLoader {
public:
    std::unique_ptr<DecodedPicture> Decode(std::span<const std::uint8_t> bytes) override {
        ++Decodes;
        LastBytes.assign(bytes.begin(), bytes.end());
        std::string text(bytes.begin(), bytes.end());
        int width = 0, height = 0;
        if (std::sscanf(text.c_str(), "IMG:%dx%d", &width, &height) == 2)
            return std::make_unique<FakeDecodedPicture>(width, height);
        if (IsGifData(bytes)) {
            auto starts = FindGifFrameStarts(bytes);
            if (!starts.empty() && starts[0] + 16 < bytes.size())
                return std::make_unique<FakeDecodedPicture>(bytes[starts[0] + 13], bytes[starts[0] + 15]);
        }
        throw Exception("Could not load image. Invalid format");
    }
    bool ReadResource(const std::string& name, std::vector<std::uint8_t>& bytes) override {
        auto found = Resources.find(name);
        if (found == Resources.end()) return false;
        bytes.assign(found->second.begin(), found->second.end());
        return true;
    }

    std::map<std::string, std::string> Resources;
    std::vector<std::uint8_t> LastBytes;
    int Decodes = 0;
};

class FakeImageList : public ImageList {
public:
    int Count() const override { return 3; }
    TSize ImageSize() const override { return {16, 20}; }
    void Draw(Canvas& canvas, int index, int x, int y) override {
        canvas.SetBrushColor(kListImageColor + static_cast<TColor>(index));
        canvas.Rectangle({x, y, x + 16, y + 20});
    }
    void Change() { NotifyChanged(); }
};

inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace brenvik
