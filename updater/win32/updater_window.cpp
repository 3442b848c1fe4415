#include "updater/win32/updater_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "updater/win32/resource_ids.h"

namespace updater {

namespace {

// A notice from the worker: the text, and the event set once the user closed it. Shared, so
// that a worker that stops waiting leaves it to the dialog to release.
struct Notice {
  std::string text;
  HANDLE closed = nullptr;
  ~Notice() {
    if (closed) CloseHandle(closed);
  }
};

// ShutdownBlockReasonCreate and ...Destroy came with Windows Vista; they are looked up, as not
// every mingw-w64 declares them.
using BlockReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using BlockReasonDestroy = BOOL(WINAPI*)(HWND);

template <typename Function>
Function user32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  // Through a function type without arguments, which every function pointer converts to.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

std::wstring wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, result.data(), length);
  result.resize(static_cast<size_t>(length - 1));
  return result;
}

}  // namespace

bool UpdaterWindow::create(HINSTANCE instance, FirmwareUpdater& logic) {
  logic_ = &logic;
  window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UPDATER), nullptr, &procedure,
                               reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

INT_PTR CALLBACK UpdaterWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<UpdaterWindow*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    self->window_ = window;
    self->postTarget_ = window;
    self->initialise();
    return TRUE;
  }
  auto* self = reinterpret_cast<UpdaterWindow*>(GetWindowLongPtrA(window, DWLP_USER));
  return self ? self->handle(message, wParam, lParam) : FALSE;
}

void UpdaterWindow::initialise() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const int size : {ICON_BIG, ICON_SMALL}) {
    const int pixels = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
    const HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_UPDATER), IMAGE_ICON, pixels,
                                   pixels, LR_DEFAULTCOLOR);
    SendMessageA(window_, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
  }
  update_ = GetDlgItem(window_, IDC_UPDATE);
  exit_ = GetDlgItem(window_, IDC_EXIT);
  status_ = GetDlgItem(window_, -1);
  progress_ = GetDlgItem(window_, IDC_PROGRESS);
  warning_ = GetDlgItem(window_, IDC_WARNING);
}

