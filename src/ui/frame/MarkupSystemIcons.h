#pragma once
#include <string>

#include "ui/canvas/Canvas.h"

namespace brenvik {

// The shell's small and large system icons, for "SSYS:" and "LSYS:" pictures.
class SystemIcons {
public:
    virtual ~SystemIcons() = default;
    // The system image list index of the icon of a file or folder path.
    virtual bool IconIndexOfPath(const std::string& path, bool large, int& index) = 0;
    virtual TSize IconSize(bool large) = 0;
    virtual void Draw(Canvas& canvas, int index, bool large, int x, int y) = 0;
};

}  // namespace brenvik
