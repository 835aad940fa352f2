// The person at the screen: the system's own timers, dialogs, message boxes
// and pop-up menus, and the end of the process.
#include "platform/win32/win32_internal.h"

namespace platform::win32 {

std::wstring FileDialogFilter(const Text& filter) {
    // Split the wide form: '|' can be the second byte of a GBK character.
    std::wstring result = Wide(filter);
    for (wchar_t& c : result) {
        if (c == L'|') c = L'\0';
    }
    result.append(2, L'\0');
    return result;
}

namespace {

class Real final : public Person {
  public:
    void ArmTimer(HWND owner, UINT_PTR id, int milliseconds) override {
        if (milliseconds > 0) {
            SetTimer(owner, id, static_cast<UINT>(milliseconds), nullptr);
        } else {
            KillTimer(owner, id);
        }
    }

    std::optional<ui::Colour> ChooseColour(HWND owner, ui::Colour current) override {
        static COLORREF custom[16] = {};
        CHOOSECOLORW choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = owner;
        choose.rgbResult = current;
        choose.lpCustColors = custom;
        choose.Flags = CC_RGBINIT | CC_FULLOPEN;
        if (!ChooseColorW(&choose)) return std::nullopt;
        return static_cast<ui::Colour>(choose.rgbResult);
    }

    std::optional<Text> ChooseFile(HWND owner, const ui::FileDialogRequest& request) override {
        const std::wstring filter = FileDialogFilter(request.filter);
        const std::wstring title = Wide(request.title);
        const std::wstring extension = Wide(request.defaultExtension);
        const std::wstring folder = Wide(request.initialFolder);
        std::wstring path = Wide(request.initialPath);
        path.resize(std::max<std::size_t>(path.size() + 1, 32768), L'\0');

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = path.data();
        ofn.nMaxFile = static_cast<DWORD>(path.size());
        ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
        ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
        BOOL chosen = FALSE;
        if (request.save) {
            ofn.Flags |= OFN_OVERWRITEPROMPT;
            chosen = GetSaveFileNameW(&ofn);
        } else {
            ofn.Flags |= OFN_FILEMUSTEXIST;
            chosen = GetOpenFileNameW(&ofn);
        }
        if (!chosen) return std::nullopt;
        return FromWide(path.c_str());
    }

    // The person uses the window; the loop runs until they close it.
    void ModalLoopStarting(Win32Window&) override {}
    void InModalLoop(Win32Window&) override {}

    void AnswerMessageBox(HWND owner, const Text&, const std::wstring& text,
                          const std::wstring& caption, UINT style) override {
        MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    }

    void PopUpOpening(HWND window, const Text&) override {
        // Without this the menu would not close when clicking elsewhere.
        SetForegroundWindow(window);
    }

    void EndProcess(int exitCode) override { ::ExitProcess(static_cast<UINT>(exitCode)); }
};

}  // namespace

std::unique_ptr<Person> RealPerson() {
    return std::make_unique<Real>();
}

}  // namespace platform::win32
