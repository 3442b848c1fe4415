#include "control_panel/app/app_icon.h"

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "platform/resources.h"

namespace velmora {

void setApplicationIcon(wxTopLevelWindow& frame) {
  const auto resource = platform::findResource("ICON", "APPICON");
  if (!resource) return;
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryInputStream stream(resource->data(), resource->size());
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  if (!image.IsOk()) return;
  wxIcon icon;
  icon.CopyFromBitmap(wxBitmap(image));
  frame.SetIcon(icon);
}

}  // namespace velmora
