#include "ui/frame/MarkupPicture.h"

#include <fstream>
#include <iterator>

#include "base/Exception.h"
#include "base/Text.h"
#include "ui/frame/MarkupGifFrames.h"

namespace brenvik {
namespace {

constexpr int kHimetricPerInch = 2540;

int HimetricToPixels(int himetric, int pixelsPerInch) {
    return static_cast<int>((static_cast<long long>(himetric) * pixelsPerInch + kHimetricPerInch / 2) / kHimetricPerInch);
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(std::string_view(text).substr(0, prefix.size()), prefix);
}

}  // namespace

void TMarkupPicture::Load(std::span<const std::uint8_t> bytes) {
    data_.assign(bytes.begin(), bytes.end());
    empty_ = false;
    frameCount_ = -1;
    Decode();
}

void TMarkupPicture::LoadFromStream(std::span<const std::uint8_t> bytes) {
    Load(bytes);
    Changed();
}

void TMarkupPicture::LoadFromFile(const std::string& path) {
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file) throw Exception("Cannot open " + path);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LoadFromStream(bytes);
    } catch (const std::exception&) {
        data_.clear();
        decoded_.reset();
        empty_ = true;
    }
}

void TMarkupPicture::LoadFromResource(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    if (loader_.ReadResource(name, bytes)) LoadFromStream(bytes);
}

void TMarkupPicture::LoadFromAddress(const std::string& address) {
    if (StartsWithNoCase(address, "RES://")) {
        address_ = address;
        LoadFromResource(address.substr(6));
    } else if (StartsWithNoCase(address, "FILE://")) {
        address_ = address;
        LoadFromFile(address.substr(7));
    } else if (!asynchronous_) {
        address_ = address;
        pendingAddress_ = address;
    } else if (!busy_) {
        // Remote pictures are never fetched: the download stays pending.
        pendingAddress_ = address;
        busy_ = true;
    }
}

void TMarkupPicture::Assign(const TMarkupPicture* other) {
    if (!other) {
        data_.clear();
        decoded_.reset();
        empty_ = true;
        Changed();
        return;
    }
    std::vector<std::uint8_t> bytes = other->data_;
    LoadFromStream(bytes);
}

void TMarkupPicture::Decode() {
    decoded_.reset();
    frameOffset_ = {};
    animationSize_ = {};
    if (IsGifData(data_) && FrameCount() >= 1) {
        GifFrameSelection selection = SelectGifFrame(data_, frame_);
        animationSize_ = {selection.ScreenWidth, selection.ScreenHeight};
        frameOffset_ = {selection.FrameX, selection.FrameY};
        decoded_ = loader_.Decode(selection.Bytes);
    } else {
        decoded_ = loader_.Decode(data_);
    }
}

void TMarkupPicture::Changed() {
    if (OnChange) OnChange(*this);
}

int TMarkupPicture::FrameCount() {
    if (frameCount_ < 0) frameCount_ = static_cast<int>(FindGifFrameStarts(data_).size());
    return frameCount_;
}

void TMarkupPicture::SetFrame(int frame) {
    frame_ = frame;
    if (empty_) return;
    Decode();
    if (OnFrameChange) OnFrameChange(*this);
}

int TMarkupPicture::Width() const {
    if (!decoded_) return 0;
    if (animationSize_.Width != 0) return animationSize_.Width;
    return HimetricToPixels(decoded_->HimetricWidth(), 96);
}

int TMarkupPicture::Height() const {
    if (!decoded_) return 0;
    if (animationSize_.Height != 0) return animationSize_.Height;
    return HimetricToPixels(decoded_->HimetricHeight(), 96);
}

void TMarkupPicture::Draw(Canvas& canvas, const TRect& rect) {
    if (Stretch) return DrawStretched(canvas, rect);
    if (empty_ || !decoded_) return;
    int ppi = canvas.PixelsPerInch();
    decoded_->Render(canvas, {rect.Left, rect.Top, rect.Left + HimetricToPixels(decoded_->HimetricWidth(), ppi),
                              rect.Top + HimetricToPixels(decoded_->HimetricHeight(), ppi)});
}

void TMarkupPicture::DrawStretched(Canvas& canvas, const TRect& rect) {
    if (empty_ || !decoded_) return;
    decoded_->Render(canvas, rect);
}

}  // namespace brenvik
