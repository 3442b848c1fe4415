#include "control_panel/app/wx_clipboard.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace velmora {

bool WxClipboard::open() {
  return wxTheClipboard->Open();
}

void WxClipboard::empty() {
  wxTheClipboard->Clear();
}

bool WxClipboard::isFormatAvailable(const std::string& format) {
  return wxTheClipboard->IsSupported(wxDataFormat(wxString::FromUTF8(format)));
}

bool WxClipboard::setData(const std::string& format, const void* data, size_t bytes) {
  auto* object = new wxCustomDataObject(wxDataFormat(wxString::FromUTF8(format)));
  object->SetData(bytes, data);
  return wxTheClipboard->SetData(object);  // the clipboard owns it now
}

bool WxClipboard::fetch(const std::string& format) {
  wxCustomDataObject object(wxDataFormat(wxString::FromUTF8(format)));
  if (!wxTheClipboard->GetData(object)) return false;
  const auto* bytes = static_cast<const unsigned char*>(object.GetData());
  read_[format].assign(bytes, bytes + object.GetSize());
  return true;
}

size_t WxClipboard::dataSize(const std::string& format) {
  return fetch(format) ? read_[format].size() : 0;
}

const void* WxClipboard::data(const std::string& format) {
  return fetch(format) ? read_[format].data() : nullptr;
}

int WxClipboard::close() {
  wxTheClipboard->Close();
  return 1;
}

}  // namespace velmora
