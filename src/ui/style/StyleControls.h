#pragma once

namespace brenvik {

// Makes the flat button and the flat panel nameable in stored designs
// ("TFlatButton", "TFlatPanel").
void RegisterStyleControls();

}  // namespace brenvik
