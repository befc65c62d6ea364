// The preview panel of the Open Image dialog.
#include "app/custom_open_dialog.h"

#include "framework/graphics/dc.h"
#include "framework/text/translation.h"
#include "framework/windows/messages.h"
#include "framework/windows/window_dc.h"
#include "media/enhanced_dib.h"

// clang-format off
DEFINE_RESPONSE_TABLE1(TCustomOpenDialog, TFileOpenDialog)
  EV_MESSAGE(WM_NOTIFY, &TCustomOpenDialog::ShowPreview),
END_RESPONSE_TABLE;
// clang-format on

TCustomOpenDialog::TCustomOpenDialog(TWindow* parent, TData& data)
    : TFileOpenDialog(parent, data, IDD_PREVIEW, N_("Open Image")) {}

TResult TCustomOpenDialog::ShowPreview(TParam1, TParam2 p2) {
  const auto* header = reinterpret_cast<const NMHDR*>(p2);
  if (header == nullptr || header->code != CDN_SELCHANGE) return DefaultProcessing();
  SetCursor(nullptr, IDC_WAIT);
  char path[MAX_PATH];
  const int needed = GetFilePath(path, sizeof path);
  if (needed > 0 && needed <= MAX_PATH) {
    // A photo of many megapixels is read only as large as the panel needs, so that moving
    // through a folder of them stays quick.
    TEnhancedDib dib;
    if (dib.Load(path, PREVIEW_SIZE)) {
      TClientDC dc(*this);
      dc.SetStretchBltMode(HALFTONE);
      const int x = GetClientRect().Width() - 150;
      dc.StretchDIBits(TRect(x, 50, x + PREVIEW_SIZE, 50 + PREVIEW_SIZE),
                       TRect(0, 0, dib.Width(), dib.Height()), dib.GetBits(), *dib.GetInfo());
    }
  }
  SetCursor(nullptr, IDC_ARROW);
  return 0;
}
