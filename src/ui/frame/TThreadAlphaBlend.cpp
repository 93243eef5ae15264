#include "ui/frame/TThreadAlphaBlend.h"

namespace brenvik {

TThreadAlphaBlend::TThreadAlphaBlend(std::shared_ptr<TForm*> dialog) : TThread(true), dialog_(std::move(dialog)) {
    FreeOnTerminate = true;
    Start();
}

void TThreadAlphaBlend::Execute() {
    while (opacity_ < kOpaque) {
        opacity_ += kStep;
        Synchronize([this] { StepAlpha(); });
        Sleep(1);
    }
}

void TThreadAlphaBlend::StepAlpha() {
    if (opacity_ > kOpaque) opacity_ = kOpaque;
    TForm* dialog = dialog_ ? *dialog_ : nullptr;
    if (!dialog) return;
    try {
        dialog->SetAlphaBlendValue(static_cast<std::uint8_t>(opacity_ & 0xFF));
        if (opacity_ == kOpaque) dialog->SetAlphaBlend(false);
    } catch (...) {
        // A failed step leaves the dialog as it was; the next cycle tries again.
    }
}

}  // namespace brenvik
