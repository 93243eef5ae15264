#pragma once
#include <windows.h>

#include <memory>

#include "app/ImportSession.h"
#include "serial/SerialPort32.h"

namespace brenvik {

// The program's window: the port pick list, the import options, the code
// length and the Import button. It owns the serial port for its whole life.
class HostWindow final : public ImportHost {
public:
    static constexpr wchar_t kClassName[] = L"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65";

    explicit HostWindow(HINSTANCE instance);
    ~HostWindow() override;
    HWND Handle() const { return window_; }
    void Show(int showCommand);

    std::string PortDisplayName() override;
    bool RefreshOption() override;
    bool CutOption() override;
    bool IgnoreOption() override;
    int CodeLength() override;
    void ShowInformation(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void ProcessMessages() override;
    void ImportRunningChanged(bool running) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void FillPortList();
    void LoadSettings();
    void SaveSettings();
    void BtnCloseClick();
    void deCutChange();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND edtComPort_ = nullptr, deRefresh_ = nullptr, deCut_ = nullptr, deIgnore_ = nullptr;
    HWND deCodeLen_ = nullptr, codeLenSpin_ = nullptr, label2_ = nullptr, btnClose_ = nullptr;
    bool closeRequested_ = false;
    std::unique_ptr<RegistryReader> machineRegistry_;
    std::unique_ptr<TSerialPort32> port_;
    std::unique_ptr<ImportSession> import_;
};

}  // namespace brenvik
