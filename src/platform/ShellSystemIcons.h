#pragma once
#include "ui/frame/MarkupSystemIcons.h"

namespace brenvik {

// The shell's system image lists, looked up with SHGetFileInfoA.
class ShellSystemIcons : public SystemIcons {
public:
    bool IconIndexOfPath(const std::string& path, bool large, int& index) override;
    TSize IconSize(bool large) override;
    void Draw(Canvas& canvas, int index, bool large, int x, int y) override;
};

}  // namespace brenvik
