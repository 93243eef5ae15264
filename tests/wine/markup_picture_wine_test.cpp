// Markup pictures decoded by the system's OLE picture loader and drawn into
// a memory bitmap.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "base/Exception.h"
#include "markup_bitmap.h"
#include "platform/PictureOleLoader.h"
#include "platform/ShellSystemIcons.h"
#include "ui/frame/MarkupPictureCache.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupRenderer.h"

namespace brenvik {
namespace {

struct Frame {
    int X, Y, Width, Height;
    TColor Color;
};

// LZW codes of 2-bit pixels, all of colour 1: a clear code after every two
// pixels keeps the codes 3 bits wide.
std::vector<std::uint8_t> SolidImageData(int pixels) {
    std::vector<int> codes{4};
    for (int i = 0; i < pixels; ++i) {
        codes.push_back(1);
        if (i % 2 == 1) codes.push_back(4);
    }
    codes.push_back(5);
    std::vector<std::uint8_t> packed;
    unsigned bits = 0, count = 0;
    for (int code : codes) {
        bits |= static_cast<unsigned>(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count) packed.push_back(static_cast<std::uint8_t>(bits));
    std::vector<std::uint8_t> data{2};
    for (size_t at = 0; at < packed.size(); at += 255) {
        size_t size = std::min<size_t>(255, packed.size() - at);
        data.push_back(static_cast<std::uint8_t>(size));
        data.insert(data.end(), packed.begin() + static_cast<long>(at), packed.begin() + static_cast<long>(at + size));
    }
    data.push_back(0);
    return data;
}

void Word(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// An animation whose frames are solid rectangles, each with its own palette.
std::vector<std::uint8_t> Animation(int width, int height, std::initializer_list<Frame> frames) {
    std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a'};
    Word(gif, width);
    Word(gif, height);
    gif.insert(gif.end(), {0x00, 0, 0});  // no global palette
    for (const Frame& frame : frames) {
        gif.insert(gif.end(), {0x21, 0xF9, 0x04, 0x00, 10, 0, 0, 0});
        gif.push_back(0x2C);
        Word(gif, frame.X);
        Word(gif, frame.Y);
        Word(gif, frame.Width);
        Word(gif, frame.Height);
        gif.push_back(0x81);  // a local palette of 4 entries
        for (TColor color : {clWhite, frame.Color, clBlack, clBlack})
            gif.insert(gif.end(), {static_cast<std::uint8_t>(RedOf(color)), static_cast<std::uint8_t>(GreenOf(color)),
                                   static_cast<std::uint8_t>(BlueOf(color))});
        auto data = SolidImageData(frame.Width * frame.Height);
        gif.insert(gif.end(), data.begin(), data.end());
    }
    gif.push_back(';');
    return gif;
}

// A 24-bit bottom-up bitmap file of one colour.
std::vector<std::uint8_t> BitmapFile(int width, int height, TColor color) {
    int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> file{'B', 'M'};
    auto dword = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    dword(static_cast<std::uint32_t>(54 + stride * height));
    dword(0);
    dword(54);
    dword(40);
    dword(static_cast<std::uint32_t>(width));
    dword(static_cast<std::uint32_t>(height));
    file.insert(file.end(), {1, 0, 24, 0});
    for (int i = 0; i < 6; ++i) dword(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            file.insert(file.end(), {static_cast<std::uint8_t>(BlueOf(color)), static_cast<std::uint8_t>(GreenOf(color)),
                                     static_cast<std::uint8_t>(RedOf(color))});
        file.resize(file.size() + static_cast<size_t>(stride - width * 3));
    }
    return file;
}

class MarkupPictureWine : public ::testing::Test {
protected:
    OlePictureLoader loader;
};

TEST_F(MarkupPictureWine, SecondFrameDrawnAtItsOffset) {
    TPictureStore store(loader);
    auto& item = store.Add();
    item.Name = "anim";
    item.Picture().LoadFromStream(
        Animation(8, 6, {{0, 0, 4, 3, clRed}, {2, 1, 4, 3, clLime}, {4, 3, 4, 3, clBlue}}));
    item.Picture().SetFrame(2);
    EXPECT_EQ(item.Picture().FrameCount(), 3);
    EXPECT_EQ(item.Picture().Width(), 8);
    EXPECT_EQ(item.Picture().Height(), 6);

    MemoryBitmap bitmap(40, 30);
    bitmap.Canvas().SetBrushColor(clSilver);
    MarkupSources sources{&store, nullptr, nullptr, nullptr};
    DrawMarkup(bitmap.Canvas(), "<IMG src=\"ANIM\">", {10, 10, 40, 30}, sources, {});
    int top = 10 + 0;  // the picture is the line's only content
    EXPECT_EQ(bitmap.Pixel(10, top), clSilver);  // the animation's box, cleared
    EXPECT_EQ(bitmap.Pixel(12, top + 1), clLime);
    EXPECT_EQ(bitmap.Pixel(15, top + 3), clLime);
    EXPECT_EQ(bitmap.Pixel(16, top + 1), clSilver);
    EXPECT_EQ(bitmap.Pixel(17, top + 5), clSilver);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_NE(bitmap.Pixel(x, y), clRed) << x << "," << y;
}

TEST_F(MarkupPictureWine, NonImageDataRaisesFromAStreamAndEmptiesFromAFile) {
    TMarkupPicture picture(loader);
    std::vector<std::uint8_t> junk{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    try {
        picture.LoadFromStream(junk);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Could not load image. Invalid format");
    }
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    std::string file = std::string(path) + "markup_picture_wine.bin";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(junk.data()), static_cast<long>(junk.size()));
    picture.LoadFromFile(file);
    EXPECT_TRUE(picture.Empty());

    auto bitmapFile = BitmapFile(5, 4, clRed);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bitmapFile.data()), static_cast<long>(bitmapFile.size()));
    TMarkupPictureCache cache(loader);
    TMarkupPicture& fromAddress = cache.AddPicture();
    fromAddress.LoadFromAddress("FILE://" + file);
    EXPECT_FALSE(fromAddress.Empty());
    EXPECT_EQ(fromAddress.Width(), 5);
    EXPECT_EQ(fromAddress.Height(), 4);
    std::remove(file.c_str());
}

TEST_F(MarkupPictureWine, BitmapsDrawAtNaturalSizeOrStretched) {
    TMarkupPicture picture(loader);
    picture.LoadFromStream(BitmapFile(5, 4, clRed));
    MemoryBitmap bitmap(40, 30);
    picture.Draw(bitmap.Canvas(), {2, 2, 30, 30});
    EXPECT_EQ(bitmap.Pixel(6, 5), clRed);
    EXPECT_EQ(bitmap.Pixel(7, 5), clWhite);
    picture.Stretch = true;
    picture.Draw(bitmap.Canvas(), {10, 10, 30, 30});
    EXPECT_EQ(bitmap.Pixel(29, 29), clRed);
}

TEST_F(MarkupPictureWine, BodyBackgroundTilesTheWholeRectangle) {
    TPictureStore store(loader);
    TPictureStoreItem& tile = store.Add();
    tile.Name = "Tile";
    tile.Picture().LoadFromStream(BitmapFile(7, 5, clRed));
    MemoryBitmap bitmap(40, 30);
    DrawMarkup(bitmap.Canvas(), "<BODY BGCOLOR=\"#00FF00\" BACKGROUND=\"tile\">x", {0, 0, 40, 30}, {&store}, {});
    // Tiles repeat to the rectangle's far corner, cut at its edge; the colour fill lies beneath.
    EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
    EXPECT_EQ(bitmap.Pixel(7 * 5 + 1, 5 * 5 + 2), clRed);
    EXPECT_EQ(bitmap.Pixel(39, 29), clRed);

    MemoryBitmap colourOnly(40, 30);
    DrawMarkup(colourOnly.Canvas(), "<BODY BGCOLOR=\"#00FF00\">", {0, 0, 40, 30}, {}, {});
    EXPECT_EQ(colourOnly.Pixel(39, 29), RGBColor(0, 255, 0));
}

TEST_F(MarkupPictureWine, SystemIconsTakeTheirListSizeAndDraw) {
    ShellSystemIcons icons;
    MarkupSources sources;
    sources.Icons = &icons;
    TSize small = icons.IconSize(false), large = icons.IconSize(true);
    ASSERT_GT(small.Width, 0);
    EXPECT_GT(large.Width, small.Width);
    MemoryBitmap bitmap(200, 80);
    auto drawn = DrawMarkup(bitmap.Canvas(), "<IMG SRC=\"SSYS:C:\\windows\"><IMG SRC=\"LSYS:C:\\windows\">",
                            {0, 0, 200, 80}, sources, {});
    EXPECT_EQ(drawn.MaxLineWidth, small.Width + large.Width);
    EXPECT_EQ(drawn.TextHeight, large.Height);
    // Both icons leave ink inside their own squares and nothing to their right.
    EXPECT_GT(bitmap.Ink({0, large.Height - small.Height, small.Width, large.Height}), 0);
    EXPECT_GT(bitmap.Ink({small.Width, 0, small.Width + large.Width, large.Height}), 0);
    EXPECT_EQ(bitmap.Ink({small.Width + large.Width, 0, 200, 80}), 0);
}

}  // namespace
}  // namespace brenvik
