#include "platform/win32/windows_api.h"

#include <dbt.h>

#include <thread>

#include "platform/win32/vhpd_driver.h"

namespace platform::vhpd::win32 {

namespace {

constexpr char kWindowClass[] = "VelmoraBusWatch";

LRESULT CALLBACK watchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE &&
      (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
    auto* onChange =
        reinterpret_cast<std::function<void()>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (onChange != nullptr && *onChange) (*onChange)();
    return TRUE;
  }
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window lives on its own thread with its own message loop, so notifications arrive
// whatever the subscriber's thread does; they run there, as the interface allows.
class InterfaceWatch final : public Subscription {
 public:
  InterfaceWatch(const Guid& guid, std::function<void()> onChange)
      : onChange_(std::move(onChange)) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, guid, ready] { run(guid, ready); });
    if (ready != nullptr) {
      WaitForSingleObject(ready, INFINITE);
      CloseHandle(ready);
    }
  }

  ~InterfaceWatch() override {
    if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }

 private:
  void run(const Guid& guid, HANDLE ready) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = watchProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when a second watch registers it again
    HWND window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    HDEVNOTIFY notification = nullptr;
    if (window != nullptr) {
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&onChange_));
      DEV_BROADCAST_DEVICEINTERFACE_A filter{};
      filter.dbcc_size = sizeof filter;
      filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
      filter.dbcc_classguid = toWindowsGuid(guid);
      notification = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    window_ = window;
    if (ready != nullptr) SetEvent(ready);
    if (window == nullptr) return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (notification != nullptr) UnregisterDeviceNotification(notification);
  }

  std::function<void()> onChange_;
  HWND window_ = nullptr;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<Subscription> watchInterfaces(const Guid& guid, std::function<void()> onChange) {
  return std::make_unique<InterfaceWatch>(guid, std::move(onChange));
}

}  // namespace platform::vhpd::win32