INT_PTR UpdaterWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Return and Escape arrive even while their buttons are disabled.
      if (LOWORD(wParam) == IDC_UPDATE) {
        if (IsWindowEnabled(update_)) logic_->onUpdate();
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_EXIT) {
        if (IsWindowEnabled(exit_)) logic_->onExit();
        return TRUE;
      }
      return FALSE;
    case WM_QUERYENDSESSION:
      // FALSE asks Windows not to end the session now: a unit cut off while its flash is
      // written is left in its boot loader.
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, holdingSessionEnd_ ? FALSE : TRUE);
      return TRUE;
    case WM_CLOSE:
      if (logic_->mayClose()) logic_->onExit();
      return TRUE;
    case kProgressMessage:
      logic_->onProgress(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
      return TRUE;
    case kTaskMessage: {
      const std::unique_ptr<std::function<void()>> task(
          reinterpret_cast<std::function<void()>*>(lParam));
      (*task)();
      return TRUE;
    }
    case kNoticeMessage: {
      std::unique_ptr<std::shared_ptr<Notice>> notice(
          reinterpret_cast<std::shared_ptr<Notice>*>(lParam));
      showMessage((*notice)->text, "");
      SetEvent((*notice)->closed);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void UpdaterWindow::setStatusText(const std::string& text) {
  SetWindowTextA(status_, text.c_str());
}

void UpdaterWindow::enableUpdate(bool enabled) {
  EnableWindow(update_, enabled);
}

void UpdaterWindow::enableExit(bool enabled) {
  EnableWindow(exit_, enabled);
}

void UpdaterWindow::showProgressBar(uint32_t rangeMax) {
  SendMessageA(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(rangeMax));
  SendMessageA(progress_, PBM_SETPOS, 0, 0);
  ShowWindow(progress_, SW_SHOW);
}

void UpdaterWindow::setProgress(uint32_t position) {
  SendMessageA(progress_, PBM_SETPOS, position, 0);
}

void UpdaterWindow::showMessage(const std::string& text, const std::string& caption) {
  // Before the dialog is shown (the start warning) the box has no owner.
  const HWND owner = window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
  MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK);
}

bool UpdaterWindow::ask(const Question& question) {
  const UINT style = MB_YESNO | MB_ICONWARNING | (question.noIsDefault ? MB_DEFBUTTON2 : 0);
  return MessageBoxA(window_, question.text.c_str(), question.caption.c_str(), style) == IDYES;
}

std::optional<std::string> UpdaterWindow::askSaveFile(const SaveFileRequest& request) {
  char desktop[MAX_PATH] = {};
  if (request.startInDesktop) {
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
  }
  std::vector<char> path(MAX_PATH * 4, '\0');
  request.defaultName.copy(path.data(), path.size() - 1);
  // Two filters, the extension's and every file, each shown by its pattern as on Linux: a name
  // and a pattern each, the list ended by a NUL.
  std::string filter = "*." + request.defaultExtension;
  filter.push_back('\0');
  filter += "*." + request.defaultExtension;
  filter.push_back('\0');
  filter += "*.*";
  filter.push_back('\0');
  filter += "*.*";
  filter.push_back('\0');

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = desktop[0] ? desktop : nullptr;
  dialog.lpstrTitle = request.title.c_str();
  dialog.lpstrDefExt = request.defaultExtension.c_str();
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 (request.promptOverwrite ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  return std::string(path.data());
}

void UpdaterWindow::showDownloadWarning(const std::string& text) {
  SetWindowTextA(warning_, text.c_str());
  ShowWindow(warning_, text.empty() ? SW_HIDE : SW_SHOW);
  holdSessionEnd(text);
}

void UpdaterWindow::holdSessionEnd(const std::string& reason) {
  if (holdingSessionEnd_) {
    if (const auto destroy = user32Function<BlockReasonDestroy>("ShutdownBlockReasonDestroy")) {
      destroy(window_);
    }
    holdingSessionEnd_ = false;
  }
  if (reason.empty() || window_ == nullptr) return;
  holdingSessionEnd_ = true;
  if (const auto create = user32Function<BlockReasonCreate>("ShutdownBlockReasonCreate")) {
    create(window_, wide(reason).c_str());
  }
}

void UpdaterWindow::quit(int exitCode) {
  holdSessionEnd("");
  postTarget_ = nullptr;
  DestroyWindow(window_);
  window_ = nullptr;
  PostQuitMessage(exitCode);
}

void UpdaterWindow::postTask(std::function<void()> task) {
  auto* message = new std::function<void()>(std::move(task));
  const HWND target = postTarget_;
  // A task that cannot be posted is dropped, as one queued for a dialog that has gone is.
  if (target == nullptr ||
      !PostMessageA(target, kTaskMessage, 0, reinterpret_cast<LPARAM>(message))) {
    delete message;
  }
}

void UpdaterWindow::postProgress(uint32_t status, uint32_t percent) {
  if (const HWND target = postTarget_) PostMessageA(target, kProgressMessage, status, percent);
}

void UpdaterWindow::showNoticeAndWait(const std::string& text, const std::atomic<bool>& cancelled) {
  auto notice = std::make_shared<Notice>();
  notice->text = text;
  notice->closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (notice->closed == nullptr) return;
  const HWND target = postTarget_;
  auto* message = new std::shared_ptr<Notice>(notice);
  if (target == nullptr ||
      !PostMessageA(target, kNoticeMessage, 0, reinterpret_cast<LPARAM>(message))) {
    delete message;
    return;
  }
  while (WaitForSingleObject(notice->closed, 100) == WAIT_TIMEOUT) {
    if (cancelled) return;
  }
}

}  // namespace updater
