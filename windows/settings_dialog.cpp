// The settings dialog (resource 2003): five scroll bars, each bound to one
// entry of the record it edits, stored whole on OK; and two drop-down lists
// for the display settings, stored beside the record on OK.
#include "windows/windows_host.h"
#include "platform/services.h"
#include "settings/picture_sizes.h"

namespace {

// The record the dialog shows: the stored one, read when the dialog opens.
SettingsRecord dialogRecord = kDefaultSettings;

constexpr int kLineLeft = 0, kLineRight = 1, kPageLeft = 2, kPageRight = 3, kThumbPosition = 4, kThumbTrack = 5,
              kLeft = 6, kRight = 7, kEndScroll = 8;

// Setting i of the scroll bar with this control id, or null for any other control.
Setting* SettingOfScrollBar(int controlId) {
    int index = controlId - kFirstSettingScrollBar;
    if (index < 0 || index >= kScrollBarCount) return nullptr;
    return &dialogRecord.entries[index];
}

void ShowSettingsOnScrollBars(HWND dialog) {
    for (int i = 0; i < kScrollBarCount; ++i) {
        HWND scrollBar = GetDlgItem(dialog, kFirstSettingScrollBar + i);
        const Setting& setting = dialogRecord.entries[i];
        SetScrollRange(scrollBar, SB_CTL, setting.min, setting.max, FALSE);
        SetScrollPos(scrollBar, SB_CTL, setting.value, TRUE);
    }
}

// Item i of each list is the setting numbered i; the picture sizes' labels
// are their table's (Windows' own words, "Fit" and "Fill").
constexpr const char* kMonitorsItems[kMonitorChoiceCount] = {"Every monitor", "Primary only"};

void AddItem(HWND list, const char* item) { SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)); }

void ShowDisplaySettings(HWND dialog) {
    const DisplaySettings stored = ReadDisplaySettings();
    HWND pictureSizes = GetDlgItem(dialog, kPictureSizeList), monitors = GetDlgItem(dialog, kMonitorsList);
    for (const PictureSizeEntry& entry : kPictureSizes) AddItem(pictureSizes, entry.label);
    for (const char* item : kMonitorsItems) AddItem(monitors, item);
    SendMessageA(pictureSizes, CB_SETCURSEL, static_cast<WPARAM>(stored.pictureSize), 0);
    SendMessageA(monitors, CB_SETCURSEL, static_cast<WPARAM>(stored.monitors), 0);
}

// A list without a selection (CB_ERR) reads as an unknown number: the default.
void StoreDisplaySettings(HWND dialog) {
    const LRESULT pictureSize = SendDlgItemMessageA(dialog, kPictureSizeList, CB_GETCURSEL, 0, 0);
    const LRESULT monitors = SendDlgItemMessageA(dialog, kMonitorsList, CB_GETCURSEL, 0, 0);
    WriteDisplaySettings(DisplaySettingsFromNumbers(pictureSize, monitors));
}

// The drop-down lists come before OK in the tab order, and the first tab
// stop would take the keyboard, where the arrow keys change the picture size
// at once. OK takes it instead, told to the dialog manager so that it also
// becomes the default button; 0 keeps the manager from moving it again.
INT_PTR FocusOnOk(HWND dialog) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
    return 0;
}

INT_PTR OnHorizontalScroll(WPARAM wParam, LPARAM lParam) {
    HWND scrollBar = reinterpret_cast<HWND>(lParam);
    Setting* setting = SettingOfScrollBar(static_cast<int>(GetWindowLongA(scrollBar, GWL_ID)));
    if (setting == nullptr) return 0;  // not one of ours: nothing to change
    if (!ApplyScrollRequest(setting, LOWORD(wParam), HIWORD(wParam))) return 1;
    SetScrollPos(scrollBar, SB_CTL, setting->value, TRUE);
    return 0;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
        WriteSettings(dialogRecord);
        StoreDisplaySettings(dialog);
        EndDialog(dialog, 1);
        return 1;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return 1;
    default:
        return 0;
    }
}

}  // namespace

int ApplyScrollRequest(Setting* setting, int requestCode, uint32_t thumbPosition) {
    // 64-bit arithmetic: a stored value at the limit of its type steps past it
    // and is then clamped, never wrapped to the other end.
    int64_t value = setting->value;
    switch (requestCode) {
    case kLineLeft:
    case kPageLeft:  // the trough steps like an arrow
        value -= 1;
        break;
    case kLineRight:
    case kPageRight:
        value += 1;
        break;
    case kThumbPosition:
        value = thumbPosition & 0xFFFFu;
        break;
    case kThumbTrack:
    case kEndScroll:
        return 0;
    case kLeft:
        value = setting->min;
        break;
    case kRight:
        value = setting->max;
        break;
    default:
        break;
    }
    // min first, then max: an entry whose min exceeds its max ends at max.
    if (value <= setting->min) value = setting->min;
    if (value >= setting->max) value = setting->max;
    setting->value = static_cast<int32_t>(value);
    return 1;
}

int PrepareConfigureDialog(HINSTANCE) { return 1; }

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        ReadSettings(&dialogRecord);
        ShowSettingsOnScrollBars(dialog);
        ShowDisplaySettings(dialog);
        return FocusOnOk(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_HSCROLL:
        return OnHorizontalScroll(wParam, lParam);
    default:
        return 0;
    }
}
