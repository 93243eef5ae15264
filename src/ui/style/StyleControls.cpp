#include "ui/style/StyleControls.h"

#include "ui/style/TFlatButton.h"
#include "ui/style/TFlatPanel.h"

namespace brenvik {

void RegisterStyleControls() {
    TForm::RegisterKind("TFlatButton", [](TComponent* owner) { return new TFlatButton(owner); });
    TForm::RegisterKind("TFlatPanel", [](TComponent* owner) { return new TFlatPanel(owner); });
}

}  // namespace brenvik
