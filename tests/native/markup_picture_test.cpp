// Markup pictures: the GIF frame scanner, loading rules, the cache and the
// picture store, with the fake decoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "FakeCanvas.h"
#include "markup_test_pictures.h"
#include "ui/frame/MarkupPictureCache.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupRenderer.h"

namespace brenvik {
namespace {

struct FramePlace {
    int X, Y, Width, Height;
};

// An 8 x 6 animation; each frame a graphic-control extension, an image
// descriptor and a tiny image.
std::vector<std::uint8_t> Gif(std::initializer_list<FramePlace> frames) {
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 8, 0, 6, 0, 0x80, 0, 0, 0, 0, 0, 255, 0, 0};
    for (const FramePlace& f : frames) {
        gif.insert(gif.end(), {0x21, 0xF9, 0x04, 0, 10, 0, 0, 0});
        gif.insert(gif.end(), {0x2C, static_cast<std::uint8_t>(f.X), 0, static_cast<std::uint8_t>(f.Y), 0,
                               static_cast<std::uint8_t>(f.Width), 0, static_cast<std::uint8_t>(f.Height), 0, 0});
        gif.insert(gif.end(), {2, 2, 0x4C, 0x01, 0});
    }
    gif.push_back(';');
    return gif;
}

const auto kThreeFrames = Gif({{0, 0, 4, 3}, {2, 1, 4, 3}, {4, 3, 4, 3}});

TEST(MarkupGifFrames, FindsFrameStartsAndKeepsOnlyTheChosenFrame) {
    EXPECT_EQ(FindGifFrameStarts(kThreeFrames), (std::vector<std::size_t>{19, 42, 65}));
    auto second = SelectGifFrame(kThreeFrames, 2);
    EXPECT_EQ(second.ScreenWidth, 8);
    EXPECT_EQ(second.ScreenHeight, 6);
    EXPECT_EQ(second.FrameX, 2);
    EXPECT_EQ(second.FrameY, 1);
    EXPECT_EQ(second.FrameWidth, 4);
    std::vector<std::uint8_t> expected(kThreeFrames.begin(), kThreeFrames.begin() + 19);
    expected.insert(expected.end(), kThreeFrames.begin() + 42, kThreeFrames.end());
    EXPECT_EQ(second.Bytes, expected);
    EXPECT_EQ(SelectGifFrame(kThreeFrames, 7).FrameX, 4);  // held within the frames present
    EXPECT_EQ(SelectGifFrame(kThreeFrames, 0).FrameX, 0);

    auto cut = std::vector<std::uint8_t>(kThreeFrames.begin(), kThreeFrames.begin() + 65 + 9);
    EXPECT_EQ(FindGifFrameStarts(cut).size(), 2u);  // the last start lacks 9 bytes after it
    cut.push_back(0);
    EXPECT_EQ(FindGifFrameStarts(cut).size(), 3u);
    auto notGif = kThreeFrames;
    notGif[3] = '7';
    EXPECT_FALSE(IsGifData(notGif));
    EXPECT_EQ(SelectGifFrame(notGif, 2).Bytes, notGif);
    EXPECT_EQ(SelectGifFrame(notGif, 2).ScreenWidth, 0);
}

TEST(MarkupPicture, GifFrameDecodesAtItsOffsetWithTheAnimationSize) {
    FakePictureLoader loader;
    TMarkupPicture picture(loader);
    int changes = 0, frameChanges = 0;
    picture.OnChange = [&](TMarkupPicture&) { ++changes; };
    picture.OnFrameChange = [&](TMarkupPicture&) { ++frameChanges; };
    picture.LoadFromStream(kThreeFrames);
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(picture.Width(), 8);
    EXPECT_EQ(picture.Height(), 6);
    EXPECT_EQ(picture.FrameOffset(), (TPoint{0, 0}));
    picture.SetFrame(2);
    EXPECT_EQ(picture.FrameOffset(), (TPoint{2, 1}));
    EXPECT_EQ(loader.LastBytes, SelectGifFrame(kThreeFrames, 2).Bytes);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(picture.SaveToStream(), kThreeFrames);

    FakeCanvas canvas;
    canvas.SetBrushColor(clWhite);
    TPictureStore store(loader);
    store.Add().Name = "anim";
    store.Items(0).SetPicture(picture);
    store.Items(0).Picture().SetFrame(2);
    MarkupSources sources{&store, nullptr, nullptr, nullptr};
    auto result = DrawMarkup(canvas, "<IMG src=\"anim\">", {10, 0, 200, 100}, sources, {});
    EXPECT_EQ(result.MaxLineWidth, 8);
    ASSERT_EQ(canvas.Fills.size(), 2u);
    EXPECT_EQ(canvas.Fills[0].Color, clWhite);  // an animation's box is cleared first
    EXPECT_EQ(canvas.Fills[0].Rect, (TRect{10, 0, 18, 6}));
    EXPECT_EQ(canvas.Fills[1].Rect, (TRect{12, 1, 16, 4}));
}

TEST(MarkupPicture, SettingTheFrameOfAnEmptyPictureOnlyStoresIt) {
    FakePictureLoader loader;
    TMarkupPicture picture(loader);
    int frameChanges = 0;
    picture.OnFrameChange = [&](TMarkupPicture&) { ++frameChanges; };
    picture.SetFrame(3);
    EXPECT_EQ(picture.Frame(), 3);
    EXPECT_EQ(loader.Decodes, 0);
    EXPECT_EQ(frameChanges, 0);
    picture.LoadFromStream(kThreeFrames);
    EXPECT_EQ(picture.FrameOffset(), (TPoint{4, 3}));
}

TEST(MarkupPicture, BadDataRaisesFromAStreamButNotFromAFile) {
    FakePictureLoader loader;
    TMarkupPicture picture(loader);
    try {
        picture.LoadFromStream(Bytes("not a picture"));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Could not load image. Invalid format");
    }
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);

