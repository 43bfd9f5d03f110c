// A link label: the system static control with a hand cursor that also works from
// the keyboard. It takes the focus with Tab (when created with WS_TABSTOP), shows a
// focus rectangle around its text while it has it, and Enter or Space activate it.
#pragma once

#include <windows.h>

// Called when the user activates a label from the keyboard; the mouse is left to
// the label's parent.
using TLinkActivate = void (*)(HWND Label);

// Registers the window class ClassName for the program's labels; false when the
// system static class cannot be read or the class cannot be registered.
bool RegisterLinkLabelWindowClass(const wchar_t* ClassName, TLinkActivate OnActivate);
