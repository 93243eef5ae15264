#pragma once
#include "ui/frame/MarkupPicture.h"

namespace brenvik {

// Decodes pictures with the system's OLE picture loader (bitmap, icon,
// metafile, JPEG, GIF) and reads the program's raw-data resources. COM is
// initialised on the creating thread for the loader's life.
class OlePictureLoader : public PictureLoader {
public:
    OlePictureLoader();
    ~OlePictureLoader() override;

    std::unique_ptr<DecodedPicture> Decode(std::span<const std::uint8_t> bytes) override;
    bool ReadResource(const std::string& name, std::vector<std::uint8_t>& bytes) override;

private:
    bool comStarted_;
};

}  // namespace brenvik
