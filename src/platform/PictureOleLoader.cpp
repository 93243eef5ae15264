#include "platform/PictureOleLoader.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "base/Exception.h"
#include "platform/GdiCanvas.h"

namespace brenvik {
namespace {

// {7BF80980-BF32-101A-8BBB-00AA00300CAB}
const IID kPictureInterface = {0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

class OlePicture : public DecodedPicture {
public:
    explicit OlePicture(IPicture* picture) : picture_(picture) {}
    ~OlePicture() override { picture_->Release(); }

    int HimetricWidth() const override {
        OLE_XSIZE_HIMETRIC width = 0;
        picture_->get_Width(&width);
        return width;
    }
    int HimetricHeight() const override {
        OLE_YSIZE_HIMETRIC height = 0;
        picture_->get_Height(&height);
        return height;
    }
    void Render(Canvas& canvas, const TRect& rect) override {
        auto* gdi = dynamic_cast<GdiCanvas*>(&canvas);
        if (!gdi) return;
        int width = HimetricWidth(), height = HimetricHeight();
        picture_->Render(gdi->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), 0, height, width, -height,
                         nullptr);
    }

private:
    IPicture* picture_;
};

// Frees the memory block whatever happens to the stream over it.
struct GlobalBlock {
    HGLOBAL Handle;
    ~GlobalBlock() { GlobalFree(Handle); }
};

}  // namespace

OlePictureLoader::OlePictureLoader() : comStarted_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

OlePictureLoader::~OlePictureLoader() {
    if (comStarted_) CoUninitialize();
}

std::unique_ptr<DecodedPicture> OlePictureLoader::Decode(std::span<const std::uint8_t> bytes) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!handle) throw Exception("Could not allocate memory for image");
    GlobalBlock block{handle};
    if (!bytes.empty()) {
        void* memory = GlobalLock(handle);
        if (!memory) throw Exception("Could not allocate memory for image");
        std::memcpy(memory, bytes.data(), bytes.size());
        GlobalUnlock(handle);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(handle, FALSE, &stream))) throw Exception("Could not create image stream");
    if (!stream) throw Exception("Empty image stream created");
    IPicture* picture = nullptr;
    HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, kPictureInterface,
                                    reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded)) throw Exception("Could not load image. Invalid format");
    if (!picture) throw Exception("Could not load image");
    return std::make_unique<OlePicture>(picture);
}

bool OlePictureLoader::ReadResource(const std::string& name, std::vector<std::uint8_t>& bytes) {
    HRSRC resource = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    auto* first = static_cast<const std::uint8_t*>(data);
    bytes.assign(first, first + SizeofResource(nullptr, resource));
    return true;
}

}  // namespace brenvik
