// test_wizard.exe [SERIAL]: does with Setup's wizard what a user does, until Setup ends: types
// SERIAL, when given, into the serial page's box, and clicks Next, Install and Finish as each comes.
// A message box's text is printed, the box closed and Setup cancelled. Exits with 1 when Setup has
// not ended within two minutes.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Text(HWND window) {
  char text[256] = "";
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The visible controls of a window that the user acts on.
struct Controls {
  HWND edit = nullptr;
  HWND forward = nullptr;  // Next, Install, Finish; OK or Yes in a message box
  HWND cancel = nullptr;
  std::string message;  // a message box's longest text
};

BOOL CALLBACK Visit(HWND window, LPARAM found) {
  Controls& controls = *reinterpret_cast<Controls*>(found);
  if (!IsWindowVisible(window)) return TRUE;
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  const std::string kind = name, text = Text(window);
  if (kind == "TPasswordEdit" || kind == "TNewEdit") controls.edit = window;
  if (text == "&Next" || text == "&Install" || text == "&Finish" || text == "OK" || text == "&Yes")
    controls.forward = window;
  if (text == "Cancel") controls.cancel = window;
  if (kind == "Static" && text.size() > controls.message.size()) controls.message = text;
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  bool typed = argc < 2, seen = false, cancelling = false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 120000) {
    Sleep(100);
    HWND box = FindWindowA("#32770", nullptr);
    HWND window = box ? box : FindWindowA("TWizardForm", nullptr);
    if (!window) {
      if (seen) return 0;
      continue;
    }
    seen = true;
    Controls controls;
    EnumChildWindows(window, Visit, reinterpret_cast<LPARAM>(&controls));
    HWND click = controls.forward;
    if (box && !cancelling) {
      printf("message: %s\n", controls.message.c_str());
      fflush(stdout);
      cancelling = true;
    } else if (!box && cancelling) {
      click = controls.cancel;
    } else if (!box && !typed && controls.edit) {
      SendMessageA(controls.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[1]));
      typed = true;
    }
    // A button is clicked once it is enabled, and the window given time to move on.
    if (click && IsWindowEnabled(click)) PostMessageA(click, BM_CLICK, 0, 0);
    Sleep(400);
  }
  puts("Setup did not end");
  return 1;
}
