#pragma once
#include <memory>

#include "app/ImportSession.h"
#include "serial/SerialPort32.h"
#include "ui/frame/TFormA.h"

namespace brenvik {

class TTrayIcon;
class TPopupMenu;

// The program's only window: port, import options and code length, the
// Import command, a tray icon with its popup menu. It owns the serial port
// for its whole life and keeps the settings in the registry.
class TFormMain4D643DD6BD8E447C9291EEDF0A10BE65 final : public TFormA, public ImportHost {
public:
    explicit TFormMain4D643DD6BD8E447C9291EEDF0A10BE65(TComponent* owner);
    ~TFormMain4D643DD6BD8E447C9291EEDF0A10BE65() override;

    TTrayIcon& TrayIcon() { return *trayIcon_; }

    // What the Import command reads and does while it runs.
    std::string PortDisplayName() override;
    bool RefreshOption() override;
    bool CutOption() override;
    bool IgnoreOption() override;
    int CodeLength() override;
    void ShowInformation(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void ProcessMessages() override;
    void ImportRunningChanged(bool running) override;
    std::unique_ptr<JournalFile> OpenJournal() override;
    void ReportJournalFailure(const std::string& message) override;

private:
    void FormCreate(TObject* sender);
    void FormDestroy(TObject* sender);
    void BtnCloseClick(TObject* sender);
    void BtnCancelClick(TObject* sender);
    void pmOpenClick(TObject* sender);
    void pmCloseClick(TObject* sender);
    void TrayIcon1DblClick(TObject* sender);
    void deCutChange(TObject* sender);
    void ImageClassClick(TObject* sender);
    void CreateTrayAndMenu();
    template <typename T>
    T& Control(const char* name);

    std::unique_ptr<RegistryReader> machineRegistry_;
    std::unique_ptr<TSerialPort32> port_;
    std::unique_ptr<ImportSession> import_;
    TPopupMenu* popupMenu_ = nullptr;
    TTrayIcon* trayIcon_ = nullptr;
};

}  // namespace brenvik
