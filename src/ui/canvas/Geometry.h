#pragma once

namespace brenvik {

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    // Strictly inside: the edges themselves do not count.
    bool ContainsStrictly(TPoint p) const { return p.X > Left && p.X < Right && p.Y > Top && p.Y < Bottom; }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    TRect Inflated(int by) const { return {Left - by, Top - by, Right + by, Bottom + by}; }
    bool operator==(const TRect&) const = default;
};

}  // namespace brenvik
