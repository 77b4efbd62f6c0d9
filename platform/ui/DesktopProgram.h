#pragma once
// What a program whose main window is one of the dialogs needs from the desktop: a name and
// an icon the desktop shows with its windows, and (for a smoke test driving the real program)
// a way to act on its dialogs once the window system has shown them.

#include <cstddef>
#include <functional>

#include "platform/ui/CDialog.h"

// Names the program to the desktop: `name` for its windows, `desktopFileName` (without
// ".desktop") so the desktop matches them with the installed launcher, `iconPng` as their icon.
void SetDesktopIdentity(const char* name, const char* desktopFileName, const unsigned char* iconPng,
                        std::size_t iconSize);

// A modal runner that runs each dialog in Qt's event loop as the program does, and calls
// `whenShown` for every dialog the program opens one after another (not for those opened from
// within another), from that loop, once its window is exposed on the screen, with the number of
// such dialogs before it. `whenShown` usually pictures the dialog and ends it.
CDialog::ModalRunner RunCallingWhenShown(std::function<void(CDialog&, int order)> whenShown);
