#include "tools/demo-release/application_window.h"

namespace {

constexpr wchar_t kWindowClass[] = L"CorvantaDemoApplication";
constexpr int kMargin = 16;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      const auto* text = static_cast<const std::wstring*>(creation->lpCreateParams);
      RECT client{};
      GetClientRect(window, &client);
      // The label is a child of the window and goes with it.
      HWND label =
          CreateWindowExW(0, L"STATIC", text->c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, kMargin,
                          kMargin, client.right - 2 * kMargin, client.bottom - 2 * kMargin, window,
                          nullptr, creation->hInstance, nullptr);
      if (!label) return -1;
      SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int RunApplicationWindow(HINSTANCE instance, int show, const std::wstring& text) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return 1;

  // WM_CLOSE is left to DefWindowProc: it destroys the window, which ends the loop.
  HWND window = CreateWindowExW(0, kWindowClass, L"Corvanta", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 440, 200, nullptr, nullptr, instance,
                                const_cast<std::wstring*>(&text));
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
