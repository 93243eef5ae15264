#pragma once
#include <string>

#include "ui/toolkit/TForm.h"

namespace brenvik {

// The program's dialog frame: a title band, a hint panel showing the long
// hint of the control under the mouse, a button bar with the show-hints
// check box (remembered per dialog class) and Help, and a fade-in on show.
// A derived dialog passes its design changes to the constructor and may
// register handlers of the same names to replace the frame's.
class TFormA : public TForm {
public:
    TFormA(TComponent* owner, const FormDesign& changes, std::string className = "TFormA");

    static const FormDesign& Design();

    virtual std::string GetHelpTopic() { return {}; }
    virtual std::string GetControlDescriptions();
    virtual void LoadSettings();
    virtual void SaveSettings();

    // The application's hint changed: show its long part in the hint panel.
    void ShowApplicationHint(TObject* sender);

protected:
    void FormShow(TObject* sender);
    void FormHide(TObject* sender);
    void FormClose(TObject* sender);
    void cbShowHintsChange(TObject* sender);
    void BtnHelpClick(TObject* sender);

private:
    TControl& Part(const char* name);
    void SetHintText(const std::string& text);
    TNotifyEvent savedHintHandler_;
};

}  // namespace brenvik