    std::string path = ::testing::TempDir() + "markup_picture_test.bin";
    std::ofstream(path, std::ios::binary) << "not a picture";
    picture.LoadFromFile(path);
    EXPECT_TRUE(picture.Empty());
    std::ofstream(path, std::ios::binary) << "IMG:7x9";
    picture.LoadFromFile(path);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), 7);
    picture.LoadFromFile(path + ".missing");
    EXPECT_TRUE(picture.Empty());
    std::remove(path.c_str());

    picture.LoadFromStream(Bytes("IMG:3x4"));
    TMarkupPicture copy(loader);
    copy.Assign(&picture);
    EXPECT_EQ(copy.Height(), 4);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(MarkupPicture, AddressesLoadResourcesAndFilesAndNeverFetch) {
    FakePictureLoader loader;
    loader.Resources["LOGO"] = "IMG:5x6";
    TMarkupPictureCache cache(loader);
    TMarkupPicture& upper = cache.AddPicture();
    upper.LoadFromAddress("RES://LOGO");
    TMarkupPicture& lower = cache.AddPicture();
    lower.LoadFromAddress("res://LOGO");
    EXPECT_EQ(lower.Width(), 5);
    EXPECT_EQ(cache.FindPicture("RES://LOGO"), &upper);
    EXPECT_EQ(cache.FindPicture("res://LOGO"), &lower);
    EXPECT_EQ(cache.FindPicture("Res://LOGO"), nullptr);  // exact comparison

    TMarkupPicture& missing = cache.AddPicture();
    missing.LoadFromAddress("RES://NONE");
    EXPECT_TRUE(missing.Empty());
    EXPECT_EQ(missing.Address(), "RES://NONE");

    TMarkupPicture& remote = cache.AddPicture();
    remote.SetAsynchronous(false);
    remote.LoadFromAddress("http://example.invalid/a.gif");
    EXPECT_TRUE(remote.Empty());
    EXPECT_EQ(remote.Address(), "http://example.invalid/a.gif");
    EXPECT_EQ(remote.PendingAddress(), "http://example.invalid/a.gif");
    EXPECT_FALSE(remote.Busy());

    TMarkupPicture downloading(loader);
    downloading.LoadFromAddress("http://one");
    downloading.LoadFromAddress("http://two");  // busy: the first download stands
    EXPECT_TRUE(downloading.Busy());
    EXPECT_EQ(downloading.PendingAddress(), "http://one");
    EXPECT_EQ(downloading.Address(), "");
    EXPECT_TRUE(downloading.Empty());
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(MarkupPicture, TheRendererCachesPicturesByAddress) {
    FakePictureLoader loader;
    loader.Resources["ICON"] = "IMG:10x10";
    TMarkupPictureCache cache(loader);
    MarkupSources sources{nullptr, &cache, nullptr, nullptr};
    FakeCanvas canvas;
    const char* markup = "<IMG src=\"RES://ICON\"><IMG src=\"https://remote/x.png\">a";
    for (int pass = 0; pass < 2; ++pass) DrawMarkup(canvas, markup, {0, 0, 100, 100}, sources, {});
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(loader.Decodes, 1);
    EXPECT_FALSE(cache.Items(1).Asynchronous());
    EXPECT_TRUE(cache.Items(1).Empty());
    EXPECT_EQ(canvas.Find("a")->Rect.Left, 10);  // the remote picture takes no room
}

TEST(PictureStore, FindsByNameWithoutCaseAndCopiesItems) {
    FakePictureLoader loader;
    TPictureStore store(loader);
    auto& first = store.Add();
    first.Name = "\xa3\xf3" "dka";  // Łódka
    first.Tag = 7;
    first.Picture().LoadFromStream(Bytes("IMG:1x2"));
    store.Add().Name = "\xb3\xf3" "dka";
    EXPECT_EQ(store.FindPicture("\xb3\xd3" "DKA"), &first.Picture());
    EXPECT_EQ(store.FindPicture("boat"), nullptr);

    auto& copy = store.Add();
    copy.Assign(first);
    EXPECT_EQ(copy.Name, first.Name);
    EXPECT_EQ(copy.Tag, 7);
    EXPECT_EQ(copy.Picture().Height(), 2);
    EXPECT_NE(&copy.Picture(), &first.Picture());
}

}  // namespace
}  // namespace brenvik
