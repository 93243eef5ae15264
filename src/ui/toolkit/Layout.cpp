#include "ui/toolkit/Layout.h"

#include <algorithm>
#include <numeric>

namespace brenvik {
namespace {

// Controls of one alignment keep the order of their positions along it.
std::vector<size_t> AlignedInOrder(const std::vector<LayoutItem>& items, TAlign align) {
    std::vector<size_t> order;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].Visible && items[i].Align == align) order.push_back(i);
    bool sideways = align == TAlign::alLeft || align == TAlign::alRight;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return sideways ? items[a].Bounds.Left < items[b].Bounds.Left : items[a].Bounds.Top < items[b].Bounds.Top;
    });
    return order;
}

}  // namespace

void AlignItems(std::vector<LayoutItem>& items, const TRect& client) {
    TRect room = client;
    for (size_t i : AlignedInOrder(items, TAlign::alTop)) {
        int height = items[i].Bounds.Height();
        items[i].Bounds = {room.Left, room.Top, room.Right, room.Top + height};
        room.Top += height;
    }
    auto bottoms = AlignedInOrder(items, TAlign::alBottom);
    for (auto it = bottoms.rbegin(); it != bottoms.rend(); ++it) {
        int height = items[*it].Bounds.Height();
        items[*it].Bounds = {room.Left, room.Bottom - height, room.Right, room.Bottom};
        room.Bottom -= height;
    }
    for (size_t i : AlignedInOrder(items, TAlign::alLeft)) {
        int width = items[i].Bounds.Width();
        items[i].Bounds = {room.Left, room.Top, room.Left + width, room.Bottom};
        room.Left += width;
    }
    auto rights = AlignedInOrder(items, TAlign::alRight);
    for (auto it = rights.rbegin(); it != rights.rend(); ++it) {
        int width = items[*it].Bounds.Width();
        items[*it].Bounds = {room.Right - width, room.Top, room.Right, room.Bottom};
        room.Right -= width;
    }
    for (size_t i : AlignedInOrder(items, TAlign::alClient)) items[i].Bounds = room;
}

void AnchorItems(std::vector<LayoutItem>& items, TSize oldClient, TSize newClient) {
    int dx = newClient.Width - oldClient.Width, dy = newClient.Height - oldClient.Height;
    for (auto& item : items) {
        if (item.Align != TAlign::alNone) continue;
        TRect& r = item.Bounds;
        if (item.Anchors & akRight) {
            if (!(item.Anchors & akLeft)) r.Left += dx;
            r.Right += dx;
        }
        if (item.Anchors & akBottom) {
            if (!(item.Anchors & akTop)) r.Top += dy;
            r.Bottom += dy;
        }
    }
}

}  // namespace brenvik
