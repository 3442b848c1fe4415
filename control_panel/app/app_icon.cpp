#include "control_panel/app/app_icon.h"

#include <wx/icon.h>
#ifndef __WXMSW__
#include <wx/image.h>
#include <wx/mstream.h>

#include "platform/resources.h"
#endif

namespace velmora {

void setApplicationIcon(wxTopLevelWindow& frame) {
#ifdef __WXMSW__
  // A Windows program carries its icon as an icon resource, which Explorer shows too.
  const wxIcon icon("APPICON");
  if (icon.IsOk()) frame.SetIcon(icon);
#else
  const auto resource = platform::findResource("ICON", "APPICON");
  if (!resource) return;
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryInputStream stream(resource->data(), resource->size());
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  if (!image.IsOk()) return;
  wxIcon icon;
  icon.CopyFromBitmap(wxBitmap(image));
  frame.SetIcon(icon);
#endif
}

}  // namespace velmora
