#pragma once
#include <memory>

#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TThread.h"

namespace brenvik {

// Fades a dialog in: opacity 10, 20 … 250, then 255 and per-window opacity
// off. Every change is made on the interface thread; the thread deletes
// itself at the end. A dialog destroyed meanwhile is simply no longer touched.
class TThreadAlphaBlend : public TThread {
public:
    static constexpr int kStep = 10;
    static constexpr int kOpaque = 255;

    // Starts at once; the caller keeps no reference.
    explicit TThreadAlphaBlend(std::shared_ptr<TForm*> dialog);

protected:
    void Execute() override;

private:
    void StepAlpha();
    std::shared_ptr<TForm*> dialog_;
    int opacity_ = 0;
};

}  // namespace brenvik
