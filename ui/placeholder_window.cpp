#include "ui/placeholder_window.h"

#include <windows.h>

#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "ui/window_placement.h"

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 300;
constexpr wchar_t kClassName[] = L"CorvantaPlaceholderWindow";

LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int PlaceholderWindow::RunModal() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = PlaceholderProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);

  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const POINT origin = MainWindowOrigin(startLeft, startTop, workArea, kWidth, kHeight);
  const std::wstring title = framework::LoadStringText(IDS_PRODUCT_NAME);
  HWND window = CreateWindowExW(WS_EX_APPWINDOW, kClassName, title.c_str(), WS_POPUP | WS_VISIBLE,
                                origin.x, origin.y, kWidth, kHeight, nullptr, nullptr, instance,
                                nullptr);
  if (window == nullptr) return -1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
