/* Prints the texts of the child windows of every dialog box titled ARGUMENT, one a line: what
   a box shows, read from outside the program that shows it. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static const char* title;

static BOOL CALLBACK print_child(HWND child, LPARAM unused) {
  char text[1024];
  (void)unused;
  if (GetWindowTextA(child, text, sizeof text) > 0) printf("%s\n", text);
  return TRUE;
}

static BOOL CALLBACK visit(HWND window, LPARAM unused) {
  char text[256], kind[64];
  (void)unused;
  if (!IsWindowVisible(window) || !GetClassNameA(window, kind, sizeof kind)) return TRUE;
  if (strcmp(kind, "#32770") != 0) return TRUE;
  if (GetWindowTextA(window, text, sizeof text) < 0 || strcmp(text, title) != 0) return TRUE;
  EnumChildWindows(window, print_child, 0);
  return TRUE;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: window_texts TITLE\n");
    return 2;
  }
  title = argv[1];
  EnumWindows(visit, 0);
  return 0;
}
