#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/toolkit/TWinControl.h"

namespace brenvik {

enum class TCloseAction { caNone, caHide, caFree };
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// A top-level window built from a stored design. Handlers named in the design
// are looked up by name when they fire, so a derived form that registers a
// handler of the same name replaces the inherited one everywhere.
class TForm : public TWinControl {
public:
    // The class name names the window class and the form's stored settings;
    // it is data, as virtual calls cannot reach a derived class during
    // construction.
    explicit TForm(TComponent* owner, std::string className = "TForm");
    const std::string& ClassName() const { return className_; }
    ~TForm() override;

    // Creates the components of the design (owned by this form), applies
    // their properties and creates the windows.
    void LoadDesign(const FormDesign& design);
    // For properties naming another component of the design, which may come
    // later in it: runs once all of the design is there.
    void ResolveLater(std::function<void()> fixup);
    // Called once the most-derived constructor has finished: fires OnCreate.
    // What OnCreate raises goes to the application's handler: the form
    // stays, with whatever the handler did before it failed.
    void AfterConstruction();
    // Called before the form is deleted, while all of it still exists: fires OnDestroy.
    void BeforeDestruction();

    void RegisterHandler(const std::string& name, TNotifyEvent handler);
    // An event that calls the handler registered under name when it fires.
    TNotifyEvent HandlerNamed(const std::string& name);
    bool HasHandler(const std::string& name) const { return handlers_.count(name) > 0; }

    // OnShow runs before the window appears, so the first thing seen of it
    // is what the handler made of it. The keyboard goes to the control that
    // had it last, or else the first in tab order.
    void Show();
    void Hide();
    void Close();
    int ModalResult = mrNone;

    bool AlphaBlend() const { return alphaBlend_; }
    virtual void SetAlphaBlend(bool on);
    std::uint8_t AlphaBlendValue() const { return alphaBlendValue_; }
    virtual void SetAlphaBlendValue(std::uint8_t value);

    // For helpers that may outlive the form (a fade thread): reads null once
    // the form is gone. Touch it on the interface thread only.
    std::shared_ptr<TForm*> Link() const { return link_; }

    TNotifyEvent OnCreate, OnShow, OnHide, OnDestroy;
    std::function<void(TObject* sender, TCloseAction& action)> OnClose;

    void ApplyProperty(const DesignProperty& property, TForm& form) override;

    // Toolkit classes that designs may name.
    using Factory = std::function<TComponent*(TComponent* owner)>;
    static void RegisterKind(const std::string& kind, Factory factory);

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyLayering();
    // Keyboard focus back into the form: the control that had it, or the first.
    void RestoreFocus();
    static std::map<std::string, Factory>& Kinds();

    std::string className_;
    std::map<std::string, TNotifyEvent> handlers_;
    std::shared_ptr<TForm*> link_ = std::make_shared<TForm*>(this);
    std::vector<std::function<void()>> fixups_;
    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the form was left
    bool alphaBlend_ = false;
    std::uint8_t alphaBlendValue_ = 255;
    bool centred_ = false;
    bool dialogBorder_ = false;  // fixed size, neither minimise nor maximise box
    TSize designClientSize_;  // applied once the frame's size is known
};

}  // namespace brenvik
