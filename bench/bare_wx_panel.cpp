// bare-wx-panel: the least a wxWidgets program can do to show a panel the size of
// VelmoraControl's (704 × 394): one frame, one bitmap painted into it. bench/measure-control-panel
// measures it beside VelmoraControl in the same run, as the floor our start-up, idle CPU and
// memory are compared with. It keeps GDK from loading the OpenGL driver as VelmoraControl does
// and stamps its first paint the same way, so that both are measured alike.
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/cmdline.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kWidth = 704;
constexpr int kHeight = 394;

void stampFirstPaint() {
  static bool stamped = false;
  if (stamped) return;
  stamped = true;
  if (!wxGetEnv("VELMORA_FIRST_PAINT_STAMP", nullptr)) return;
  const auto since1970 = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  std::fprintf(stderr, "bare-wx-panel: first paint at %lld\n",
               static_cast<long long>(since1970.count()));
}

// Some pixels to show; what they are does not matter.
wxBitmap makePicture() {
  wxImage image(kWidth, kHeight, false);
  unsigned char* rgb = image.GetData();
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      *rgb++ = static_cast<unsigned char>(x * 255 / kWidth);
      *rgb++ = static_cast<unsigned char>(y * 255 / kHeight);
      *rgb++ = 96;
    }
  }
  return wxBitmap(image);
}

class BareFrame : public wxFrame {
 public:
  BareFrame()
      : wxFrame(nullptr, wxID_ANY, "bare-wx-panel", wxDefaultPosition, wxDefaultSize,
                wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
        picture_(makePicture()) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetClientSize(kWidth, kHeight);
    Bind(wxEVT_PAINT, &BareFrame::onPaint, this);
  }

 private:
  void onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.DrawBitmap(picture_, 0, 0, false);
    stampFirstPaint();
  }

  wxBitmap picture_;
};

class BareApp : public wxApp {
 public:
  BareApp() {
    if (!wxGetEnv("GDK_GL", nullptr)) wxSetEnv("GDK_GL", "disable");
  }

  // --pass-loop: also runs VelmoraControl's main-loop rhythm with nothing in it (on every idle
  // event: ask for more, sleep 15 ms), the floor of what that rhythm costs in wx.
  bool OnInit() override {
    if (!wxApp::OnInit()) return false;
    (new BareFrame)->Show();
    if (passLoop_) Bind(wxEVT_IDLE, &BareApp::onIdle, this);
    return true;
  }

  void OnInitCmdLine(wxCmdLineParser& parser) override {
    wxApp::OnInitCmdLine(parser);
    parser.AddSwitch("", "pass-loop", "also run an empty 15 ms idle pass");
  }

  bool OnCmdLineParsed(wxCmdLineParser& parser) override {
    passLoop_ = parser.Found("pass-loop");
    return wxApp::OnCmdLineParsed(parser);
  }

 private:
  void onIdle(wxIdleEvent& event) {
    event.Skip();
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    event.RequestMore();
  }

  bool passLoop_ = false;
};

}  // namespace

wxIMPLEMENT_APP(BareApp);
